#include "ui/widgets/flat_frame.h"

#include <QAbstractItemView>
#include <QComboBox>
#include <QLineEdit>
#include <QStyledItemDelegate>

namespace ui {

namespace {

// Added to what the control's own style sheet already says.
void addStyleSheet(QWidget* widget, const QString& sheet) {
    widget->setStyleSheet(widget->styleSheet() + QLatin1Char('\n') + sheet);
}

// Items drawn as usual, each of a fixed height.
class FixedHeightDelegate : public QStyledItemDelegate {
public:
    FixedHeightDelegate(int height, QObject* parent)
        : QStyledItemDelegate(parent), height_(height) {}

    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override {
        return {QStyledItemDelegate::sizeHint(option, index).width(), height_};
    }

private:
    int height_;
};

} // namespace

void setFlatFrame(QLineEdit* edit) {
    addStyleSheet(edit, QStringLiteral("QLineEdit { border: 1px solid palette(window-text); "
                                       "background: palette(base); padding: 0px 1px; }"));
}

void setFlatFrame(QComboBox* list, int itemHeight) {
    addStyleSheet(list, QStringLiteral("QComboBox { border: 1px solid palette(window-text); "
                                       "background: palette(base); padding: 0px 2px; }"));
    list->setItemDelegate(new FixedHeightDelegate(itemHeight, list));
}

} // namespace ui
