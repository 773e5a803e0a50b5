#pragma once
// Cells the user marked with the mouse: one rectangular block of cells, or a
// set of whole columns. Nothing acts on the marking; it is only drawn.

#include <QSet>

namespace ui {

class CellMarking {
public:
    bool isEmpty() const { return !hasBlock_ && columns_.isEmpty(); }
    void clear();

    // A block from the anchor cell to the extent cell, corners included.
    void startBlock(int row, int column);
    void extendBlock(int row, int column);
    bool hasBlock() const { return hasBlock_; }

    // Whole columns: a plain click marks one, Shift extends from the last
    // one clicked, Ctrl toggles one.
    void markColumn(int column);
    void extendColumns(int column);
    void toggleColumn(int column);
    bool columnMarked(int column) const { return columns_.contains(column); }

    bool contains(int row, int column) const;

private:
    bool hasBlock_ = false;
    int anchorRow_ = 0;
    int anchorColumn_ = 0;
    int extentRow_ = 0;
    int extentColumn_ = 0;
    QSet<int> columns_;
    int columnAnchor_ = -1;
};

} // namespace ui
