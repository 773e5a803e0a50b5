#include "ui/grid/grid_painter.h"

#include "ui/grid/cell_editor.h"
#include "ui/grid/db_grid_p.h"

#include <QPainter>

namespace ui {

namespace {

constexpr int kTextMargin = 2;
constexpr int kDropMarkerWidth = 3;

} // namespace

GridPainter::GridPainter(const DBGrid& grid) : grid_(grid), d_(DBGridPrivate::get(grid)) {}

void GridPainter::paint(QPainter& painter, const QRect& exposed) const {
    painter.fillRect(exposed, grid_.palette().color(QPalette::Active, QPalette::Base));
    // Columns scrolled sideways pass under the indicator column.
    const int dataLeft = ColumnLayout::kIndicatorWidth + ColumnLayout::kLineWidth;
    painter.setClipRect(
        QRect(dataLeft, 0, grid_.viewport()->width() - dataLeft, grid_.viewport()->height()));
    paintTitles(painter);
    paintRows(painter);
    paintColumnDrop(painter);
    painter.setClipping(false);
    paintIndicators(painter);
}

void GridPainter::paintColumnDrop(QPainter& painter) const {
    const int from = grid_.droppedColumn();
    const int to = grid_.dropTarget();
    if (from < 0 || to < 0) {
        return;
    }
    const QColor highlight = grid_.palette().color(QPalette::Active, QPalette::Highlight);
    QColor veil = highlight;
    veil.setAlpha(96);
    painter.fillRect(grid_.titleRect(from), veil);
    if (to == from) {
        return;
    }
    // Moved right, the column lands after the target; moved left, before it.
    const QRect target = grid_.titleRect(to);
    // Drawn inside the target, so that it shows at the grid's edges too.
    const int x = to > from ? target.right() - kDropMarkerWidth + 1 : target.left();
    painter.fillRect(QRect(x, 0, kDropMarkerWidth, grid_.viewport()->height()), highlight);
}

void GridPainter::paintIndicators(QPainter& painter) const {
    paintFixedCell(painter, QRect(0, 0, ColumnLayout::kIndicatorWidth, grid_.rowHeight()));
    const int first = grid_.topRow();
    const int shown = std::max(0, std::min(grid_.visibleRowCount(), grid_.rowCount() - first));
    for (int i = 0; i < shown; ++i) {
        const int row = first + i;
        const QRect indicator(0, grid_.cellRect(row, 0).top(), ColumnLayout::kIndicatorWidth,
                              grid_.rowHeight());
        paintFixedCell(painter, indicator);
        if (row == grid_.currentRow()) {
            RowIndicator::paint(painter, indicator, grid_.indicatorGlyph(),
                                grid_.palette().color(QPalette::Active, QPalette::WindowText),
                                DBGrid::kSearchBackground);
        }
    }
    const int lineHeight = grid_.rowHeight() + ColumnLayout::kLineWidth;
    const int bottom = grid_.options().testFlag(GridOption::ExtendVertLines)
                           ? grid_.viewport()->height()
                           : grid_.rowHeight() + shown * lineHeight;
    painter.setPen(grid_.palette().color(QPalette::Active, QPalette::Mid));
    painter.drawLine(ColumnLayout::kIndicatorWidth, 0, ColumnLayout::kIndicatorWidth, bottom);
    for (int i = 0; i <= shown; ++i) {
        const int y = grid_.rowHeight() + i * lineHeight;
        painter.drawLine(0, y, ColumnLayout::kIndicatorWidth, y);
    }
}

void GridPainter::paintFixedCell(QPainter& painter, const QRect& cell) const {
    const QPalette& colours = grid_.palette();
    painter.fillRect(cell, colours.color(QPalette::Active, QPalette::Button));
    if (!grid_.options().testFlag(GridOption::Fixed3D)) {
        return;
    }
    painter.setPen(colours.color(QPalette::Active, QPalette::Light));
    painter.drawLine(cell.topLeft(), cell.topRight());
    painter.drawLine(cell.topLeft(), cell.bottomLeft());
    painter.setPen(colours.color(QPalette::Active, QPalette::Dark));
    painter.drawLine(cell.bottomLeft(), cell.bottomRight());
    painter.drawLine(cell.topRight(), cell.bottomRight());
}

void GridPainter::paintTitles(QPainter& painter) const {
    const ColumnLayout& layout = d_.layout;
    painter.setPen(grid_.palette().color(QPalette::Active, QPalette::WindowText));
    for (int column = 0; column < layout.count(); ++column) {
        const QRect cell = grid_.titleRect(column);
        paintFixedCell(painter, cell);
        painter.setPen(grid_.palette().color(QPalette::Active, QPalette::WindowText));
        painter.drawText(cell.adjusted(kTextMargin, 0, -kTextMargin, 0),
                         Qt::AlignLeft | Qt::AlignVCenter, layout.column(column).title);
    }
}

void GridPainter::paintRows(QPainter& painter) const {
    const int rows = grid_.rowCount();
    const int first = grid_.topRow();
    const int shown = std::min(grid_.visibleRowCount(), rows - first);
    const int current = grid_.currentRow();
    const bool focused = grid_.hasFocus() || (grid_.cellEditor() && grid_.cellEditor()->hasFocus());
    const GridOptions options = grid_.options();
    const bool rowHighlight =
        focused && options.testFlag(GridOption::RowHighlight) && d_.marking.isEmpty();
    for (int i = 0; i < shown; ++i) {
        const int row = first + i;
        for (int column = 0; column < d_.layout.count(); ++column) {
            const bool currentCell = row == current && column == grid_.currentColumn();
            const bool highlighted =
                d_.marking.contains(row, column) ||
                (currentCell && focused && options.testFlag(GridOption::HighlightFocus)) ||
                (row == current && rowHighlight);
            paintCell(painter, row, column, highlighted);
        }
    }
    paintLines(painter, std::max(0, shown));
}

void GridPainter::paintCell(QPainter& painter, int row, int column, bool highlighted) const {
    const QPalette& colours = grid_.palette();
    const QRect cell = grid_.cellRect(row, column);
    if (highlighted) {
        painter.fillRect(cell, colours.color(QPalette::Active, QPalette::Highlight));
    }
    painter.setPen(
        colours.color(QPalette::Active, highlighted ? QPalette::HighlightedText : QPalette::Text));
    const QString text = grid_.cellText(row, column);
    const QRect textArea = cell.adjusted(kTextMargin, 0, -kTextMargin, 0);
    painter.drawText(textArea, Qt::AlignLeft | Qt::AlignVCenter, text);
    const IncrementalSearch& search = d_.search;
    if (search.searching() && !search.text().isEmpty() && row == grid_.currentRow() &&
        column == grid_.currentColumn()) {
        paintSearchHighlight(painter, textArea, text.left(search.text().size()));
    }
}

void GridPainter::paintSearchHighlight(QPainter& painter, const QRect& cell,
                                       const QString& text) const {
    const int width = painter.fontMetrics().horizontalAdvance(text);
    const QRect matched(cell.left(), cell.top(), std::min(width, cell.width()), cell.height());
    painter.fillRect(matched, DBGrid::kSearchBackground);
    painter.setPen(DBGrid::kSearchText);
    painter.drawText(matched, Qt::AlignLeft | Qt::AlignVCenter, text);
}

void GridPainter::paintLines(QPainter& painter, int rowsShown) const {
    const ColumnLayout& layout = d_.layout;
    const int lineHeight = grid_.rowHeight() + ColumnLayout::kLineWidth;
    const int rowsBottom = grid_.rowHeight() + rowsShown * lineHeight;
    const int bottom = grid_.options().testFlag(GridOption::ExtendVertLines)
                           ? grid_.viewport()->height()
                           : rowsBottom + ColumnLayout::kLineWidth;
    const int right = layout.totalWidth() - grid_.horizontalOffset();
    painter.setPen(grid_.palette().color(QPalette::Active, QPalette::Mid));
    // Under the title row and each row.
    for (int i = 0; i <= rowsShown; ++i) {
        const int y = grid_.rowHeight() + i * lineHeight;
        painter.drawLine(0, y, right - 1, y);
    }
    // Right of each column.
    for (int column = 0; column < layout.count(); ++column) {
        const int x = layout.left(column) + layout.width(column) - grid_.horizontalOffset();
        painter.drawLine(x, 0, x, bottom);
    }
}

} // namespace ui
