#include "ui/widgets/caption_panel.h"

#include "ui/widgets/window_fonts.h"

#include <QMouseEvent>
#include <QPainter>
#include <QPalette>

namespace ui {

namespace {} // namespace

CaptionPanel::CaptionPanel(QWidget* parent)
    : QWidget(parent), captionFont_(msSansSerif(kCaptionFontPixels)), bands_(new BandLayout(this)) {
    setAutoFillBackground(true);
    setBackgroundRole(QPalette::Button);
    bands_->setContentsMargins(kFrameWidth, kFrameWidth + kCaptionBarHeight, kFrameWidth,
                               kFrameWidth);
}

void CaptionPanel::setCaption(const QString& caption) {
    caption_ = caption;
    update(captionBarRect());
}

void CaptionPanel::addWidget(QWidget* widget, BandLayout::Band band) {
    bands_->addWidget(widget, band);
    // Lay out at once: the panel may be hidden, and its children should have
    // their bounds before it is first shown.
    bands_->activate();
}

QRect CaptionPanel::captionBarRect() const {
    return {kFrameWidth, kFrameWidth, width() - 2 * kFrameWidth, kCaptionBarHeight};
}

void CaptionPanel::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setPen(palette().color(QPalette::Dark));
    painter.drawRect(rect().adjusted(0, 0, -1, -1));

    const QRect bar = captionBarRect();
    painter.fillRect(bar, palette().color(QPalette::Highlight));
    painter.setPen(palette().color(QPalette::HighlightedText));
    painter.setFont(captionFont_);
    painter.drawText(bar, Qt::AlignLeft | Qt::AlignTop | Qt::TextSingleLine, caption_);
}

void CaptionPanel::mousePressEvent(QMouseEvent* event) {
    event->accept();
}

void CaptionPanel::mouseReleaseEvent(QMouseEvent* event) {
    event->accept();
}

void CaptionPanel::mouseDoubleClickEvent(QMouseEvent* event) {
    event->accept();
}

void CaptionPanel::mouseMoveEvent(QMouseEvent* event) {
    event->accept();
}

} // namespace ui
