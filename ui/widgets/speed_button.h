#pragma once
// A flat tool button with a bitmap glyph above its caption. The button shows
// no frame until the mouse is over it and never takes the focus. A disabled
// button greys its glyph and caption.

#include <QImage>
#include <QToolButton>

namespace ui {

class SpeedButton : public QToolButton {
    Q_OBJECT
public:
    explicit SpeedButton(QWidget* parent = nullptr);

    // The colour of the glyph's bottom-left pixel is taken as transparent.
    void setGlyph(const QImage& glyph);

    // The glyph with every pixel of its bottom-left pixel's colour made
    // fully transparent and every other pixel opaque.
    static QImage transparentGlyph(const QImage& glyph);
};

} // namespace ui
