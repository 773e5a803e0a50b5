#pragma once
// A row of buttons that move through and edit the records of a data set.
// The buttons share the navigator's width and take no focus. Until a data set
// is attached every button is disabled.

#include <QWidget>
#include <array>
#include <initializer_list>
#include <vector>

class QToolButton;

namespace ui {

enum class NavigateButton { First, Prior, Next, Last, Insert, Delete, Edit, Post, Cancel, Refresh };

class DBNavigator : public QWidget {
    Q_OBJECT
public:
    static constexpr int kButtonCount = 10;

    explicit DBNavigator(QWidget* parent = nullptr);

    // Shows these buttons, in the navigator's fixed order, and hides the rest.
    void setVisibleButtons(std::initializer_list<NavigateButton> buttons);

    QToolButton* button(NavigateButton which) const;

    // Splits the width among count buttons; the remainder pixels go one each
    // to buttons spread across the row.
    static std::vector<int> buttonWidths(int width, int count);

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    void layoutButtons();

    std::array<QToolButton*, kButtonCount> buttons_{};
};

} // namespace ui
