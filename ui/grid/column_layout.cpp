#include "ui/grid/column_layout.h"

#include <algorithm>
#include <cmath>

namespace ui {

namespace {

int roundedShare(qint64 base, qint64 available, qint64 total) {
    if (total == 0) {
        return 0;
    }
    return static_cast<int>(std::llround(
        static_cast<double>(base) * static_cast<double>(available) / static_cast<double>(total)));
}

} // namespace

void ColumnLayout::setColumns(const QList<GridColumn>& columns) {
    columns_.clear();
    for (const GridColumn& column : columns) {
        columns_.append(Entry{column, column.width, false});
    }
}

QList<GridColumn> ColumnLayout::columns() const {
    QList<GridColumn> result;
    for (const Entry& entry : columns_) {
        result.append(entry.column);
    }
    return result;
}

void ColumnLayout::setBaseWidth(int index, int width) {
    columns_[index].base = width;
    if (!fitted_) {
        columns_[index].column.width = width;
    }
}

void ColumnLayout::setWidth(int index, int width) {
    columns_[index].column.width = std::clamp(width, kMinWidth, kMaxWidth);
    if (!fitted_) {
        columns_[index].base = columns_[index].column.width;
    }
}

void ColumnLayout::fit(int clientWidth) {
    if (!fitted_ || columns_.isEmpty()) {
        return;
    }
    for (Entry& entry : columns_) {
        entry.fixed = false;
    }
    const int visible = count();
    int available = 0;
    for (int pass = 0; pass < visible; ++pass) {
        qint64 fittedBase = 0;
        int others = 0;
        for (const Entry& entry : columns_) {
            if (entry.fixed) {
                others += entry.column.width;
            } else {
                fittedBase += entry.base;
            }
        }
        // Indicator, one line per column and one more between indicator and lines.
        available = std::max(0, clientWidth - others) - kIndicatorWidth - visible * kLineWidth - 1;
        bool marked = false;
        for (Entry& entry : columns_) {
            if (entry.fixed) {
                continue;
            }
            const int asked = roundedShare(entry.base, available, fittedBase);
            entry.column.width = std::clamp(asked, kMinWidth, kMaxWidth);
            if (entry.column.width != asked) {
                entry.fixed = true;
                marked = true;
            }
        }
        if (!marked) {
            break;
        }
    }
    int given = 0;
    int last = -1;
    for (int i = 0; i < visible; ++i) {
        if (!columns_[i].fixed) {
            given += columns_[i].column.width;
            last = i;
        }
    }
    if (last >= 0 && given != available) {
        int& width = columns_[last].column.width;
        width = std::max(0, width + available - given);
    }
}

void ColumnLayout::resizeByHand(int index, int newWidth, int clientWidth) {
    if (!fitted_) {
        setWidth(index, newWidth);
        return;
    }
    Entry& entry = columns_[index];
    const int oldWidth = entry.column.width;
    const int oldBase = entry.base;
    const int newBase =
        oldWidth == 0 ? newWidth : roundedShare(oldBase, std::max(0, newWidth), oldWidth);
    entry.base = newBase;
    if (index + 1 < count()) {
        Entry& next = columns_[index + 1];
        next.base = std::max(0, next.base - (newBase - oldBase));
    }
    fit(clientWidth);
}

void ColumnLayout::move(int from, int to) {
    if (from == to || from < 0 || to < 0 || from >= count() || to >= count()) {
        return;
    }
    columns_.move(from, to);
}

int ColumnLayout::left(int index) const {
    int x = kIndicatorWidth + kLineWidth;
    for (int i = 0; i < index; ++i) {
        x += columns_[i].column.width + kLineWidth;
    }
    return x;
}

int ColumnLayout::totalWidth() const {
    return left(count());
}

int ColumnLayout::columnAt(int x) const {
    int left = kIndicatorWidth + kLineWidth;
    for (int i = 0; i < count(); ++i) {
        const int right = left + columns_[i].column.width;
        if (x >= left && x < right + kLineWidth) {
            return i;
        }
        left = right + kLineWidth;
    }
    return -1;
}

int ColumnLayout::edgeAt(int x, int slack) const {
    int left = kIndicatorWidth + kLineWidth;
    for (int i = 0; i < count(); ++i) {
        const int edge = left + columns_[i].column.width;
        if (std::abs(x - edge) <= slack) {
            return i;
        }
        left = edge + kLineWidth;
    }
    return -1;
}

} // namespace ui
