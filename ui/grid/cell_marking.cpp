#include "ui/grid/cell_marking.h"

#include <algorithm>

namespace ui {

void CellMarking::clear() {
    hasBlock_ = false;
    columns_.clear();
    columnAnchor_ = -1;
}

void CellMarking::startBlock(int row, int column) {
    columns_.clear();
    hasBlock_ = true;
    anchorRow_ = extentRow_ = row;
    anchorColumn_ = extentColumn_ = column;
}

void CellMarking::extendBlock(int row, int column) {
    if (!hasBlock_) {
        startBlock(row, column);
        return;
    }
    extentRow_ = row;
    extentColumn_ = column;
}

void CellMarking::markColumn(int column) {
    hasBlock_ = false;
    columns_ = {column};
    columnAnchor_ = column;
}

void CellMarking::extendColumns(int column) {
    if (columnAnchor_ < 0) {
        markColumn(column);
        return;
    }
    hasBlock_ = false;
    columns_.clear();
    for (int c = std::min(column, columnAnchor_); c <= std::max(column, columnAnchor_); ++c) {
        columns_.insert(c);
    }
}

void CellMarking::toggleColumn(int column) {
    hasBlock_ = false;
    if (!columns_.remove(column)) {
        columns_.insert(column);
    }
    columnAnchor_ = column;
}

bool CellMarking::contains(int row, int column) const {
    if (columns_.contains(column)) {
        return true;
    }
    return hasBlock_ && row >= std::min(anchorRow_, extentRow_) &&
           row <= std::max(anchorRow_, extentRow_) &&
           column >= std::min(anchorColumn_, extentColumn_) &&
           column <= std::max(anchorColumn_, extentColumn_);
}

} // namespace ui
