#pragma once
// A row of buttons that move through and edit the records of the data set
// behind a data source. The buttons share the navigator's width, take no
// focus and follow the data set: a button is enabled only when its action
// can do something. Prior and Next repeat while held down.

#include "dataset/client/data_source.h"

#include <QImage>
#include <QString>
#include <QWidget>

#include <array>
#include <functional>
#include <initializer_list>
#include <vector>

class QToolButton;

namespace dataset {
class ClientDataSet;
}

namespace ui {

enum class NavigateButton { First, Prior, Next, Last, Insert, Delete, Edit, Post, Cancel, Refresh };

class DBNavigator : public QWidget, private dataset::DataSourceObserver {
    Q_OBJECT
public:
    static constexpr int kButtonCount = 10;
    static constexpr const char* kDeleteQuestion = "Delete record?";
    static constexpr const char* kConfirmTitle = "Confirm";
    static constexpr int kRepeatDelayMs = 400;
    static constexpr int kRepeatIntervalMs = 100;

    // Runs a button's action; the window hands its error handler in here so
    // that a failing action is shown like any failed handler.
    using ActionGuard = std::function<void(const std::function<void()>& action)>;

    explicit DBNavigator(QWidget* parent = nullptr);
    ~DBNavigator() override;

    dataset::DataSource* DataSource() const { return source_; }
    void setDataSource(dataset::DataSource* source);

    void setActionGuard(ActionGuard guard) { guard_ = std::move(guard); }

    // Shows these buttons, in the navigator's fixed order, and hides the rest.
    void setVisibleButtons(std::initializer_list<NavigateButton> buttons);

    QToolButton* button(NavigateButton which) const;

    // What a click on the button does, confirmation included.
    void BtnClick(NavigateButton which);

    // Splits the width among count buttons; the remainder pixels go one each
    // to buttons spread across the row.
    static std::vector<int> buttonWidths(int width, int count);

    // A button's glyph: the enabled picture on the left, the disabled one
    // (embossed in grey and white) on the right.
    static QImage glyphBitmap(NavigateButton which);

    // The text that would be a button's hint; the window shows no hints, so
    // it serves as the button's accessible name.
    static QString hintText(NavigateButton which);

protected:
    void resizeEvent(QResizeEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    void dataSetOpened(dataset::DataSource&) override { updateButtons(); }
    void dataSetClosed(dataset::DataSource&) override { updateButtons(); }
    void currentRowChanged(dataset::DataSource&) override { updateButtons(); }
    void stateChanged(dataset::DataSource&) override { updateButtons(); }
    void dataChanged(dataset::DataSource&) override { updateButtons(); }
    void dataSourceDetached(dataset::DataSource&) override;

    dataset::ClientDataSet* dataSet() const;
    bool confirmDelete();
    void updateButtons();
    void layoutButtons();

    std::array<QToolButton*, kButtonCount> buttons_{};
    dataset::DataSource* source_ = nullptr;
    ActionGuard guard_;
};

} // namespace ui
