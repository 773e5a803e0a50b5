#include "ui/grid/grid_navigation.h"

#include "dataset/client_data_set.h"
#include "ui/grid/db_grid.h"
#include "ui/grid/grid_action.h"
#include "ui/grid/grid_editing.h"

namespace ui {

bool GridNavigation::atLastRow() const {
    return grid_.currentRow() >= grid_.rowCount() - 1;
}

void GridNavigation::moveDown() {
    dataset::ClientDataSet* records = grid_.dataSet();
    if (!grid_.cells_.active() || !grid_.writeEditor()) {
        return;
    }
    if (grid_.editing_->untouchedInsert()) {
        if (!atLastRow()) {
            grid_.ownMove_ = true;
            GridAction::run([&] { records->Cancel(); });
            grid_.ownMove_ = false;
        }
        return;
    }
    if (atLastRow()) {
        if (grid_.canInsert() && grid_.allowed_.testFlag(AllowedOperation::Append)) {
            grid_.editing_->appendRecord();
        }
        return;
    }
    moveToRow(grid_.currentRow() + 1);
}

void GridNavigation::moveUp() {
    dataset::ClientDataSet* records = grid_.dataSet();
    if (!grid_.cells_.active() || !grid_.writeEditor()) {
        return;
    }
    if (grid_.editing_->untouchedInsert() && atLastRow()) {
        grid_.ownMove_ = true;
        GridAction::run([&] { records->Cancel(); });
        grid_.ownMove_ = false;
        grid_.ensureCurrentVisible();
        return;
    }
    moveToRow(grid_.currentRow() - 1);
}

bool GridNavigation::moveToRow(int row) {
    dataset::ClientDataSet* records = grid_.dataSet();
    if (!grid_.cells_.active() || row < 0 || row >= grid_.rowCount()) {
        return false;
    }
    const int from = grid_.currentRow();
    if (row == from) {
        return true;
    }
    const int rowsBefore = grid_.rowCount();
    if (!grid_.editing_->leaveRecord()) {
        return false;
    }
    // Leaving the record may take its row out of the view (a new row
    // cancelled, a posted row outside the filter); the rows below it then
    // move up by one. The row asked for is counted again from the end.
    const int target = row < from ? row : grid_.rowCount() - (rowsBefore - row);
    if (target < 0 || target >= grid_.rowCount()) {
        return false;
    }
    if (!grid_.searchMove_) {
        grid_.search_.end();
    }
    grid_.ownMove_ = true;
    GridAction::run([&] { records->MoveBy(target - grid_.currentRow()); });
    grid_.ownMove_ = false;
    grid_.ensureCurrentVisible();
    grid_.viewport()->update();
    return grid_.currentRow() == target;
}

void GridNavigation::nextCell() {
    if (grid_.currentColumn_ < grid_.layout_.count() - 1) {
        grid_.setCurrentColumn(grid_.currentColumn_ + 1);
        return;
    }
    const int row = grid_.currentRow();
    const bool wasUntouched = grid_.editing_->untouchedInsert();
    moveDown();
    if (grid_.currentRow() != row || (!wasUntouched && grid_.editing_->untouchedInsert())) {
        grid_.hideEditor();
        grid_.search_.end();
        grid_.currentColumn_ = 0;
        grid_.viewport()->update();
    }
}

void GridNavigation::previousCell() {
    if (grid_.currentColumn_ > 0) {
        grid_.setCurrentColumn(grid_.currentColumn_ - 1);
        return;
    }
    const int row = grid_.currentRow();
    if (row <= 0) {
        return;
    }
    moveUp();
    if (grid_.currentRow() != row) {
        grid_.hideEditor();
        grid_.search_.end();
        grid_.currentColumn_ = grid_.layout_.count() - 1;
        grid_.viewport()->update();
    }
}

} // namespace ui
