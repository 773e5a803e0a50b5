#pragma once
// Carries out a step on the window the way a user does it: clicks, keys and
// typing, and an answer for every box or dialog that comes up meanwhile.

#include "app/tfcontavtascontado.h"
#include "sequence/step.h"
#include "ui/grid/db_grid_p.h"
#include "ui/widgets/caption_panel.h"
#include "ui/widgets/date_time_picker.h"
#include "ui/widgets/db_lookup_combo_box.h"
#include "ui/widgets/db_navigator.h"

#include <QAbstractButton>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDialog>
#include <QLineEdit>
#include <QMessageBox>
#include <QTest>
#include <QTimer>
#include <QToolButton>

#include <functional>

namespace sequence {

class UserInput {
public:
    // Texts of the boxes that came up during the step, critical ones apart.
    QStringList boxTexts;
    QStringList criticalBoxTexts;
    // A box or dialog that did not go away however it was answered.
    bool stuck = false;
    // The grid row the step clicked, -1 when none.
    int clickedRow = -1;

    void perform(app::Tfcontavtascontado& window, const Step& step, const QDate& today) {
        boxTexts.clear();
        criticalBoxTexts.clear();
        stuck = false;
        clickedRow = -1;
        answers_ = 0;
        step_ = step;
        QTimer answerer;
        answerer.setInterval(2);
        QObject::connect(&answerer, &QTimer::timeout, [this] { answerBox(); });
        answerer.start();
        QPointer<app::Tfcontavtascontado> w(&window);
        activate(window);
        act(w, step, today);
        // A dialog left open by the step (the find dialog is modeless) is
        // answered before the next step.
        for (int round = 0; round < 50 && openDialog(); ++round)
            QTest::qWait(2);
        answerer.stop();
        if (openDialog())
            stuck = true;
    }

private:
    // A closed box gives the activation back to the window, as the desktop
    // does; the offscreen platform leaves that to the test.
    static void activate(app::Tfcontavtascontado& window) {
        if (QApplication::activeWindow() == &window)
            return;
        window.activateWindow();
        if (!QTest::qWaitForWindowActive(&window))
            qWarning("the window did not become active again");
    }

    static QWidget* openDialog() {
        if (QWidget* modal = QApplication::activeModalWidget())
            return modal;
        for (QWidget* top : QApplication::topLevelWidgets())
            if (qobject_cast<QDialog*>(top) && top->isVisible())
                return top;
        return nullptr;
    }

    // Answers the box or dialog that is up, as the step says.
    void answerBox() {
        QWidget* dialog = openDialog();
        if (!dialog)
            return;
        if (++answers_ > 200) {
            dialog->hide();
            stuck = true;
            return;
        }
        if (auto* box = qobject_cast<QMessageBox*>(dialog)) {
            (box->icon() == QMessageBox::Critical ? criticalBoxTexts : boxTexts) << box->text();
            const QList<QAbstractButton*> buttons = box->buttons();
            if (step_.answer == 3 || buttons.isEmpty() || answers_ > 20)
                QTest::keyClick(box, Qt::Key_Escape);
            else
                QTest::mouseClick(buttons[step_.answer % buttons.size()], Qt::LeftButton);
            return;
        }
        // The find dialog: type the text and look for it, then close it.
        QWidget* focus = dialog->focusWidget() ? dialog->focusWidget() : dialog;
        if (answers_ == 1 && step_.answer != 3) {
            QTest::keyClicks(focus, step_.text);
            QTest::keyClick(focus, Qt::Key_Return);
        } else {
            QTest::keyClick(focus, Qt::Key_Escape);
        }
    }

    // The key goes to the control with the focus, or to the window.
    static void press(app::Tfcontavtascontado& w, Qt::Key key,
                      Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
        QWidget* focus = QApplication::focusWidget();
        QTest::keyClick(focus ? focus : &w, key, modifiers);
    }

    static void typeText(app::Tfcontavtascontado& w, const QString& text) {
        for (const QChar c : text) {
            QWidget* focus = QApplication::focusWidget();
            QTest::keyClicks(focus ? focus : &w, QString(c));
        }
    }

