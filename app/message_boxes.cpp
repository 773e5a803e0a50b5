#include "app/message_boxes.h"

#include <QApplication>
#include <QMessageBox>

#include "app/application.h"

namespace app {

namespace {

// The texts break lines with a carriage return, alone or before a line
// feed; Qt's labels break only at a line feed.
QString withLineFeeds(QString text) {
    text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    text.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    return text;
}

void showBox(QMessageBox::Icon icon, const QString& text) {
    QMessageBox box(icon, QString::fromUtf8(kApplicationTitle), withLineFeeds(text),
                    QMessageBox::Ok, QApplication::activeWindow());
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
