#include "ui/widgets/band_layout.h"

#include <QWidget>

#include <algorithm>

namespace ui {

BandLayout::BandLayout(QWidget* parent) : QLayout(parent) {
    setContentsMargins(0, 0, 0, 0);
    setSpacing(0);
    setSizeConstraint(QLayout::SetNoConstraint);
}

BandLayout::~BandLayout() {
    while (QLayoutItem* item = takeAt(0))
        delete item;
}

void BandLayout::addWidget(QWidget* widget, Band band) {
    addChildWidget(widget);
    items_.append({new QWidgetItem(widget), band});
    invalidate();
}

void BandLayout::addItem(QLayoutItem* item) {
    items_.append({item, Band::Fill});
}

QLayoutItem* BandLayout::itemAt(int index) const {
    return index >= 0 && index < items_.size() ? items_[index].item : nullptr;
}

QLayoutItem* BandLayout::takeAt(int index) {
    if (index < 0 || index >= items_.size())
        return nullptr;
    return items_.takeAt(index).item;
}

namespace {

// Places a widget directly: QWidgetItem would bend the rectangle to the
// widget's size hints, and bands must take exactly the space they are given.
void place(QLayoutItem* item, const QRect& rect) {
    if (QWidget* widget = item->widget()) {
        widget->setGeometry(rect);
    } else {
        item->setGeometry(rect);
    }
}

int bandHeight(const QLayoutItem* item) {
    if (const QWidget* widget = item->widget())
        return widget->height();
    return item->sizeHint().height();
}

} // namespace

void BandLayout::setGeometry(const QRect& rect) {
    QLayout::setGeometry(rect);
    const QRect area = contentsRect();
    int top = area.top();
    int bottom = area.top() + area.height(); // one past the last row

    for (const Entry& entry : items_) {
        if (entry.band != Band::Top || entry.item->isEmpty())
            continue;
        const int height = bandHeight(entry.item);
        place(entry.item, QRect(area.left(), top, area.width(), height));
        top += height;
    }
    for (const Entry& entry : items_) {
        if (entry.band != Band::Bottom || entry.item->isEmpty())
            continue;
        const int height = bandHeight(entry.item);
        bottom -= height;
        place(entry.item, QRect(area.left(), bottom, area.width(), height));
    }
    const int fillHeight = std::max(0, bottom - top);
    for (const Entry& entry : items_) {
        if (entry.band == Band::Fill && !entry.item->isEmpty())
            place(entry.item, QRect(area.left(), top, area.width(), fillHeight));
    }
}

QSize BandLayout::sizeHint() const {
    int height = 0;
    for (const Entry& entry : items_) {
        if (entry.band != Band::Fill && !entry.item->isEmpty())
            height += bandHeight(entry.item);
    }
    const QMargins margins = contentsMargins();
    return {margins.left() + margins.right(), height + margins.top() + margins.bottom()};
}

} // namespace ui
