#include "ui/grid/db_grid.h"

#include <QFontMetrics>
#include <QPainter>

namespace ui {

namespace {

void drawRaisedCell(QPainter& painter, const QRect& cell, const QPalette& palette) {
    painter.fillRect(cell, palette.color(QPalette::Button));
    painter.setPen(palette.color(QPalette::Light));
    painter.drawLine(cell.topLeft(), cell.topRight());
    painter.drawLine(cell.topLeft(), cell.bottomLeft());
    painter.setPen(palette.color(QPalette::Dark));
    painter.drawLine(cell.bottomLeft(), cell.bottomRight());
    painter.drawLine(cell.topRight(), cell.bottomRight());
}

} // namespace

DBGrid::DBGrid(QWidget* parent) : QAbstractScrollArea(parent) {
    setFocusPolicy(Qt::StrongFocus);
    // A disabled grid looks like an enabled one; it only takes no input.
    QPalette colours = viewport()->palette();
    colours.setColor(QPalette::Disabled, QPalette::Base,
                     colours.color(QPalette::Active, QPalette::Base));
    viewport()->setPalette(colours);
    viewport()->setBackgroundRole(QPalette::Base);
    viewport()->setAutoFillBackground(true);
    setLook(Look::Sunken3D);
}

void DBGrid::setLook(Look look) {
    look_ = look;
    if (look == Look::Flat) {
        setFrameStyle(QFrame::Box | QFrame::Plain);
        setLineWidth(1);
    } else {
        setFrameStyle(QFrame::WinPanel | QFrame::Sunken);
        setLineWidth(2);
    }
}

void DBGrid::setColumns(const QList<GridColumn>& columns) {
    columns_ = columns;
    viewport()->update();
}

int DBGrid::defaultColumnWidth(int displayWidth) const {
    const QFontMetrics metrics(font());
    return metrics.horizontalAdvance(QLatin1Char('0')) * displayWidth + 4;
}

int DBGrid::rowHeight() const {
    return QFontMetrics(font()).height() + 3;
}

void DBGrid::paintEvent(QPaintEvent*) {
    QPainter painter(viewport());
    const QPalette& colours = palette();
    const int height = rowHeight();
    drawRaisedCell(painter, QRect(0, 0, kIndicatorWidth, height), colours);

    int left = kIndicatorWidth + 1;
    for (const GridColumn& column : columns_) {
        const QRect cell(left, 0, column.width, height);
        drawRaisedCell(painter, cell, colours);
        painter.setPen(colours.color(QPalette::Active, QPalette::WindowText));
        painter.drawText(cell.adjusted(2, 0, -2, 0), Qt::AlignLeft | Qt::AlignVCenter,
                         column.title);
        left += column.width + 1;
    }
}

} // namespace ui
