#pragma once
// A panel with a one-pixel frame and a caption bar across its top, painted in
// the highlight colours with no buttons on it. Its children are laid out as
// bands in the space under the bar. The user can neither move, resize nor
// collapse it: the panel takes mouse input without acting on it, so nothing
// reaches the window behind it either.

#include "ui/widgets/band_layout.h"

#include <QFont>
#include <QString>
#include <QWidget>

namespace ui {

class CaptionPanel : public QWidget {
    Q_OBJECT
public:
    static constexpr int kFrameWidth = 1;
    static constexpr int kCaptionBarHeight = 20 - 2 * kFrameWidth;
    static constexpr int kCaptionFontPixels = 11;

    explicit CaptionPanel(QWidget* parent = nullptr);

    void setCaption(const QString& caption);
    const QString& caption() const { return caption_; }

    // The caption's font; the panel's own font stays its children's.
    const QFont& captionFont() const { return captionFont_; }

    // Adds a child below the caption bar, as a band of the panel.
    void addWidget(QWidget* widget, BandLayout::Band band);

    // The caption bar, in the panel's coordinates.
    QRect captionBarRect() const;

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;

private:
    QString caption_;
    QFont captionFont_;
    BandLayout* bands_;
};

} // namespace ui
