#pragma once
// The inside of a data grid: its column layout, its view of the data set,
// the search and marking state, the helpers that edit, move, read keys and
// the mouse, and where the grid stands. Only the grid's own parts include it.

#include "ui/grid/cell_marking.h"
#include "ui/grid/column_layout.h"
#include "ui/grid/data_set_cells.h"
#include "ui/grid/db_grid.h"
#include "ui/grid/grid_editing.h"
#include "ui/grid/grid_keyboard.h"
#include "ui/grid/grid_mouse.h"
#include "ui/grid/grid_navigation.h"
#include "ui/grid/incremental_search.h"
#include "ui/grid/row_indicator.h"

namespace ui {

class DBGridPrivate {
public:
    explicit DBGridPrivate(DBGrid& grid);

    static DBGridPrivate& get(DBGrid& grid) { return *grid.d_; }
    static const DBGridPrivate& get(const DBGrid& grid) { return *grid.d_; }

    void bindColumns();
    void fitColumns();
    // Scrolls up or down just enough to show the current row.
    void ensureCurrentVisible();
    void updateScrollBar();
    void ensureColumnVisible();

    DBGrid& q;

    DBGrid::Look look = DBGrid::Look::Sunken3D;
    GridOptions options;
    AllowedOperations allowed = AllowedOperation::Insert | AllowedOperation::Update |
                                AllowedOperation::Delete | AllowedOperation::Append;
    ColumnLayout layout;
    DataSetCells cells;
    dataset::DataSource* source = nullptr;
    IncrementalSearch search;
    CellMarking marking;
    GridEditing editing;
    GridNavigation navigation;
    GridKeyboard keyboard;
    GridMouse mouse;

    int currentColumn = 0;
    int dropFrom = -1;
    int dropTo = -1;
    int topRow = 0;
    int xOffset = 0;
    // Set while the grid itself moves the record, so the move is not taken
    // for one made elsewhere.
    bool ownMove = false;
    bool searchMove = false;
};

static_assert(DBGrid::kIndicatorWidth == ColumnLayout::kIndicatorWidth);

} // namespace ui
