#include "ui/grid/data_set_cells.h"

#include "dataset/client/client_data_set.h"
#include "dataset/client/field.h"

namespace ui {

namespace {

constexpr int kDateCharacters = 10;
constexpr int kNumberCharacters = 10;

} // namespace

void DataSetCells::bind(dataset::ClientDataSet* dataSet, const QList<GridColumn>& columns) {
    dataSet_ = dataSet;
    fields_.clear();
    for (const GridColumn& column : columns) {
        dataset::Field* field = nullptr;
        if (dataSet_ != nullptr && !column.fieldName.isEmpty()) {
            field = dataSet_->FindField(column.fieldName.toStdString());
        }
        fields_.push_back(field);
    }
}

bool DataSetCells::active() const {
    return dataSet_ != nullptr && dataSet_->Active();
}

dataset::Field* DataSetCells::field(int column) const {
    if (column < 0 || column >= columnCount()) {
        return nullptr;
    }
    return fields_[static_cast<std::size_t>(column)];
}

int DataSetCells::displayWidthOf(const dataset::Field& field) {
    if (field.DisplayWidth > 0) {
        return field.DisplayWidth;
    }
    switch (field.DataType()) {
    case dataset::FieldType::String:
    case dataset::FieldType::FixedChar:
        return field.Size();
    case dataset::FieldType::BCD:
    case dataset::FieldType::FMTBcd:
        return field.Precision() + 1;
    case dataset::FieldType::Date:
        return kDateCharacters;
    default:
        return kNumberCharacters;
    }
}

int DataSetCells::rowCount() const {
    if (!active()) {
        return 0;
    }
    // A row being inserted is in the view but not yet in the data set's count.
    const bool inserting = dataSet_->State() == dataset::DataSetState::Insert;
    return dataSet_->RecordCount() + (inserting ? 1 : 0);
}

QString DataSetCells::cellText(int row, int column, bool displayText) const {
    const dataset::Field* f = field(column);
    if (f == nullptr || f->Index() < 0) {
        return {};
    }
    if (displayText) {
        return QString::fromStdString(dataSet_->displayTextAt(row, f->Index()));
    }
    return QString::fromStdString(f->textOf(dataSet_->valueAt(row, f->Index())));
}

int DataSetCells::currentRow() const {
    if (!active() || dataSet_->IsEmpty()) {
        return -1;
    }
    return dataSet_->RecNo() - 1;
}

} // namespace ui
