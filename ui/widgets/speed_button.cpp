#include "ui/widgets/speed_button.h"

#include <QIcon>
#include <QPixmap>

namespace ui {

SpeedButton::SpeedButton(QWidget* parent) : QToolButton(parent) {
    setAutoRaise(true);
    setToolButtonStyle(Qt::ToolButtonTextUnderIcon);
    setFocusPolicy(Qt::NoFocus);
}

void SpeedButton::setGlyph(const QImage& glyph) {
    setIconSize(glyph.size());
    setIcon(QIcon(QPixmap::fromImage(transparentGlyph(glyph))));
}

QImage SpeedButton::transparentGlyph(const QImage& glyph) {
    if (glyph.isNull())
        return glyph;
    QImage image = glyph.convertToFormat(QImage::Format_ARGB32);
    const QRgb transparent = image.pixel(0, image.height() - 1) | 0xff000000u;
    for (int y = 0; y < image.height(); ++y) {
        auto* line = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (int x = 0; x < image.width(); ++x) {
            const QRgb opaque = line[x] | 0xff000000u;
            line[x] = opaque == transparent ? qRgba(0, 0, 0, 0) : opaque;
        }
    }
    return image;
}

} // namespace ui
