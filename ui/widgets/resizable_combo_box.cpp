#include "ui/widgets/resizable_combo_box.h"

#include "ui/widgets/popup_size_grip.h"

#include <QAbstractItemView>
#include <QEvent>

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
    }
    if (chosenSize_.isValid())
        popup->resize(chosenSize_);
    placeGrip();
    grip_->show();
    grip_->raise();
}

bool ResizableComboBox::eventFilter(QObject* watched, QEvent* event) {
    if (grip_ && watched == grip_->parentWidget() && event->type() == QEvent::Resize)
        placeGrip();
    return QComboBox::eventFilter(watched, event);
}

void ResizableComboBox::placeGrip() {
    const QWidget* popup = grip_->parentWidget();
    grip_->move(popup->width() - grip_->width(), popup->height() - grip_->height());
}

} // namespace ui
