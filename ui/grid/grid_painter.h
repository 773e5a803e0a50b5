#pragma once
// Paints a data grid: the title row, the indicator column, the cells of the
// rows in view (and only those), the marking, the search highlight and the
// lines.

class QPainter;
class QRect;
class QString;

namespace ui {

class DBGrid;
class DBGridPrivate;

class GridPainter {
public:
    explicit GridPainter(const DBGrid& grid);

    void paint(QPainter& painter, const QRect& exposed) const;

private:
    void paintTitles(QPainter& painter) const;
    void paintIndicators(QPainter& painter) const;
    void paintFixedCell(QPainter& painter, const QRect& cell) const;
    void paintRows(QPainter& painter) const;
    void paintCell(QPainter& painter, int row, int column, bool highlighted) const;
    void paintSearchHighlight(QPainter& painter, const QRect& cell, const QString& text) const;
    void paintLines(QPainter& painter, int rowsShown) const;
    // The title being dragged and the edge where its column would land.
    void paintColumnDrop(QPainter& painter) const;

    const DBGrid& grid_;
    const DBGridPrivate& d_;
};

} // namespace ui
