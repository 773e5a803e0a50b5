#pragma once
// A drop-down list that offers the rows of a list data set by the text of
// its list field and holds one value, the chosen key. Typing searches the
// names by their beginning; Up and Down step through the rows; the drop-down
// shows up to seven rows, as wide as the control. Choosing a key also makes
// its row the list data set's current row.

#include "dataset/client/data_source.h"
#include "dataset/client/field.h"

#include <QComboBox>
#include <QElapsedTimer>
#include <QRect>
#include <QString>

#include <functional>
#include <string>
#include <vector>

namespace dataset {
class ClientDataSet;
}

namespace ui {

class DBLookupComboBox : public QComboBox, private dataset::DataSourceObserver {
    Q_OBJECT
public:
    static constexpr int kSearchTimeoutMs = 2000;
    static constexpr int kMaxSearchLength = 32;
    static constexpr int kDropDownRows = 7;

    // Milliseconds from any fixed start; the search compares two of them.
    using TickSource = std::function<qint64()>;
    // Runs a choice that may reach the data set; see DBNavigator.
    using ActionGuard = std::function<void(const std::function<void()>& action)>;

    explicit DBLookupComboBox(QWidget* parent = nullptr);
    ~DBLookupComboBox() override;

    dataset::DataSource* ListSource() const { return source_; }
    void setListSource(dataset::DataSource* source);
    void setKeyField(std::string fieldName);
    void setListField(std::string fieldName);

    // The chosen key; null (monostate) while none is chosen.
    const dataset::Value& KeyValue() const { return key_; }
    void setKeyValue(const dataset::Value& key);

    // The list field's text in the row of the chosen key; empty while none is
    // chosen or the key is not in the list.
    QString text() const { return currentText(); }

    void setTickSource(TickSource ticks) { ticks_ = std::move(ticks); }
    void setActionGuard(ActionGuard guard) { guard_ = std::move(guard); }

    void showPopup() override;

    // Where the drop-down goes: under the control and as wide as it, or above
    // it when it would not fit on the screen below.
    static QRect dropDownGeometry(const QRect& control, int height, const QRect& screen);

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void dataSetOpened(dataset::DataSource&) override { reload(); }
    void dataSetClosed(dataset::DataSource&) override { reload(); }
    void dataChanged(dataset::DataSource&) override { reload(); }
    void dataSourceDetached(dataset::DataSource&) override;

    dataset::ClientDataSet* listDataSet() const;
    bool listOpen() const;
    // Rebuilds the rows from the list data set, keeping the chosen key.
    void reload();
    int rowOfKey() const;
    void chooseRow(int row);
    void guarded(const std::function<void()>& action);
    void searchCharacter(const QString& character);

    dataset::DataSource* source_ = nullptr;
    std::string keyField_;
    std::string listField_;
    dataset::Value key_;
    std::vector<dataset::Value> keys_;
    QString typed_;
    qint64 lastSearchTick_ = 0;
    TickSource ticks_;
    ActionGuard guard_;
    QElapsedTimer clock_;
};

} // namespace ui
