#include "ui/widgets/db_navigator.h"

#include <QIcon>
#include <QPainter>
#include <QPainterPath>
#include <QPixmap>
#include <QToolButton>
#include <algorithm>

namespace ui {

namespace {

constexpr int kGlyphHeight = 13;

int glyphWidth(NavigateButton which) {
    return which == NavigateButton::Prior || which == NavigateButton::Next ? 10 : 14;
}

QPainterPath triangle(qreal tipX, qreal baseX) {
    QPainterPath path;
    path.moveTo(baseX, 2);
    path.lineTo(tipX, 6.5);
    path.lineTo(baseX, 11);
    path.closeSubpath();
    return path;
}

void drawGlyph(QPainter& painter, NavigateButton which) {
    const QColor ink = Qt::black;
    painter.setPen(Qt::NoPen);
    painter.setBrush(ink);
    switch (which) {
    case NavigateButton::First:
        painter.drawRect(2, 2, 2, 9);
        painter.drawPath(triangle(5, 11));
        break;
    case NavigateButton::Prior:
        painter.drawPath(triangle(2, 8));
        break;
    case NavigateButton::Next:
        painter.drawPath(triangle(8, 2));
        break;
    case NavigateButton::Last:
        painter.drawPath(triangle(9, 3));
        painter.drawRect(10, 2, 2, 9);
        break;
    case NavigateButton::Insert:
        painter.drawRect(6, 2, 2, 9);
        painter.drawRect(2, 6, 10, 2);
        break;
    case NavigateButton::Delete:
        painter.drawRect(2, 6, 10, 2);
        break;
    case NavigateButton::Edit: {
        QPainterPath up;
        up.moveTo(2, 10);
        up.lineTo(7, 3);
        up.lineTo(12, 10);
        up.closeSubpath();
        painter.drawPath(up);
        break;
    }
    case NavigateButton::Post:
        painter.setPen(QPen(ink, 2));
        painter.setBrush(Qt::NoBrush);
        painter.drawPolyline(QPolygonF({QPointF(2, 7), QPointF(5, 10), QPointF(12, 3)}));
        break;
    case NavigateButton::Cancel:
        painter.setPen(QPen(ink, 2));
        painter.drawLine(3, 3, 11, 10);
        painter.drawLine(11, 3, 3, 10);
        break;
    case NavigateButton::Refresh:
        painter.setPen(QPen(ink, 2));
        painter.setBrush(Qt::NoBrush);
        painter.drawArc(QRectF(2.5, 2, 9, 9), 60 * 16, 280 * 16);
        painter.setPen(Qt::NoPen);
        painter.setBrush(ink);
        painter.drawPolygon(QPolygonF({QPointF(8, 0), QPointF(12, 3), QPointF(8, 5)}));
        break;
    }
}

QIcon glyphIcon(NavigateButton which) {
    QPixmap pixmap(glyphWidth(which), kGlyphHeight);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing, false);
    drawGlyph(painter, which);
    painter.end();
    return QIcon(pixmap);
}

} // namespace

DBNavigator::DBNavigator(QWidget* parent) : QWidget(parent) {
    setFocusPolicy(Qt::NoFocus);
    for (int i = 0; i < kButtonCount; ++i) {
        const auto which = static_cast<NavigateButton>(i);
        auto* button = new QToolButton(this);
        button->setFocusPolicy(Qt::NoFocus);
        button->setIcon(glyphIcon(which));
        button->setIconSize(QSize(glyphWidth(which), kGlyphHeight));
        // No data set is attached yet, so no button can act.
        button->setEnabled(false);
        buttons_[i] = button;
    }
}

void DBNavigator::setVisibleButtons(std::initializer_list<NavigateButton> buttons) {
    for (int i = 0; i < kButtonCount; ++i) {
        const bool shown = std::find(buttons.begin(), buttons.end(),
                                     static_cast<NavigateButton>(i)) != buttons.end();
        buttons_[i]->setVisible(shown);
    }
    layoutButtons();
}

QToolButton* DBNavigator::button(NavigateButton which) const {
    return buttons_[static_cast<int>(which)];
}

std::vector<int> DBNavigator::buttonWidths(int width, int count) {
    std::vector<int> widths;
    if (count <= 0)
        return widths;
    const int base = width / count;
    const int remainder = width % count;
    int counter = count / 2;
    for (int i = 0; i < count; ++i) {
        int buttonWidth = base;
        counter -= remainder;
        if (counter < 0) {
            ++buttonWidth;
            counter += count;
        }
        widths.push_back(buttonWidth);
    }
    return widths;
}

void DBNavigator::resizeEvent(QResizeEvent*) {
    layoutButtons();
}

void DBNavigator::layoutButtons() {
    std::vector<QToolButton*> shown;
    for (QToolButton* button : buttons_) {
        if (!button->isHidden())
            shown.push_back(button);
    }
    const std::vector<int> widths = buttonWidths(width(), static_cast<int>(shown.size()));
    int left = 0;
    for (std::size_t i = 0; i < shown.size(); ++i) {
        shown[i]->setGeometry(left, 0, widths[i], height());
        left += widths[i];
    }
}

} // namespace ui
