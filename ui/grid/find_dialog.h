#pragma once
// The data grid's find dialog: gathers a search text, a column or all
// columns, a matching mode and a direction, and calls the grid's locate
// operation once per "Find next". One dialog serves the whole program; it is
// created on first use and kept, so its settings and its list of earlier
// search texts last between openings.

#include "ui/grid/find_target.h"

#include <QDialog>
#include <QPointer>
#include <QString>

class QCheckBox;
class QComboBox;
class QLabel;
class QPushButton;

namespace ui {

class FindDialog : public QDialog {
    Q_OBJECT
public:
    // The program's one dialog, created hidden the first time it is asked for.
    static FindDialog& instance();

    // Opens the dialog on a grid with a search text and a column (empty: the
    // grid's current column). A modal dialog returns its result when it closes;
    // otherwise it stays on top and returns at once.
    int openFor(FindTarget& grid, const QString& text, const QString& fieldName, bool modal);

    // One search, as a click on "Find next" makes it. reverse (Ctrl held down)
    // turns the chosen direction round. Returns whether a match was found.
    bool findNext(bool reverse);

    // True until a search succeeds; set again by a change of the search text,
    // the direction or the column choice.
    bool isFirstTry() const { return firstTry_; }

    // The grid that opened the dialog last, or nullptr once it is gone.
    FindTarget* grid() const { return grid_; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void done(int result) override;

private:
    FindDialog();

    void buildControls();
    void fillFindIn(const FindTarget& grid, const QString& fieldName);
    void findInChanged(int index);
    void rememberSearchText(const QString& text);
    void centreOnScreen();

    // The dialog's components keep the names they are known by.
    // NOLINTBEGIN(readability-identifier-naming)
    QLabel* Label1;
    QComboBox* cbText;
    QLabel* Label2;
    QComboBox* cbFindIn;
    QLabel* cbMatchType;
    QComboBox* cbMatchinType;
    QLabel* Label3;
    QComboBox* cbFindDirection;
    QCheckBox* cbCharCase;
    QCheckBox* cbUseFormat;
    QPushButton* bFind;
    QPushButton* bCancel;
    // NOLINTEND(readability-identifier-naming)

    FindTarget* grid_ = nullptr;
    QPointer<QWidget> gridWidget_;
    bool firstTry_ = true;
};

} // namespace ui
