#pragma once
// Lays out widgets as bands: top bands stack down from the top edge, bottom
// bands stack up from the bottom edge, each keeping its own height, and the
// fill bands take what is left between them (never less than nothing). When
// the parent is too small the fixed bands keep their heights and overlap.

#include <QLayout>
#include <QList>

namespace ui {

class BandLayout : public QLayout {
public:
    enum class Band { Top, Bottom, Fill };

    explicit BandLayout(QWidget* parent = nullptr);
    ~BandLayout() override;

    // Top and bottom bands keep the height the widget has when it is laid out.
    // Bottom bands are placed in the order added, the first one lowest.
    void addWidget(QWidget* widget, Band band);

    void addItem(QLayoutItem* item) override; // a fill band
    QLayoutItem* itemAt(int index) const override;
    QLayoutItem* takeAt(int index) override;
    int count() const override { return static_cast<int>(items_.size()); }

    void setGeometry(const QRect& rect) override;
    QSize sizeHint() const override;
    // Bands may be squeezed to nothing: the layout never forces a minimum size.
    QSize minimumSize() const override { return {0, 0}; }

private:
    struct Entry {
        QLayoutItem* item;
        Band band;
    };
    QList<Entry> items_;
};

} // namespace ui
