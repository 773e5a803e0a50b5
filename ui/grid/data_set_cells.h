#pragma once
// The grid's view of its data set: the fields its columns show, bound by
// name whenever the data set opens, and the text of any cell of the view.

#include "ui/grid/grid_column.h"
#include "ui/grid/grid_locator.h"

#include <QList>

#include <vector>

namespace dataset {
class ClientDataSet;
class Field;
} // namespace dataset

namespace ui {

class DataSetCells : public CellTextSource {
public:
    void bind(dataset::ClientDataSet* dataSet, const QList<GridColumn>& columns);
    dataset::ClientDataSet* dataSet() const { return dataSet_; }
    bool active() const;

    // The field of a displayed column, nullptr for a column without one.
    dataset::Field* field(int column) const;
    // Characters the field shows by default, from its type and size.
    static int displayWidthOf(const dataset::Field& field);

    int rowCount() const override;
    int columnCount() const override { return static_cast<int>(fields_.size()); }
    QString cellText(int row, int column, bool displayText) const override;
    // The row of the view that is current, -1 when none.
    int currentRow() const;

private:
    dataset::ClientDataSet* dataSet_ = nullptr;
    std::vector<dataset::Field*> fields_;
};

} // namespace ui
