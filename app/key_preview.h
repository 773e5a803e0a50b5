#pragma once
// Key preview for one window: every key pressed in any of its controls is
// handed to the window's handler before the control with the focus sees it.
// The key is never consumed; the control still receives it.

#include <QObject>
#include <QPointer>
#include <QWidget>

#include <functional>

class QKeyEvent;

namespace app {

class KeyPreview : public QObject {
    Q_OBJECT
public:
    using Handler = std::function<void(int key, Qt::KeyboardModifiers shift)>;

    KeyPreview(QWidget* window, Handler handler);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QWidget* window_;
    Handler handler_;
    // A key a control leaves unused travels on to its parents: the key and
    // where it was first delivered, so that it is previewed only once. A
    // key's events can share an address with the previous key's.
    const QEvent* previewed_ = nullptr;
    QPointer<QWidget> previewedAt_;
    // How many calls of the handler are running.
    int handling_ = 0;
};

} // namespace app
