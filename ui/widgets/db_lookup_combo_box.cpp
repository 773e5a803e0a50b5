#include "ui/widgets/db_lookup_combo_box.h"

#include "dataset/client/client_data_set.h"
#include "dataset/engine/field_type.h"

#include <QAbstractItemView>
#include <QKeyEvent>
#include <QScreen>
#include <QWheelEvent>

#include <algorithm>
#include <type_traits>
#include <variant>

namespace ui {

namespace {

// Keys compare by kind and value; decimals by their text.
bool sameKey(const dataset::Value& a, const dataset::Value& b) {
    if (a.index() != b.index())
        return false;
    if (const auto* decimal = std::get_if<db::Bcd>(&a))
        return decimal->toString() == std::get<db::Bcd>(b).toString();
    return std::visit(
        [&b](const auto& value) {
            using Kind = std::decay_t<decltype(value)>;
            if constexpr (std::is_same_v<Kind, db::Bcd>) {
                return false;
            } else {
                return value == std::get<Kind>(b);
            }
        },
        a);
}

} // namespace

DBLookupComboBox::DBLookupComboBox(QWidget* parent) : QComboBox(parent) {
    setEditable(false);
    setFocusPolicy(Qt::StrongFocus);
    setMaxVisibleItems(kDropDownRows);
    // A plain list under the control in every style, never a menu laid over
    // it, so that the row limit holds.
    setStyleSheet(QStringLiteral("QComboBox { combobox-popup: 0; }"));
    view()->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    view()->setTextElideMode(Qt::ElideRight);
    view()->installEventFilter(this);
    clock_.start();
    ticks_ = [this] { return clock_.elapsed(); };
    connect(this, &QComboBox::activated, this, [this](int row) { chooseRow(row); });
}

DBLookupComboBox::~DBLookupComboBox() {
    dataset::DataSource::watch(source_, nullptr, this);
}

void DBLookupComboBox::setListSource(dataset::DataSource* source) {
    if (dataset::DataSource::watch(source_, source, this))
        reload();
}

void DBLookupComboBox::setKeyField(std::string fieldName) {
    keyField_ = std::move(fieldName);
    reload();
}

void DBLookupComboBox::setListField(std::string fieldName) {
    listField_ = std::move(fieldName);
    reload();
}

void DBLookupComboBox::dataSourceDetached(dataset::DataSource&) {
    source_ = nullptr;
    reload();
}

dataset::ClientDataSet* DBLookupComboBox::listDataSet() const {
    return source_ && source_->Enabled() ? source_->DataSet() : nullptr;
}

bool DBLookupComboBox::listOpen() const {
    const dataset::ClientDataSet* list = listDataSet();
    return list && list->Active() && list->FindField(keyField_) && list->FindField(listField_);
}

void DBLookupComboBox::reload() {
    const QSignalBlocker quiet(this);
    clear();
    keys_.clear();
    if (listOpen()) {
        const dataset::ClientDataSet& list = *listDataSet();
        const int keyIndex = list.FindField(keyField_)->Index();
        const int listIndex = list.FindField(listField_)->Index();
        const int rowCount = list.RecordCount();
        for (int row = 0; row < rowCount; ++row) {
            keys_.push_back(list.valueAt(row, keyIndex));
            addItem(QString::fromStdString(list.displayTextAt(row, listIndex)));
        }
    }
    // A chosen key missing from the new list stays chosen, with no text.
    setCurrentIndex(rowOfKey());
}

int DBLookupComboBox::rowOfKey() const {
    if (std::holds_alternative<std::monostate>(key_))
        return -1;
    for (std::size_t row = 0; row < keys_.size(); ++row) {
        if (sameKey(keys_[row], key_))
            return static_cast<int>(row);
    }
    return -1;
}

void DBLookupComboBox::setKeyValue(const dataset::Value& key) {
    key_ = key;
    const int row = rowOfKey();
    setCurrentIndex(row);
    dataset::ClientDataSet* list = listDataSet();
    if (row >= 0 && list && list->Active())
        list->Locate(keyField_, key_);
}

void DBLookupComboBox::chooseRow(int row) {
    if (row < 0 || row >= static_cast<int>(keys_.size()))
        return;
    const dataset::Value key = keys_[static_cast<std::size_t>(row)];
    guarded([this, key] { setKeyValue(key); });
}

void DBLookupComboBox::guarded(const std::function<void()>& action) {
    if (guard_) {
        guard_(action);
    } else {
        action();
    }
}

void DBLookupComboBox::keyPressEvent(QKeyEvent* event) {
    const bool alt = event->modifiers() & Qt::AltModifier;
    switch (event->key()) {
    case Qt::Key_Up:
    case Qt::Key_Down: {
        if (alt) {
            showPopup();
            return;
        }
        if (keys_.empty())
            return;
        const int row = rowOfKey();
        const int last = static_cast<int>(keys_.size()) - 1;
        if (row < 0) {
            chooseRow(0);
        } else {
            chooseRow(std::clamp(event->key() == Qt::Key_Up ? row - 1 : row + 1, 0, last));
        }
        return;
    }
    case Qt::Key_Backspace:
        typed_.clear();
        return;
    case Qt::Key_F4:
        showPopup();
        return;
    default:
        break;
    }
    const QString character = event->text();
    if (character.size() == 1 && character.at(0).isPrint() &&
        !(event->modifiers() & (Qt::ControlModifier | Qt::AltModifier))) {
        searchCharacter(character);
        return;
    }
    // Enter, Esc, Tab and the rest belong to the window.
    event->ignore();
}

void DBLookupComboBox::searchCharacter(const QString& character) {
    const dataset::ClientDataSet* list = listDataSet();
    if (!listOpen() || !dataset::isStringType(list->FindField(listField_)->DataType()))
        return;
    const qint64 now = ticks_();
    if (now - lastSearchTick_ > kSearchTimeoutMs)
        typed_.clear();
    lastSearchTick_ = now;
    if (typed_.size() >= kMaxSearchLength)
        return;
    const QString wanted = typed_ + character;
    for (int row = 0; row < count(); ++row) {
        if (itemText(row).startsWith(wanted, Qt::CaseInsensitive)) {
            chooseRow(row);
            typed_ = wanted;
            return;
        }
    }
}

void DBLookupComboBox::wheelEvent(QWheelEvent* event) {
    // The wheel does not change the choice.
    event->ignore();
}

bool DBLookupComboBox::eventFilter(QObject* watched, QEvent* event) {
    if (watched == view() && event->type() == QEvent::KeyPress) {
        const auto* key = static_cast<QKeyEvent*>(event);
        if ((key->key() == Qt::Key_Up || key->key() == Qt::Key_Down) &&
            (key->modifiers() & Qt::AltModifier)) {
            hidePopup();
            return true;
        }
    }
    return QComboBox::eventFilter(watched, event);
}

void DBLookupComboBox::showPopup() {
    if (count() == 0)
        return;
    QComboBox::showPopup();
    QWidget* popup = view()->window();
    if (popup == window())
        return;
    const int rows = std::min(count(), kDropDownRows);
    const int viewHeight = rows * view()->sizeHintForRow(0) + 2 * view()->frameWidth();
    const int height = popup->height() - view()->height() + viewHeight;
    const QRect control(mapToGlobal(QPoint(0, 0)), size());
    const QRect screenRect = screen() ? screen()->availableGeometry() : QRect();
    popup->setGeometry(dropDownGeometry(control, height, screenRect));
}

QRect DBLookupComboBox::dropDownGeometry(const QRect& control, int height, const QRect& screen) {
    const QRect below(control.left(), control.bottom() + 1, control.width(), height);
    if (screen.isNull() || below.bottom() <= screen.bottom())
        return below;
    return {control.left(), control.top() - height, control.width(), height};
}

} // namespace ui
