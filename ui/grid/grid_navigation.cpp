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

void GridNavigation::moveToRow(int row) {
    dataset::ClientDataSet* records = grid_.dataSet();
    if (!grid_.cells_.active() || row < 0 || row >= grid_.rowCount() || row == grid_.currentRow()) {
        return;
    }
    const int from = grid_.currentRow();
    if (!grid_.editing_->leaveRecord()) {
        return;
    }
    // Cancelling a new row takes it out of the view below it.
    const int target = from < row && grid_.currentRow() < from ? row - 1 : row;
    if (target < 0 || target >= grid_.rowCount()) {
        return;
    }
    if (!grid_.searchMove_) {
        grid_.search_.end();
    }
    grid_.ownMove_ = true;
    GridAction::run([&] { records->MoveBy(target - grid_.currentRow()); });
    grid_.ownMove_ = false;
    grid_.ensureCurrentVisible();
    grid_.viewport()->update();
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
