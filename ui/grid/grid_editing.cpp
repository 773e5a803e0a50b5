#include "ui/grid/grid_editing.h"

#include "dataset/client/client_data_set.h"
#include "dataset/client/field.h"
#include "ui/grid/cell_editor.h"
#include "ui/grid/db_grid_p.h"
#include "ui/grid/grid_action.h"

#include <QGuiApplication>
#include <QMessageBox>

namespace ui {

using dataset::DataSetState;

GridEditing::GridEditing(DBGrid& grid, DBGridPrivate& d)
    : grid_(grid), d_(d), editor_(new CellEditor(grid.viewport())) {}

bool GridEditing::untouchedInsert() const {
    return d_.source != nullptr && d_.source->State() == DataSetState::Insert && !touched_;
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
    d_.ownMove = true;
    const bool done = GridAction::run([&] { changed ? records->Post() : records->Cancel(); });
    d_.ownMove = false;
    return done;
}

void GridEditing::appendRecord() {
    dataset::ClientDataSet* records = grid_.dataSet();
    if (!leaveRecord()) {
        return;
    }
    d_.ownMove = true;
    GridAction::run([&] { records->Append(); });
    d_.ownMove = false;
    touched_ = false;
    d_.ensureCurrentVisible();
}

bool GridEditing::canInsert() const {
    const dataset::ClientDataSet* records = grid_.dataSet();
    return d_.cells.active() && d_.allowed.testFlag(AllowedOperation::Insert) &&
           records->CanModify();
}

bool GridEditing::canEditCell() const {
    const dataset::ClientDataSet* records = grid_.dataSet();
    if (!d_.cells.active() || !records->CanModify()) {
        return false;
    }
    const dataset::Field* field = d_.cells.field(d_.currentColumn);
    if (field == nullptr || field->ReadOnly) {
        return false;
    }
    if (records->State() == DataSetState::Insert) {
        return d_.allowed.testFlag(AllowedOperation::Insert);
    }
    if (records->IsEmpty()) {
        return canInsert() && d_.allowed.testFlag(AllowedOperation::Append);
    }
    return d_.allowed.testFlag(AllowedOperation::Update);
}

void GridEditing::insertRecord() {
    dataset::ClientDataSet* records = grid_.dataSet();
    if (!canInsert() || !leaveRecord()) {
        return;
    }
    d_.search.end();
    d_.ownMove = true;
    GridAction::run([&] { records->Insert(); });
    d_.ownMove = false;
    touched_ = false;
    d_.ensureCurrentVisible();
}

void GridEditing::deleteRecord() {
    dataset::ClientDataSet* records = grid_.dataSet();
    if (!d_.cells.active() || records->IsEmpty() || !records->CanModify() ||
        !d_.allowed.testFlag(AllowedOperation::Delete)) {
        return;
    }
    const QMessageBox::StandardButton answer = QMessageBox::question(
        &grid_, QGuiApplication::applicationDisplayName(), QString::fromUtf8(kDeleteRecordQuestion),
        QMessageBox::Ok | QMessageBox::Cancel, QMessageBox::Cancel);
    if (answer == QMessageBox::Ok) {
        hideEditor();
        d_.ownMove = true;
        GridAction::run([&] { records->Delete(); });
        d_.ownMove = false;
        d_.ensureCurrentVisible();
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
        d_.ownMove = true;
        GridAction::run([&] { records->Cancel(); });
        d_.ownMove = false;
        d_.ensureCurrentVisible();
    }
}

void GridEditing::copyFromPreviousRecord() {
    dataset::ClientDataSet* records = grid_.dataSet();
    const int row = grid_.currentRow();
    dataset::Field* field = d_.cells.field(d_.currentColumn);
    // Only when the previous record is shown above the current row.
    if (!canEditCell() || field == nullptr || row <= d_.topRow || row <= 0) {
        return;
    }
    const dataset::Value value = records->valueAt(row - 1, field->Index());
    if (!writeEditor()) {
        return;
    }
    if (GridAction::run([&] {
            if (records->State() == DataSetState::Browse) {
                d_.source->Edit();
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
    d_.search.end();
    const bool started = GridAction::run([&] {
        if (records->State() == DataSetState::Browse) {
            if (records->IsEmpty()) {
                d_.ownMove = true;
                records->Append();
                d_.ownMove = false;
                touched_ = false;
            } else {
                d_.source->Edit();
            }
        }
    });
    d_.ownMove = false;
    if (!started) {
        return;
    }
    d_.ensureCurrentVisible();
    const dataset::Field* field = d_.cells.field(d_.currentColumn);
    editor_->open(text.isEmpty() ? QString::fromStdString(field->AsString()) : text,
                  grid_.cellRect(grid_.currentRow(), d_.currentColumn));
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
    dataset::Field* field = d_.cells.field(d_.currentColumn);
    if (field == nullptr) {
        return;
    }
    field->setAsString(editor_->text().toStdString());
    editor_->setModified(false);
    touched_ = true;
}

void GridEditing::placeEditor() {
    if (!editor_->isHidden()) {
        editor_->setGeometry(grid_.cellRect(grid_.currentRow(), d_.currentColumn));
    }
}

} // namespace ui
