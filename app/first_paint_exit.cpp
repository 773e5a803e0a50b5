#include "app/first_paint_exit.h"

#include <QCoreApplication>
#include <QEvent>
#include <QObject>
#include <QWidget>

#include <cstdio>

namespace app {

namespace {

class FirstPaintExit : public QObject {
public:
    explicit FirstPaintExit(QWidget& window) : QObject(&window), window_(window) {
        QCoreApplication::instance()->installEventFilter(this);
    }

protected:
    // The window itself may get no paint event of its own when its children
    // cover it: the first paint of any widget of the window counts.
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::Paint && watched->isWidgetType() &&
            static_cast<QWidget*>(watched)->window() == &window_) {
            QCoreApplication::instance()->removeEventFilter(this);
            // Queued: the rest of the window paints and is flushed to the
            // screen within the same update, before this runs.
            QMetaObject::invokeMethod(
                QCoreApplication::instance(),
                [] {
                    std::fputs(kFirstPaintLine, stderr);
                    std::fflush(stderr);
                    QCoreApplication::quit();
                },
                Qt::QueuedConnection);
        }
        return false;
    }

private:
    QWidget& window_;
};

} // namespace

void exitAfterFirstPaintWhenAsked(QWidget& window) {
    if (!qEnvironmentVariableIsEmpty(kExitAfterFirstPaintVariable))
        new FirstPaintExit(window);
}

} // namespace app
