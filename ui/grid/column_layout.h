#pragma once
// The horizontal geometry of a data grid: the indicator column, then each
// column followed by its one-pixel line. Keeps the base widths that fitting
// to the grid's width shares out, and maps x positions to columns and edges.

#include "ui/grid/grid_column.h"

#include <QList>

namespace ui {

class ColumnLayout {
public:
    static constexpr int kIndicatorWidth = 11;
    static constexpr int kLineWidth = 1;
    static constexpr int kMinWidth = 0;
    static constexpr int kMaxWidth = 10000;

    void setColumns(const QList<GridColumn>& columns);
    int count() const { return static_cast<int>(columns_.size()); }
    const GridColumn& column(int index) const { return columns_[index].column; }
    int width(int index) const { return columns_[index].column.width; }
    int baseWidth(int index) const { return columns_[index].base; }
    QList<GridColumn> columns() const;

    // The width fitting starts from; outside fitting also the column's width.
    void setBaseWidth(int index, int width);
    // Gives a column its width; outside fitting this is also its base width.
    void setWidth(int index, int width);

    // Shares out the client width among the columns by their base widths, so
    // that columns, indicator and lines fill it exactly.
    void fit(int clientWidth);
    bool fitted() const { return fitted_; }
    void setFitted(bool fitted) { fitted_ = fitted; }

    // A column's right edge dragged to newWidth. While fitted, the base width
    // scales and the next column takes the opposite change; then refits.
    void resizeByHand(int index, int newWidth, int clientWidth);

    void move(int from, int to);

    // Left pixel of a column's cell; the cell ends before its line.
    int left(int index) const;
    // Total width of indicator, columns and lines.
    int totalWidth() const;
    // The column under x, or -1 (indicator, lines past the end).
    int columnAt(int x) const;
    // The column whose right edge is within slack pixels of x, or -1.
    int edgeAt(int x, int slack) const;

private:
    struct Entry {
        GridColumn column;
        int base = 0;
        bool fixed = false;
    };
    QList<Entry> columns_;
    bool fitted_ = false;
};

} // namespace ui
