#include "app/message_boxes.h"

#include "app/application.h"

#include <QApplication>
#include <QMessageBox>
#include <QPushButton>

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

Application::Answer askYesNoCancel(const QString& text) {
    QMessageBox box(QMessageBox::Question, QString::fromUtf8(kApplicationTitle),
                    withLineFeeds(text), QMessageBox::NoButton, QApplication::activeWindow());
    QPushButton* yes = box.addButton(QStringLiteral("Sí"), QMessageBox::YesRole);
    QPushButton* no = box.addButton(QStringLiteral("No"), QMessageBox::NoRole);
    QPushButton* cancel = box.addButton(QStringLiteral("Cancelar"), QMessageBox::RejectRole);
    box.setDefaultButton(yes);
    box.setEscapeButton(cancel);
    box.exec();
    if (box.clickedButton() == yes)
        return Application::Answer::Yes;
    if (box.clickedButton() == no)
        return Application::Answer::No;
    return Application::Answer::Cancel;
}

} // namespace app
