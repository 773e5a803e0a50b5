#include "ui/grid/grid_mouse.h"

#include "ui/grid/db_grid_p.h"

#include <QBitmap>
#include <QCursor>
#include <QMouseEvent>
#include <QPainter>

namespace ui {

namespace {

// The downward arrow shown over the top edge of a title cell.
QCursor downArrowCursor() {
    static const QCursor kCursor = [] {
        QBitmap shape(16, 16);
        shape.fill(Qt::color0);
        QPainter painter(&shape);
        painter.setPen(Qt::color1);
        painter.setBrush(Qt::color1);
        painter.drawRect(6, 1, 3, 7);
        const QPoint head[] = {{2, 8}, {13, 8}, {7, 14}, {8, 14}};
        painter.drawPolygon(head, 4);
        painter.end();
        return QCursor(shape, shape, 7, 14);
    }();
    return kCursor;
}

} // namespace

void GridMouse::press(QMouseEvent& event) {
    if (event.button() != Qt::LeftButton) {
        return;
    }
    const QPoint at = event.position().toPoint();
    const Qt::KeyboardModifiers mods = event.modifiers();
    const int column = grid_.columnAt(at.x());
    drag_ = Drag::None;
    if (at.y() < grid_.rowHeight()) {
        const int edge = grid_.columnEdgeAt(at.x(), kResizeSlack);
        if (edge >= 0 && grid_.options().testFlag(GridOption::ColumnResize)) {
            drag_ = Drag::Resize;
            dragColumn_ = edge;
        } else if (column >= 0 && at.y() < kColumnMarkEdge) {
            if (mods.testFlag(Qt::ShiftModifier)) {
                d_.marking.extendColumns(column);
            } else if (mods.testFlag(Qt::ControlModifier)) {
                d_.marking.toggleColumn(column);
            } else {
                d_.marking.markColumn(column);
            }
            grid_.viewport()->update();
        } else if (column >= 0 && grid_.options().testFlag(GridOption::ColumnMove)) {
            drag_ = Drag::Move;
            dragColumn_ = column;
        }
        return;
    }
    const int row = grid_.rowAt(at.y());
    if (row < 0 || column < 0) {
        return;
    }
    if (mods.testFlag(Qt::ShiftModifier)) {
        if (!d_.marking.hasBlock()) {
            d_.marking.startBlock(grid_.currentRow(), grid_.currentColumn());
        }
        d_.marking.extendBlock(row, column);
        grid_.viewport()->update();
        return;
    }
    if (grid_.options().testFlag(GridOption::ClearSelection)) {
        grid_.clearMarking();
    }
    if (!grid_.moveToRow(row)) {
        return;
    }
    grid_.setCurrentColumn(column);
    drag_ = Drag::Block;
    // The clicked record may have moved up a row as the one left went.
    anchorRow_ = grid_.currentRow();
    anchorColumn_ = column;
}

void GridMouse::move(QMouseEvent& event) {
    const QPoint at = event.position().toPoint();
    switch (drag_) {
    case Drag::None:
        updateCursor(at);
        return;
    case Drag::Resize:
        grid_.resizeColumn(dragColumn_, at.x() - grid_.titleRect(dragColumn_).left());
        return;
    case Drag::Move: {
        const int target = grid_.columnAt(at.x());
        grid_.viewport()->setCursor(target >= 0 ? Qt::ClosedHandCursor : Qt::ForbiddenCursor);
        grid_.showColumnDrop(dragColumn_, target >= 0 ? target : dragColumn_);
        return;
    }
    case Drag::Block: {
        const int row = grid_.rowAt(at.y());
        const int column = grid_.columnAt(at.x());
        if (row < 0 || column < 0 || (row == anchorRow_ && column == anchorColumn_)) {
            return;
        }
        if (!d_.marking.hasBlock()) {
            d_.marking.startBlock(anchorRow_, anchorColumn_);
        }
        d_.marking.extendBlock(row, column);
        grid_.viewport()->update();
        return;
    }
    }
}

void GridMouse::cancel() {
    if (drag_ == Drag::Move) {
        grid_.showColumnDrop(-1, -1);
        grid_.viewport()->unsetCursor();
    }
    drag_ = Drag::None;
}

void GridMouse::release(QMouseEvent& event) {
    if (event.button() != Qt::LeftButton) {
        return;
    }
    if (drag_ == Drag::Move) {
        grid_.showColumnDrop(-1, -1);
        updateCursor(event.position().toPoint());
        const int target = grid_.columnAt(event.position().toPoint().x());
        if (target >= 0 && target != dragColumn_) {
            grid_.moveColumn(dragColumn_, target);
        }
    }
    drag_ = Drag::None;
}

void GridMouse::updateCursor(const QPoint& at) {
    QWidget* viewport = grid_.viewport();
    if (at.y() < grid_.rowHeight()) {
        if (grid_.options().testFlag(GridOption::ColumnResize) &&
            grid_.columnEdgeAt(at.x(), kResizeSlack) >= 0) {
            viewport->setCursor(Qt::SplitHCursor);
            return;
        }
        if (at.y() < kColumnMarkEdge && grid_.columnAt(at.x()) >= 0) {
            viewport->setCursor(downArrowCursor());
            return;
        }
    }
    viewport->unsetCursor();
}

} // namespace ui