    static void click(QWidget* widget, QPoint at = {}) {
        if (!widget->isVisible() || !widget->isEnabled())
            return;
        QTest::mouseClick(widget, Qt::LeftButton, Qt::NoModifier,
                          at.isNull() ? widget->rect().center() : at);
    }

    // Clicks the part of a cell that shows; false when none does.
    bool clickCell(ui::DBGrid* grid, int row, int column) {
        if (!grid->isVisible() || grid->rowCount() == 0)
            return false;
        row = std::min(row, grid->rowCount() - 1);
        QRect shown = grid->viewport()->rect();
        shown.setLeft(ui::DBGrid::kIndicatorWidth + 1);
        const QRect cell = grid->cellRect(row, column).intersected(shown);
        if (cell.isEmpty())
            return false;
        click(grid->viewport(), cell.center());
        clickedRow = row;
        return true;
    }

    static bool onCell(ui::DBGrid* grid, int row, int column) {
        return grid->currentRow() == row && grid->currentColumn() == column;
    }

    // The grid gets the focus by a click on its current cell.
    bool focusGrid(ui::DBGrid* grid) {
        if (!grid->isVisible())
            return false;
        auto focused = [grid] {
            return grid->isAncestorOf(QApplication::focusWidget()) ||
                   QApplication::focusWidget() == grid;
        };
        // An empty grid takes the focus from a click anywhere in it.
        if (!focused() && !clickCell(grid, std::max(grid->currentRow(), 0), grid->currentColumn()))
            click(grid->viewport(), QPoint(ui::DBGrid::kIndicatorWidth + 8, 8));
        // Keys meant for the grid go nowhere else.
        return focused();
    }

