#pragma once
// Moves of a grid between records: up and down with the rules for a new
// record at the end or in the middle, jumps to a row, and Tab and Shift+Tab
// across the end of a record. The record left is posted or cancelled first.

namespace ui {

class DBGrid;
class DBGridPrivate;

class GridNavigation {
public:
    GridNavigation(DBGrid& grid, DBGridPrivate& d) : grid_(grid), d_(d) {}

    // Down on the last record appends one where the grid may insert.
    void moveDown();
    void moveUp();
    // Moves to the record shown at that row; true when it became current.
    bool moveToRow(int row);
    // Past the last column: the first column of the next record.
    void nextCell();
    void previousCell();

private:
    bool atLastRow() const;

    DBGrid& grid_;
    DBGridPrivate& d_;
};

} // namespace ui
