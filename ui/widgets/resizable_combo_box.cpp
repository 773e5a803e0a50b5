#include "ui/widgets/resizable_combo_box.h"

#include "ui/widgets/popup_size_grip.h"

#include <QAbstractItemView>
#include <QEvent>
#include <QScreen>

namespace ui {

ResizableComboBox::ResizableComboBox(QWidget* parent) : QComboBox(parent) {}

void ResizableComboBox::showPopup() {
    QComboBox::showPopup();
    QWidget* popup = view()->window();
    if (popup == window())
        return;
    if (!grip_) {
        grip_ = new PopupSizeGrip(popup);
        connect(grip_, &PopupSizeGrip::resized, this, [this](QSize size) { chosenSize_ = size; });
        popup->installEventFilter(this);
        // The grip sits over the list's bottom-right corner: room below the
        // scroll bar keeps its down arrow clear of it.
        auto* gripRoom = new QWidget;
        gripRoom->setFixedSize(grip_->size());
        view()->addScrollBarWidget(gripRoom, Qt::AlignBottom);
    }
    if (chosenSize_.isValid())
        restoreChosenSize(popup);
    placeGrip();
    grip_->show();
    grip_->raise();
}

bool ResizableComboBox::eventFilter(QObject* watched, QEvent* event) {
    if (grip_ && watched == grip_->parentWidget() && event->type() == QEvent::Resize)
        placeGrip();
    return QComboBox::eventFilter(watched, event);
}

void ResizableComboBox::restoreChosenSize(QWidget* popup) {
    const QRect placed = popup->geometry();
    const bool above = placed.bottom() < mapToGlobal(QPoint(0, 0)).y();
    QSize size = chosenSize_.expandedTo(popup->minimumSizeHint());
    if (const QScreen* screen = popup->screen()) {
        const QRect room = screen->availableGeometry();
        const int height =
            above ? placed.bottom() - room.top() + 1 : room.bottom() - placed.top() + 1;
        size = size.boundedTo(QSize(room.right() - placed.left() + 1, height));
    }
    QRect wanted(placed.topLeft(), size);
    if (above)
        wanted.moveBottom(placed.bottom());
    popup->setGeometry(wanted);
}

void ResizableComboBox::placeGrip() {
    const QWidget* popup = grip_->parentWidget();
    grip_->move(popup->width() - grip_->width(), popup->height() - grip_->height());
}

} // namespace ui
