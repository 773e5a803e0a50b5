#include "ui/widgets/bevel_panel.h"

#include <QPainter>
#include <QPalette>

namespace ui {

namespace {

// Draws a one-pixel 3-D frame just inside rect and returns the rectangle
// inside it.
QRect drawBevel(QPainter& painter, const QRect& rect, BevelPanel::Bevel bevel,
                const QPalette& palette) {
    if (bevel == BevelPanel::Bevel::None)
        return rect;
    const bool raised = bevel == BevelPanel::Bevel::Raised;
    const QColor topLeft = palette.color(raised ? QPalette::Light : QPalette::Dark);
    const QColor bottomRight = palette.color(raised ? QPalette::Dark : QPalette::Light);
    painter.setPen(topLeft);
    painter.drawLine(rect.topLeft(), rect.topRight());
    painter.drawLine(rect.topLeft(), rect.bottomLeft());
    painter.setPen(bottomRight);
    painter.drawLine(rect.bottomLeft(), rect.bottomRight());
    painter.drawLine(rect.topRight(), rect.bottomRight());
    return rect.adjusted(1, 1, -1, -1);
}

} // namespace

BevelPanel::BevelPanel(QWidget* parent) : QWidget(parent) {
    setAutoFillBackground(true);
    setBackgroundRole(QPalette::Button);
}

void BevelPanel::setBevels(Bevel outer, Bevel inner) {
    outer_ = outer;
    inner_ = inner;
    update();
}

int BevelPanel::bevelWidth() const {
    return (outer_ != Bevel::None ? 1 : 0) + (inner_ != Bevel::None ? 1 : 0);
}

void BevelPanel::setCaption(const QString& caption) {
    caption_ = caption;
    update();
}

void BevelPanel::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    QRect inside = drawBevel(painter, rect(), outer_, palette());
    inside = drawBevel(painter, inside, inner_, palette());
    if (caption_.isEmpty())
        return;
    painter.setPen(
        palette().color(isEnabled() ? QPalette::Active : QPalette::Disabled, QPalette::WindowText));
    painter.drawText(inside, Qt::AlignCenter | Qt::TextSingleLine, caption_);
}

} // namespace ui
