#include "ui/grid/grid_editing.h"

#include "dataset/client_data_set.h"
#include "dataset/field.h"
#include "ui/grid/cell_editor.h"
#include "ui/grid/db_grid.h"
#include "ui/grid/grid_action.h"

#include <QGuiApplication>
#include <QMessageBox>

namespace ui {

using dataset::DataSetState;

GridEditing::GridEditing(DBGrid& grid) : grid_(grid), editor_(new CellEditor(grid.viewport())) {}

bool GridEditing::untouchedInsert() const {
    return grid_.source_ != nullptr && grid_.source_->State() == DataSetState::Insert && !touched_;
}

bool GridEditing::leaveRecord() {
    dataset::ClientDataSet* records = grid_.dataSet();
    if (records == nullptr || !writeEditor()) {
        return false;
    }
    hideEditor();
    const DataSetState state = records->State();
    if (state != DataSetState::Edit && state != DataSetState::Insert) {
        return true;
    }
    const bool changed = state == DataSetState::Insert ? touched_ : records->Modified();
    grid_.ownMove_ = true;
    const bool done = GridAction::run([&] { changed ? records->Post() : records->Cancel(); });
    grid_.ownMove_ = false;
    return done;
}

void GridEditing::appendRecord() {
    dataset::ClientDataSet* records = grid_.dataSet();
    if (!leaveRecord()) {
        return;
    }
    grid_.ownMove_ = true;
    GridAction::run([&] { records->Append(); });
    grid_.ownMove_ = false;
    touched_ = false;
    grid_.ensureCurrentVisible();
}

bool GridEditing::canInsert() const {
    const dataset::ClientDataSet* records = grid_.dataSet();
    return grid_.cells_.active() && grid_.allowed_.testFlag(AllowedOperation::Insert) &&
           records->CanModify();
}

bool GridEditing::canEditCell() const {
    const dataset::ClientDataSet* records = grid_.dataSet();
    if (!grid_.cells_.active() || !records->CanModify()) {
        return false;
    }
    const dataset::Field* field = grid_.cells_.field(grid_.currentColumn_);
    if (field == nullptr || field->ReadOnly) {
        return false;
    }
    if (records->State() == DataSetState::Insert) {
        return grid_.allowed_.testFlag(AllowedOperation::Insert);
    }
    if (records->IsEmpty()) {
        return canInsert() && grid_.allowed_.testFlag(AllowedOperation::Append);
    }
    return grid_.allowed_.testFlag(AllowedOperation::Update);
}

void GridEditing::insertRecord() {
    dataset::ClientDataSet* records = grid_.dataSet();
    if (!canInsert() || !leaveRecord()) {
        return;
    }
    grid_.search_.end();
    grid_.ownMove_ = true;
    GridAction::run([&] { records->Insert(); });
    grid_.ownMove_ = false;
    touched_ = false;
    grid_.ensureCurrentVisible();
}

void GridEditing::deleteRecord() {
    dataset::ClientDataSet* records = grid_.dataSet();
    if (!grid_.cells_.active() || records->IsEmpty() || !records->CanModify() ||
        !grid_.allowed_.testFlag(AllowedOperation::Delete)) {
        return;
    }
    const QMessageBox::StandardButton answer = QMessageBox::question(
        &grid_, QGuiApplication::applicationDisplayName(), QString::fromUtf8(kDeleteRecordQuestion),
        QMessageBox::Ok | QMessageBox::Cancel, QMessageBox::Cancel);
    if (answer == QMessageBox::Ok) {
        hideEditor();
        grid_.ownMove_ = true;
        GridAction::run([&] { records->Delete(); });
        grid_.ownMove_ = false;
        grid_.ensureCurrentVisible();
    }
    grid_.setFocus();
}

void GridEditing::cancelEdits() {
    dataset::ClientDataSet* records = grid_.dataSet();
    if (!editor_->isHidden() && editor_->pending()) {
        editor_->revert();
        hideEditor();
        return;
    }
    hideEditor();
    if (records != nullptr &&
        (records->State() == DataSetState::Edit || records->State() == DataSetState::Insert)) {
        grid_.ownMove_ = true;
        GridAction::run([&] { records->Cancel(); });
        grid_.ownMove_ = false;
        grid_.ensureCurrentVisible();
    }
}

void GridEditing::copyFromPreviousRecord() {
    dataset::ClientDataSet* records = grid_.dataSet();
    const int row = grid_.currentRow();
    dataset::Field* field = grid_.cells_.field(grid_.currentColumn_);
    // Only when the previous record is shown above the current row.
    if (!canEditCell() || field == nullptr || row <= grid_.topRow_ || row <= 0) {
        return;
    }
    const dataset::Value value = records->valueAt(row - 1, field->Index());
    if (!writeEditor()) {
        return;
    }
    if (GridAction::run([&] {
            if (records->State() == DataSetState::Browse) {
                grid_.source_->Edit();
            }
            field->setValue(value);
        })) {
        touched_ = true;
        showEditor(QString());
    }
}

void GridEditing::showEditor(const QString& text) {
    dataset::ClientDataSet* records = grid_.dataSet();
    if (!canEditCell()) {
        return;
    }
    grid_.search_.end();
    const bool started = GridAction::run([&] {
        if (records->State() == DataSetState::Browse) {
            if (records->IsEmpty()) {
                grid_.ownMove_ = true;
                records->Append();
                grid_.ownMove_ = false;
                touched_ = false;
            } else {
                grid_.source_->Edit();
            }
        }
    });
    grid_.ownMove_ = false;
    if (!started) {
        return;
    }
    grid_.ensureCurrentVisible();
    const dataset::Field* field = grid_.cells_.field(grid_.currentColumn_);
    editor_->open(text.isEmpty() ? QString::fromStdString(field->AsString()) : text,
                  grid_.cellRect(grid_.currentRow(), grid_.currentColumn_));
    if (!text.isEmpty()) {
        editor_->setModified(true);
    }
    editor_->setFocus();
    grid_.viewport()->update();
}

void GridEditing::hideEditor() {
    if (editor_->isHidden()) {
        return;
    }
    // The focus comes back before the editor goes, so it never leaves the grid.
    if (editor_->hasFocus()) {
        grid_.setFocus();
    }
    editor_->hide();
}

bool GridEditing::writeEditor() {
    return GridAction::run([this] { storeEditor(); });
}

void GridEditing::storeEditor() {
    // An editor hidden only with the grid around it still holds the text.
    if (editor_->isHidden() || !editor_->pending()) {
        return;
    }
    dataset::Field* field = grid_.cells_.field(grid_.currentColumn_);
    if (field == nullptr) {
        return;
    }
    field->setAsString(editor_->text().toStdString());
    editor_->setModified(false);
    touched_ = true;
}

void GridEditing::placeEditor() {
    if (!editor_->isHidden()) {
        editor_->setGeometry(grid_.cellRect(grid_.currentRow(), grid_.currentColumn_));
    }
}

} // namespace ui
