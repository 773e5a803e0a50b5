#pragma once
// The corner grip of a pop-up window: dragging it resizes the window it
// sits in directly, since window managers do not resize pop-ups.

#include <QPoint>
#include <QSize>
#include <QWidget>

namespace ui {

class PopupSizeGrip : public QWidget {
    Q_OBJECT

public:
    explicit PopupSizeGrip(QWidget* popup);

signals:
    // The user let go of the grip; the pop-up has its new size.
    void resized(QSize size);

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    QWidget* popup_;
    bool dragging_ = false;
    QPoint pressedAt_;
    QSize startSize_;
};

} // namespace ui
