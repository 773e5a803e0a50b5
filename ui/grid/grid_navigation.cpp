#include "ui/grid/grid_navigation.h"

#include "dataset/client/client_data_set.h"
#include "ui/grid/db_grid_p.h"
#include "ui/grid/grid_action.h"
#include "ui/grid/grid_editing.h"

namespace ui {

bool GridNavigation::atLastRow() const {
    return grid_.currentRow() >= grid_.rowCount() - 1;
}

void GridNavigation::moveDown() {
    dataset::ClientDataSet* records = grid_.dataSet();
    if (!d_.cells.active() || !grid_.writeEditor()) {
        return;
    }
    if (d_.editing.untouchedInsert()) {
        if (!atLastRow()) {
            d_.ownMove = true;
            GridAction::run([&] { records->Cancel(); });
            d_.ownMove = false;
        }
        return;
    }
    if (atLastRow()) {
        if (grid_.canInsert() && d_.allowed.testFlag(AllowedOperation::Append)) {
            d_.editing.appendRecord();
        }
        return;
    }
    moveToRow(grid_.currentRow() + 1);
}

void GridNavigation::moveUp() {
    dataset::ClientDataSet* records = grid_.dataSet();
    if (!d_.cells.active() || !grid_.writeEditor()) {
        return;
    }
    if (d_.editing.untouchedInsert() && atLastRow()) {
        d_.ownMove = true;
        GridAction::run([&] { records->Cancel(); });
        d_.ownMove = false;
        d_.ensureCurrentVisible();
        return;
    }
    moveToRow(grid_.currentRow() - 1);
}

bool GridNavigation::moveToRow(int row) {
    dataset::ClientDataSet* records = grid_.dataSet();
    if (!d_.cells.active() || row < 0 || row >= grid_.rowCount()) {
        return false;
    }
    const int from = grid_.currentRow();
    if (row == from) {
        return true;
    }
    const int rowsBefore = grid_.rowCount();
    if (!d_.editing.leaveRecord()) {
        return false;
    }
    // Leaving the record may take its row out of the view (a new row
    // cancelled, a posted row outside the filter); the rows below it then
    // move up by one. The row asked for is counted again from the end.
    const int target = row < from ? row : grid_.rowCount() - (rowsBefore - row);
    if (target < 0 || target >= grid_.rowCount()) {
        return false;
    }
    if (!d_.searchMove) {
        d_.search.end();
    }
    d_.ownMove = true;
    GridAction::run([&] { records->MoveBy(target - grid_.currentRow()); });
    d_.ownMove = false;
    d_.ensureCurrentVisible();
    grid_.viewport()->update();
    return grid_.currentRow() == target;
}

void GridNavigation::nextCell() {
    if (d_.currentColumn < d_.layout.count() - 1) {
        grid_.setCurrentColumn(d_.currentColumn + 1);
        return;
    }
    const int row = grid_.currentRow();
    const bool wasUntouched = d_.editing.untouchedInsert();
    moveDown();
    if (grid_.currentRow() != row || (!wasUntouched && d_.editing.untouchedInsert())) {
        grid_.hideEditor();
        d_.search.end();
        d_.currentColumn = 0;
        grid_.viewport()->update();
    }
}

void GridNavigation::previousCell() {
    if (d_.currentColumn > 0) {
        grid_.setCurrentColumn(d_.currentColumn - 1);
        return;
    }
    const int row = grid_.currentRow();
    if (row <= 0) {
        return;
    }
    moveUp();
    if (grid_.currentRow() != row) {
        grid_.hideEditor();
        d_.search.end();
        d_.currentColumn = d_.layout.count() - 1;
        grid_.viewport()->update();
    }
}

} // namespace ui
