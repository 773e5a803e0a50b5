#include "app/message_boxes.h"

#include <QApplication>
#include <QMessageBox>

#include "app/application.h"

namespace app {

namespace {

void showBox(QMessageBox::Icon icon, const QString& text) {
    QMessageBox box(icon, QString::fromUtf8(kApplicationTitle), text, QMessageBox::Ok,
                    QApplication::activeWindow());
    box.exec();
}

} // namespace

void showPlainMessage(const QString& text) {
    showBox(QMessageBox::NoIcon, text);
}

void showErrorBox(const QString& text) {
    showBox(QMessageBox::Critical, text);
}

} // namespace app
