#pragma once
// A combo box whose drop-down list the user can make larger or smaller by
// dragging a grip in its bottom-right corner. The size chosen is kept for
// the next time the list drops down.

#include <QComboBox>
#include <QSize>

namespace ui {

class PopupSizeGrip;

class ResizableComboBox : public QComboBox {
    Q_OBJECT

public:
    explicit ResizableComboBox(QWidget* parent = nullptr);

    void showPopup() override;

    // The grip of the open list; null before the list first drops down.
    PopupSizeGrip* sizeGrip() const { return grip_; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void placeGrip();

    PopupSizeGrip* grip_ = nullptr;
    QSize chosenSize_;
};

} // namespace ui