    void act(QPointer<app::Tfcontavtascontado>& w, const Step& step, const QDate& today) {
        app::Tfcontavtascontado& window = *w;
        switch (step.action) {
        case Action::SignIn:
            if (window.Tusua->text().isEmpty()) {
                click(window.Tusua);
                typeText(window, QStringLiteral("SYSDBA"));
                click(window.TClave);
                typeText(window, QStringLiteral("masterkey"));
            }
            click(window.Cia);
            QTest::keyClick(window.Cia, Qt::Key_A, Qt::ControlModifier);
            typeText(window, step.a == 0 ? QStringLiteral("001") : QStringLiteral("002"));
            if (step.b == 0)
                press(window, Qt::Key_Tab);
            else if (step.b == 1)
                click(window.Tusua);
            else
                press(window, Qt::Key_Backtab, Qt::ShiftModifier);
            break;
        case Action::ChooseDate: {
            if (!window.EFecIni->isEnabled())
                break;
            click(window.EFecIni, QPoint(4, window.EFecIni->height() / 2));
            const QDate day = today.addDays(step.a);
            // Year, month and day, each with the arrow keys in its section.
            for (const QChar section : {QChar('y'), QChar('M'), QChar('d')}) {
                const QDate shown = window.EFecIni->date();
                const int delta = section == 'y'   ? day.year() - shown.year()
                                  : section == 'M' ? day.month() - shown.month()
                                                   : day.day() - shown.day();
                QTest::keyClick(window.EFecIni, Qt::Key_Home);
                const int at = window.EFecIni->QDateEdit::displayFormat().indexOf(section);
                for (int i = 0; i < at; ++i)
                    QTest::keyClick(window.EFecIni, Qt::Key_Right);
                for (int i = 0; i < std::abs(delta); ++i)
                    QTest::keyClick(window.EFecIni, delta > 0 ? Qt::Key_Up : Qt::Key_Down);
            }
            break;
        }
        case Action::ChoosePoint: {
            if (!window.Pto->isEnabled() || window.Pto->count() == 0)
                break;
            // A click gives the list the focus (closing the drop-down it may
            // open); the arrow keys walk the points, the first Down picks one.
            click(window.Pto);
            QCoreApplication::processEvents();
            for (int tries = 0; tries < 3 && QApplication::activePopupWidget(); ++tries)
                QTest::keyClick(QApplication::activePopupWidget(), Qt::Key_Escape);
            if (QApplication::focusWidget() != window.Pto)
                break;
            const int wanted = std::min(step.a, window.Pto->count() - 1);
            while (window.Pto->currentIndex() > wanted)
                QTest::keyClick(window.Pto, Qt::Key_Up);
            for (int i = 0; i < window.Pto->count() && window.Pto->currentIndex() < wanted; ++i)
                QTest::keyClick(window.Pto, Qt::Key_Down);
            break;
        }
        case Action::ToggleNiif:
            click(window.ckniif);
            break;
        case Action::F5:
            press(window, Qt::Key_F5);
            break;
        case Action::F2:
            press(window, Qt::Key_F2);
            break;
        case Action::Esc:
            press(window, Qt::Key_Escape);
            break;
        case Action::TypeRate:
            if (!window.DBGrid2->isVisible())
                break;
            // The user types only once the clicked cell is the current one,
            // clicking again when the grid moved under the first click.
            if (!clickCell(window.DBGrid2, step.a, step.b) ||
                (!onCell(window.DBGrid2, clickedRow, step.b) &&
                 (!clickCell(window.DBGrid2, step.a, step.b) ||
                  !onCell(window.DBGrid2, clickedRow, step.b)))) {
                clickedRow = -1;
                break;
            }
            // Text already in the cell is replaced, not added to.
            if (window.DBGrid2->editorShown())
                press(window, Qt::Key_A, Qt::ControlModifier);
            typeText(window, step.text);
            if (step.enter && w)
                press(window, Qt::Key_Return);
            break;
        case Action::GridKey: {
            if (!focusGrid(window.DBGrid2))
                break;
            static const std::pair<Qt::Key, Qt::KeyboardModifiers> keys[] = {
                {Qt::Key_Up, Qt::NoModifier},        {Qt::Key_Down, Qt::NoModifier},
                {Qt::Key_PageUp, Qt::NoModifier},    {Qt::Key_PageDown, Qt::NoModifier},
                {Qt::Key_Home, Qt::ControlModifier}, {Qt::Key_End, Qt::ControlModifier},
                {Qt::Key_Insert, Qt::NoModifier},    {Qt::Key_Delete, Qt::ControlModifier},
                {Qt::Key_Return, Qt::NoModifier},    {Qt::Key_Escape, Qt::NoModifier},
                {Qt::Key_Tab, Qt::NoModifier}};
            press(window, keys[step.a].first, keys[step.a].second);
            break;
        }
        case Action::GridClick:
            clickCell(window.DBGrid2, step.a, step.b);
            break;
        case Action::Navigator: {
            static const ui::NavigateButton buttons[] = {
                ui::NavigateButton::First, ui::NavigateButton::Prior,  ui::NavigateButton::Next,
                ui::NavigateButton::Last,  ui::NavigateButton::Insert, ui::NavigateButton::Delete,
                ui::NavigateButton::Cancel};
            if (window.CaptionPanel1->isVisible())
                click(window.DBNavigator1->button(buttons[step.a]));
            break;
        }
        case Action::Search:
            if (!focusGrid(window.DBGrid2))
                break;
            // The user finishes the cell before searching.
            if (window.DBGrid2->editorShown())
                press(window, Qt::Key_Return);
            press(window, Qt::Key_F, Qt::ControlModifier);
            typeText(window, step.text);
            // Enter ends the search (and moves on a column, as Enter does).
            if (w && ui::DBGridPrivate::get(*window.DBGrid2).search.searching())
                press(window, Qt::Key_Return);
            break;
        case Action::Find:
            if (!focusGrid(window.DBGrid2))
                break;
            if (window.DBGrid2->editorShown())
                press(window, Qt::Key_Return);
            press(window, Qt::Key_F, Qt::ControlModifier);
            if (w)
                press(window, Qt::Key_F, Qt::ControlModifier);
            if (w && ui::DBGridPrivate::get(*window.DBGrid2).search.searching())
                press(window, Qt::Key_Return);
            break;
        }
    }

    Step step_;
    int answers_ = 0;
};

} // namespace sequence
