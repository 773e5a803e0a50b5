#include "ui/widgets/db_navigator.h"

#include "dataset/client/client_data_set.h"

#include <QEvent>
#include <QIcon>
#include <QMessageBox>
#include <QPainter>
#include <QPainterPath>
#include <QPixmap>
#include <QPushButton>
#include <QToolButton>

#include <algorithm>

namespace ui {

namespace {

constexpr int kGlyphHeight = 13;

constexpr const char* kHints[DBNavigator::kButtonCount] = {
    "First record",  "Prior record", "Next record", "Last record", "Insert record",
    "Delete record", "Edit record",  "Post edit",   "Cancel edit", "Refresh data"};

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

void drawGlyph(QPainter& painter, NavigateButton which, const QColor& ink) {
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
    const QPixmap bitmap = QPixmap::fromImage(DBNavigator::glyphBitmap(which));
    const int width = glyphWidth(which);
    QIcon icon;
    icon.addPixmap(bitmap.copy(0, 0, width, kGlyphHeight), QIcon::Normal);
    icon.addPixmap(bitmap.copy(width, 0, width, kGlyphHeight), QIcon::Disabled);
    return icon;
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
        button->setAccessibleName(hintText(which));
        if (which == NavigateButton::Prior || which == NavigateButton::Next) {
            // QAbstractButton stops repeating once the pointer leaves the
            // pressed button.
            button->setAutoRepeat(true);
            button->setAutoRepeatDelay(kRepeatDelayMs);
            button->setAutoRepeatInterval(kRepeatIntervalMs);
        }
        button->setEnabled(false);
        connect(button, &QToolButton::clicked, this, [this, which] {
            if (guard_) {
                guard_([this, which] { BtnClick(which); });
            } else {
                BtnClick(which);
            }
        });
        buttons_[i] = button;
    }
}

DBNavigator::~DBNavigator() {
    dataset::DataSource::watch(source_, nullptr, this);
}

void DBNavigator::setDataSource(dataset::DataSource* source) {
    if (dataset::DataSource::watch(source_, source, this))
        updateButtons();
}

void DBNavigator::dataSourceDetached(dataset::DataSource&) {
    source_ = nullptr;
    updateButtons();
}

dataset::ClientDataSet* DBNavigator::dataSet() const {
    return source_ ? source_->DataSet() : nullptr;
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

QString DBNavigator::hintText(NavigateButton which) {
    return QString::fromLatin1(kHints[static_cast<int>(which)]);
}

void DBNavigator::BtnClick(NavigateButton which) {
    dataset::ClientDataSet* target = dataSet();
    if (!target || !target->Active())
        return;
    switch (which) {
    case NavigateButton::First:
        target->First();
        break;
    case NavigateButton::Prior:
        target->Prior();
        break;
    case NavigateButton::Next:
        target->Next();
        break;
    case NavigateButton::Last:
        target->Last();
        break;
    case NavigateButton::Insert:
        target->Insert();
        break;
    case NavigateButton::Delete:
        if (confirmDelete())
            target->Delete();
        break;
    case NavigateButton::Edit:
        target->Edit();
        break;
    case NavigateButton::Post:
        target->Post();
        break;
    case NavigateButton::Cancel:
        target->Cancel();
        break;
    case NavigateButton::Refresh:
        target->CheckBrowseMode();
        break;
    }
    // A step that found no further row changes no row, yet sets the
    // beginning or end of the data.
    updateButtons();
}

bool DBNavigator::confirmDelete() {
    QMessageBox box(QMessageBox::Question, QString::fromLatin1(kConfirmTitle),
                    QString::fromLatin1(kDeleteQuestion), QMessageBox::Ok | QMessageBox::Cancel,
                    this);
    box.button(QMessageBox::Ok)->setText(QStringLiteral("OK"));
    box.button(QMessageBox::Cancel)->setText(QStringLiteral("Cancel"));
    box.setDefaultButton(QMessageBox::Ok);
    return box.exec() == QMessageBox::Ok;
}

void DBNavigator::updateButtons() {
    dataset::ClientDataSet* target = dataSet();
    std::array<bool, kButtonCount> enabled{};
    if (isEnabled() && target && target->Active()) {
        const bool canModify = target->CanModify();
        const bool bof = target->Bof();
        const bool eof = target->Eof();
        const bool editing = target->State() == dataset::DataSetState::Edit ||
                             target->State() == dataset::DataSetState::Insert;
        auto set = [&enabled](NavigateButton which, bool on) {
            enabled[static_cast<int>(which)] = on;
        };
        set(NavigateButton::First, !bof);
        set(NavigateButton::Prior, !bof);
        set(NavigateButton::Next, !eof);
        set(NavigateButton::Last, !eof);
        set(NavigateButton::Insert, canModify);
        set(NavigateButton::Delete, canModify && !(bof && eof));
        set(NavigateButton::Edit, canModify && !editing);
        set(NavigateButton::Post, canModify && editing);
        set(NavigateButton::Cancel, canModify && editing);
        set(NavigateButton::Refresh, true);
    }
    for (int i = 0; i < kButtonCount; ++i)
        buttons_[i]->setEnabled(enabled[i]);
}

QImage DBNavigator::glyphBitmap(NavigateButton which) {
    const int width = glyphWidth(which);
    QImage bitmap(2 * width, kGlyphHeight, QImage::Format_ARGB32);
    bitmap.fill(Qt::transparent);
    QPainter painter(&bitmap);
    painter.setRenderHint(QPainter::Antialiasing, false);
    drawGlyph(painter, which, Qt::black);
    // The disabled picture: a white shape one pixel down and right under a
    // grey one, so that it looks pressed into the button.
    painter.translate(width + 1, 1);
    drawGlyph(painter, which, Qt::white);
    painter.translate(-1, -1);
    drawGlyph(painter, which, QColor(128, 128, 128));
    painter.end();
    return bitmap;
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

void DBNavigator::changeEvent(QEvent* event) {
    QWidget::changeEvent(event);
    if (event->type() == QEvent::EnabledChange)
        updateButtons();
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
