// The baseline of startup_bench: the least a Qt Widgets program does to show
// a window, an empty one of the program's window size, which writes the
// program's first-paint line and quits once painted.

#include "app/first_paint_exit.h"

#include <QApplication>
#include <QMetaObject>
#include <QWidget>

#include <cstdio>

namespace {

class BareWindow : public QWidget {
protected:
    void paintEvent(QPaintEvent* event) override {
        QWidget::paintEvent(event);
        if (painted_)
            return;
        painted_ = true;
        QMetaObject::invokeMethod(
            this,
            [] {
                std::fputs(app::kFirstPaintLine, stderr);
                std::fflush(stderr);
                QCoreApplication::quit();
            },
            Qt::QueuedConnection);
    }

private:
    bool painted_ = false;
};

} // namespace

int main(int argc, char** argv) {
    QApplication application(argc, argv);
    BareWindow window;
    window.resize(364, 333);
    window.show();
    return QApplication::exec();
}
