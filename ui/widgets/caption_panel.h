#pragma once
// A panel with a one-pixel frame and a caption bar across its top, painted in
// the highlight colours. Its children are laid out as bands in the space under
// the bar. The bar does not react to the mouse.

#include <QString>
#include <QWidget>

#include "ui/widgets/band_layout.h"

namespace ui {

class CaptionPanel : public QWidget {
    Q_OBJECT
public:
    static constexpr int kFrameWidth = 1;
    static constexpr int kCaptionBarHeight = 20 - 2 * kFrameWidth;

    explicit CaptionPanel(QWidget* parent = nullptr);

    void setCaption(const QString& caption);
    const QString& caption() const { return caption_; }

    // Adds a child below the caption bar, as a band of the panel.
    void addWidget(QWidget* widget, BandLayout::Band band);

    // The caption bar, in the panel's coordinates.
    QRect captionBarRect() const;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QString caption_;
    BandLayout* bands_;
};

} // namespace ui
