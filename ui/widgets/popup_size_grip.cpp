#include "ui/widgets/popup_size_grip.h"

#include <QMouseEvent>
#include <QPainter>
#include <QScreen>
#include <QStyle>
#include <QStyleOption>

namespace ui {

PopupSizeGrip::PopupSizeGrip(QWidget* popup) : QWidget(popup), popup_(popup) {
    setObjectName(QStringLiteral("PopupSizeGrip"));
    setCursor(Qt::SizeFDiagCursor);
    const int side = style()->pixelMetric(QStyle::PM_SizeGripSize, nullptr, this);
    setFixedSize(side, side);
}

void PopupSizeGrip::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    QStyleOptionSizeGrip option;
    option.initFrom(this);
    option.corner = Qt::BottomRightCorner;
    style()->drawControl(QStyle::CE_SizeGrip, &option, &painter, this);
}

void PopupSizeGrip::mousePressEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton) {
        QWidget::mousePressEvent(event);
        return;
    }
    dragging_ = true;
    pressedAt_ = event->globalPosition().toPoint();
    startSize_ = popup_->size();
    event->accept();
}

void PopupSizeGrip::mouseMoveEvent(QMouseEvent* event) {
    if (!dragging_) {
        QWidget::mouseMoveEvent(event);
        return;
    }
    const QPoint moved = event->globalPosition().toPoint() - pressedAt_;
    QSize wanted = (startSize_ + QSize(moved.x(), moved.y()))
                       .expandedTo(popup_->minimumSizeHint())
                       .expandedTo(size() * 2);
    if (const QScreen* screen = popup_->screen()) {
        // No larger than the screen from the list's top-left corner.
        const QRect room = screen->availableGeometry();
        const QPoint corner = popup_->geometry().topLeft();
        wanted =
            wanted.boundedTo(QSize(room.right() - corner.x() + 1, room.bottom() - corner.y() + 1));
    }
    popup_->resize(wanted);
    event->accept();
}

void PopupSizeGrip::mouseReleaseEvent(QMouseEvent* event) {
    if (!dragging_ || event->button() != Qt::LeftButton) {
        QWidget::mouseReleaseEvent(event);
        return;
    }
    dragging_ = false;
    event->accept();
    emit resized(popup_->size());
}

} // namespace ui
