#pragma once
// A combo box whose drop-down list the user can make larger or smaller by
// dragging a grip in its bottom-right corner. The size chosen is kept for
// the next time the list drops down.

#include "ui/widgets/popup_size_grip.h"

#include <QComboBox>
#include <QPointer>
#include <QSize>

namespace ui {

class ResizableComboBox : public QComboBox {
    Q_OBJECT

public:
    explicit ResizableComboBox(QWidget* parent = nullptr);

    void showPopup() override;

    // The grip of the open list; null before the list first drops down.
    PopupSizeGrip* sizeGrip() const { return grip_.data(); }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void placeGrip();
    // The chosen size, within the screen, with the list's edge kept next to
    // the box whether it dropped down or up.
    void restoreChosenSize(QWidget* popup);

    QPointer<PopupSizeGrip> grip_;
    QSize chosenSize_;
};

} // namespace ui
