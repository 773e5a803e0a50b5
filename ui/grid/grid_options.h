#pragma once
// The settings a data grid is configured with: its options and the edits its
// data set may receive through it.

#include <QFlags>

namespace ui {

enum class GridOption {
    Fixed3D = 0x1,           // title and indicator cells drawn raised
    HighlightFocus = 0x2,    // the current cell in highlight colours while focused
    RowHighlight = 0x4,      // the rest of the current row too, while nothing is marked
    ClearSelection = 0x8,    // keyboard moves and plain clicks clear the marking
    IncSearch = 0x10,        // Ctrl+F starts an incremental search
    PreferIncSearch = 0x20,  // typing searches instead of opening the cell editor
    DialogFind = 0x40,       // Ctrl+F while searching opens the find dialog
    ColumnResize = 0x80,     // title edges can be dragged
    ColumnMove = 0x100,      // titles can be dragged to reorder the columns
    ExtendVertLines = 0x200, // column lines reach the bottom of the grid
    EnterAsTab = 0x400,      // Enter acts as Tab, Shift+Enter as Shift+Tab
};
using GridOptions = QFlags<GridOption>;

enum class AllowedOperation {
    Insert = 0x1,
    Update = 0x2,
    Delete = 0x4,
    Append = 0x8,
};
using AllowedOperations = QFlags<AllowedOperation>;

} // namespace ui

Q_DECLARE_OPERATORS_FOR_FLAGS(ui::GridOptions)
Q_DECLARE_OPERATORS_FOR_FLAGS(ui::AllowedOperations)
