#pragma once
// The keyboard table of a data grid, in browse state and while the cell
// editor is shown, and the keys of a running incremental search.

class QKeyEvent;
class QString;

namespace ui {

class DBGrid;
class DBGridPrivate;

class GridKeyboard {
public:
    GridKeyboard(DBGrid& grid, DBGridPrivate& d) : grid_(grid), d_(d) {}

    // A key pressed in the grid; true when the grid used it.
    bool keyPress(QKeyEvent& event);
    // A key pressed in the cell editor; true when the grid took it from the
    // editor.
    bool editorKeyPress(QKeyEvent& event);

private:
    bool searchKey(QKeyEvent& event);
    bool navigationKey(QKeyEvent& event);
    bool editingKey(QKeyEvent& event);
    bool enterAsTab(QKeyEvent& event);
    void typed(const QString& text);

    DBGrid& grid_;
    DBGridPrivate& d_;
};

} // namespace ui
