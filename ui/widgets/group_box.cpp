#include "ui/widgets/group_box.h"

#include <QFontMetrics>
#include <QPainter>

namespace ui {

namespace {

constexpr int kTitleIndent = 8;
constexpr int kTitlePadding = 2;

} // namespace

GroupBox::GroupBox(QWidget* parent) : QWidget(parent) {
    setAutoFillBackground(true);
    setBackgroundRole(QPalette::Button);
}

void GroupBox::setTitle(const QString& title) {
    title_ = title;
    update();
}

void GroupBox::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    const QFontMetrics metrics(font());
    const int frameTop = metrics.height() / 2;

    // An etched frame: a dark line with a light line just inside and below it.
    const QRect frame(0, frameTop, width() - 1, height() - frameTop - 1);
    painter.setPen(palette().color(QPalette::Light));
    painter.drawRect(frame.translated(1, 1).adjusted(0, 0, -1, -1));
    painter.setPen(palette().color(QPalette::Dark));
    painter.drawRect(frame.adjusted(0, 0, -1, -1));

    if (title_.isEmpty())
        return;
    const QRect titleRect(kTitleIndent, 0, metrics.horizontalAdvance(title_) + 2 * kTitlePadding,
                          metrics.height());
    painter.fillRect(titleRect, palette().color(QPalette::Button));
    painter.setPen(
        palette().color(isEnabled() ? QPalette::Active : QPalette::Disabled, QPalette::WindowText));
    painter.drawText(titleRect, Qt::AlignCenter | Qt::TextSingleLine, title_);
}

} // namespace ui
