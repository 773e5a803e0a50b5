// The grid find dialog driven as a user drives it, over a stand-in grid.

#include "tests/ui/grid/fake_find_target.h"
#include "ui/grid/find_dialog.h"
#include "ui/widgets/popup_size_grip.h"
#include "ui/widgets/resizable_combo_box.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScreen>
#include <QScrollBar>
#include <QTest>
#include <QTimer>

using ui::FindDialog;
using ui::LocateDirection;
using ui::LocateMatch;
using ui::LocateOption;
using ui::LocateOptions;

Q_DECLARE_METATYPE(ui::LocateDirection)
Q_DECLARE_METATYPE(ui::LocateMatch)
Q_DECLARE_METATYPE(ui::LocateOptions)

class TestFindDialog : public QObject {
    Q_OBJECT

    FindDialog& dialog() { return FindDialog::instance(); }
    template <typename T> T* child(const char* name) {
        T* widget = dialog().findChild<T*>(QString::fromLatin1(name));
        if (widget == nullptr)
            qFatal("no control %s", name);
        return widget;
    }
    QComboBox* combo(const char* name) { return child<QComboBox>(name); }
    QCheckBox* check(const char* name) { return child<QCheckBox>(name); }
    QPushButton* button(const char* name) { return child<QPushButton>(name); }

    FakeFindTarget* grid_ = nullptr;

    // Opens the dialog without a modal loop, as the grid would, and waits for it.
    void openOnGrid() {
        dialog().openFor(*grid_, QString(), QString(), false);
        QVERIFY(QTest::qWaitForWindowActive(&dialog()));
    }
    void type(const QString& text) {
        combo("cbText")->lineEdit()->selectAll();
        QTest::keyClicks(combo("cbText"), text);
    }
    // Presses at `from`, moves by `by` with the button held, lets go.
    static void dragGrip(QWidget* grip, QPoint from, QPoint by) {
        QTest::mousePress(grip, Qt::LeftButton, {}, from);
        QMouseEvent move(QEvent::MouseMove, QPointF(from + by),
                         QPointF(grip->mapToGlobal(from + by)), Qt::NoButton, Qt::LeftButton,
                         Qt::NoModifier);
        QApplication::sendEvent(grip, &move);
        QTest::mouseRelease(grip, Qt::LeftButton, {}, from + by);
    }
    QStringList history() {
        QStringList texts;
        for (int i = 0; i < combo("cbText")->count(); ++i)
            texts << combo("cbText")->itemText(i);
        return texts;
    }

private slots:
    void init() {
        grid_ = new FakeFindTarget;
        grid_->resize(200, 100);
        grid_->show();
        QVERIFY(QTest::qWaitForWindowExposed(grid_));
    }

    void cleanup() {
        dialog().hide();
        delete grid_;
        grid_ = nullptr;
    }

    // Runs first: the settings of a dialog that has never been opened.
    void firstOpeningShowsTheStoredSettings() {
        grid_->current = 1;
        openOnGrid();
        QCOMPARE(dialog().windowTitle(), QString("Find text"));
        QCOMPARE(dialog().size(), QSize(505, 124));
        QCOMPARE(dialog().font().pixelSize(), 10);
        QVERIFY(!dialog().windowFlags().testFlag(Qt::WindowMinimizeButtonHint));
        QVERIFY(!dialog().windowFlags().testFlag(Qt::WindowMaximizeButtonHint));
        QCOMPARE(combo("cbText")->currentText(), QString());
        QCOMPARE(combo("cbText")->count(), 0);
        QCOMPARE(combo("cbText")->maxVisibleItems(), 17);
        QCOMPARE(combo("cbFindIn")->currentText(), QString("Valor"));
        QCOMPARE(combo("cbMatchinType")->currentText(), QString("From any part of field"));
        QCOMPARE(combo("cbFindDirection")->currentText(), QString("All"));
        QVERIFY(!check("cbCharCase")->isChecked());
        QVERIFY(check("cbUseFormat")->isChecked());
        QCOMPARE(QApplication::focusWidget(), combo("cbText"));
        QVERIFY(dialog().isFirstTry());
        const QRect screen = dialog().screen()->availableGeometry();
        // Centred on the screen, give or take the window frame.
        const QPoint offCentre = dialog().frameGeometry().center() - screen.center();
        QVERIFY2(offCentre.manhattanLength() <= 6,
                 qPrintable(QString("%1, %2").arg(offCentre.x()).arg(offCentre.y())));
    }

    void controls_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QRect>("bounds");
        QTest::addColumn<QString>("caption");
        QTest::addColumn<QStringList>("items");
        const QStringList none;
        QTest::newRow("Label1") << "Label1" << QRect(10, 12, -1, -1) << "Fi<u>n</u>d What:" << none;
        QTest::newRow("cbText") << "cbText" << QRect(88, 9, 316, 21) << "" << none;
        QTest::newRow("Label2") << "Label2" << QRect(10, 35, -1, -1) << "Find <u>i</u>n:" << none;
        QTest::newRow("cbFindIn") << "cbFindIn" << QRect(88, 32, 192, 21) << ""
                                  << QStringList{"Descripción", "Valor", "INTERFAZ", "<All>"};
        QTest::newRow("cbMatchType")
            << "cbMatchType" << QRect(10, 58, -1, -1) << "Matc<u>h</u>:" << none;
        QTest::newRow("cbMatchinType")
            << "cbMatchinType" << QRect(88, 55, 144, 21) << ""
            << QStringList{"From any part of field", "Whole field", "From beging of field"};
        QTest::newRow("Label3") << "Label3" << QRect(10, 82, -1, -1) << "Sea<u>r</u>ch:" << none;
        QTest::newRow("cbFindDirection") << "cbFindDirection" << QRect(88, 79, 144, 21) << ""
                                         << QStringList{"Up", "Down", "All"};
        QTest::newRow("cbCharCase")
            << "cbCharCase" << QRect(88, 105, 144, 14) << "Match &Case" << none;
        QTest::newRow("cbUseFormat")
            << "cbUseFormat" << QRect(260, 105, 144, 14) << "Match F&ormat" << none;
        QTest::newRow("bFind") << "bFind" << QRect(413, 9, 82, 23) << "&Find next" << none;
        QTest::newRow("bCancel") << "bCancel" << QRect(413, 37, 82, 22) << "Close" << none;
    }

    void controls() {
        QFETCH(QString, name);
        QFETCH(QRect, bounds);
        QFETCH(QString, caption);
        QFETCH(QStringList, items);
        openOnGrid();
        auto* widget = dialog().findChild<QWidget*>(name);
        QVERIFY(widget);
        if (bounds.width() < 0)
            QCOMPARE(widget->pos(), bounds.topLeft());
        else
            QCOMPARE(widget->geometry(), bounds);
        if (auto* label = qobject_cast<QLabel*>(widget)) {
            QCOMPARE(label->text(), caption);
            QVERIFY(!label->buddy());
        }
        if (auto* pressable = qobject_cast<QAbstractButton*>(widget))
            QCOMPARE(pressable->text(), caption);
        if (auto* list = qobject_cast<QComboBox*>(widget)) {
            QCOMPARE(list->isEditable(), name == "cbText");
            QStringList texts;
            for (int i = 0; i < list->count(); ++i)
                texts << list->itemText(i);
            if (name != "cbText")
                QCOMPARE(texts, items);
        }
    }

    void tabOrderRunsThroughTheControls() {
        openOnGrid();
        QStringList order{QApplication::focusWidget()->objectName()};
        for (int i = 0; i < 8; ++i) {
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
            order << QApplication::focusWidget()->objectName();
        }
        QCOMPARE(order, QStringList({"cbText", "cbFindIn", "cbMatchinType", "cbFindDirection",
                                     "cbCharCase", "cbUseFormat", "bFind", "bCancel", "cbText"}));
    }

    void findInFollowsTheCurrentColumn_data() {
        QTest::addColumn<int>("current");
        QTest::addColumn<QString>("secondTitle");
        QTest::addColumn<int>("chosen");
        QTest::newRow("first column") << 0 << "Valor" << 0;
        QTest::newRow("last column") << 2 << "Valor" << 2;
        QTest::newRow("no current column: <All>") << -1 << "Valor" << 3;
        QTest::newRow("same title twice: the first entry") << 1 << "Descripción" << 0;
    }

    void findInFollowsTheCurrentColumn() {
        QFETCH(int, current);
        QFETCH(QString, secondTitle);
        QFETCH(int, chosen);
        grid_->current = current;
        grid_->columns[1].title = secondTitle;
        openOnGrid();
        QCOMPARE(combo("cbFindIn")->currentIndex(), chosen);
        combo("cbFindIn")->setCurrentIndex(-1); // an empty choice is "<All>"
        QCOMPARE(combo("cbFindIn")->currentText(), QString("<All>"));
    }

    void controlsGiveTheLocateInputs_data() {
        QTest::addColumn<int>("findIn");
        QTest::addColumn<int>("matchType");
        QTest::addColumn<int>("direction");
        QTest::addColumn<bool>("matchCase");
        QTest::addColumn<bool>("matchFormat");
        QTest::addColumn<bool>("ctrl");
        QTest::addColumn<QString>("fieldName");
        QTest::addColumn<LocateOptions>("options");
        QTest::addColumn<LocateDirection>("locateDirection");
        QTest::addColumn<LocateMatch>("locateMatch");
        const LocateOptions plain = LocateOption::CaseInsensitive | LocateOption::MatchDisplayText;
        QTest::newRow("as first opened") << 0 << 0 << 2 << false << true << false << "ERRO_CODIGO"
                                         << plain << LocateDirection::All << LocateMatch::AnyPart;
        QTest::newRow("<All> columns")
            << 3 << 0 << 2 << false << true << false << "" << (plain | LocateOption::AllColumns)
            << LocateDirection::All << LocateMatch::AnyPart;
        QTest::newRow("whole field, up, case, plain text")
            << 1 << 1 << 0 << true << false << false << "ERRO_CADENA" << LocateOptions()
            << LocateDirection::Up << LocateMatch::WholeField;
        QTest::newRow("from the beginning, down")
            << 2 << 2 << 1 << false << false << false << "INTERFAZ"
            << LocateOptions(LocateOption::CaseInsensitive) << LocateDirection::Down
            << LocateMatch::FromBeginning;
        QTest::newRow("ctrl turns up to down")
            << 0 << 0 << 0 << false << true << true << "ERRO_CODIGO" << plain
            << LocateDirection::Down << LocateMatch::AnyPart;
        QTest::newRow("ctrl turns down to up")
            << 0 << 0 << 1 << false << true << true << "ERRO_CODIGO" << plain << LocateDirection::Up
            << LocateMatch::AnyPart;
        QTest::newRow("ctrl turns all to up")
            << 0 << 0 << 2 << false << true << true << "ERRO_CODIGO" << plain << LocateDirection::Up
            << LocateMatch::AnyPart;
    }

    void controlsGiveTheLocateInputs() {
        QFETCH(int, findIn);
        QFETCH(int, matchType);
        QFETCH(int, direction);
        QFETCH(bool, matchCase);
        QFETCH(bool, matchFormat);
        QFETCH(bool, ctrl);
        openOnGrid();
        type("alpha");
        combo("cbFindIn")->setCurrentIndex(findIn);
        combo("cbMatchinType")->setCurrentIndex(matchType);
        combo("cbFindDirection")->setCurrentIndex(direction);
        check("cbCharCase")->setChecked(matchCase);
        check("cbUseFormat")->setChecked(matchFormat);
        QTest::mouseClick(button("bFind"), Qt::LeftButton,
                          ctrl ? Qt::ControlModifier : Qt::NoModifier);
        QCOMPARE(grid_->calls.size(), 1);
        const LocateCall& call = grid_->calls.first();
        QCOMPARE(call.text, QString("alpha"));
        QTEST(call.fieldName, "fieldName");
        QTEST(call.options, "options");
        QTEST(call.direction, "locateDirection");
        QTEST(call.match, "locateMatch");
        QVERIFY(dialog().isVisible());

        // Back to the settings of the first opening for the next rows.
        combo("cbMatchinType")->setCurrentIndex(0);
        combo("cbFindDirection")->setCurrentIndex(2);
        check("cbCharCase")->setChecked(false);
        check("cbUseFormat")->setChecked(true);
    }

    void allFindsFromTheTopThenGoesOnBelow() {
        grid_->record = 3;
        openOnGrid();
        type("alpha");
        QTest::mouseClick(button("bFind"), Qt::LeftButton);
        QCOMPARE(grid_->record, 0);
        QVERIFY(!dialog().isFirstTry());
        QTest::mouseClick(button("bFind"), Qt::LeftButton);
        QCOMPARE(grid_->record, 2);
        QTest::mouseClick(button("bFind"), Qt::LeftButton);
        QCOMPARE(grid_->record, 4);
        QTest::mouseClick(button("bFind"), Qt::LeftButton); // nothing further down
        QCOMPARE(grid_->record, 4);
        QCOMPARE(grid_->calls.last().direction, LocateDirection::Down);
        QVERIFY(!dialog().isFirstTry());

        // Options that do not restart the search.
        combo("cbMatchinType")->setCurrentIndex(1);
        check("cbCharCase")->setChecked(true);
        check("cbUseFormat")->setChecked(false);
        QVERIFY(!dialog().isFirstTry());
        combo("cbMatchinType")->setCurrentIndex(0);
        check("cbCharCase")->setChecked(false);
        check("cbUseFormat")->setChecked(true);
    }

    void changesThatStartOverFromTheTop_data() {
        QTest::addColumn<QString>("change");
        QTest::newRow("search text") << "text";
        QTest::newRow("direction") << "direction";
        QTest::newRow("column") << "column";
    }

    void changesThatStartOverFromTheTop() {
        QFETCH(QString, change);
        openOnGrid();
        type("alpha");
        QTest::keyClick(combo("cbText"), Qt::Key_Return);
        QTest::keyClick(combo("cbText"), Qt::Key_Return);
        QCOMPARE(grid_->record, 2);
        if (change == "text") {
            type("alph");
        } else if (change == "direction") {
            combo("cbFindDirection")->setCurrentIndex(1);
            combo("cbFindDirection")->setCurrentIndex(2);
        } else {
            combo("cbFindIn")->setCurrentIndex(1);
        }
        QVERIFY(dialog().isFirstTry());
        QTest::keyClick(combo("cbText"), Qt::Key_Return);
        QCOMPARE(grid_->calls.last().direction, LocateDirection::All);
        QCOMPARE(grid_->record, 0);
    }

    void noMatchChangesNothingAndShowsNothing() {
        grid_->record = 1;
        openOnGrid();
        type("zeta");
        QTest::keyClick(combo("cbText"), Qt::Key_Return);
        QCOMPARE(grid_->calls.size(), 1);
        QCOMPARE(grid_->record, 1);
        QVERIFY(dialog().isFirstTry());
        QCOMPARE(QApplication::activeModalWidget(), nullptr);
        QCOMPARE(QApplication::activeWindow(), &dialog());
        QVERIFY(dialog().isVisible());
    }

    void enterAnywhereFindsNext_data() {
        QTest::addColumn<QString>("focus");
        QTest::addColumn<bool>("ctrl");
        for (const char* name : {"cbText", "cbFindIn", "cbMatchinType", "cbFindDirection",
                                 "cbCharCase", "cbUseFormat", "bFind", "bCancel"}) {
            QTest::newRow(name) << name << false;
            QTest::newRow(QByteArray(name) + " with Ctrl") << name << true;
        }
    }

    void enterAnywhereFindsNext() {
        QFETCH(QString, focus);
        QFETCH(bool, ctrl);
        openOnGrid();
        combo("cbFindDirection")->setCurrentIndex(1);
        type("a");
        auto* widget = dialog().findChild<QWidget*>(focus);
        widget->setFocus();
        QTest::keyClick(widget, Qt::Key_Return, ctrl ? Qt::ControlModifier : Qt::NoModifier);
        QCOMPARE(grid_->calls.size(), 1);
        QCOMPARE(grid_->calls.first().direction,
                 ctrl ? LocateDirection::Up : LocateDirection::Down);
        QVERIFY(dialog().isVisible()); // not even on "Close"
        QCOMPARE(QApplication::focusWidget(), widget);
        combo("cbFindDirection")->setCurrentIndex(2);
    }

    void enterInAnOpenDropDownOnlyClosesIt() {
        openOnGrid();
        type("a");
        QComboBox* findIn = combo("cbFindIn");
        findIn->setFocus();
        QTest::keyClick(findIn, Qt::Key_Down, Qt::AltModifier);
        QTRY_VERIFY(QApplication::activePopupWidget() != nullptr);
        QWidget* popup = QApplication::activePopupWidget();
        QTest::keyClick(popup->focusWidget() ? popup->focusWidget() : popup, Qt::Key_Down);
        QTest::keyClick(popup->focusWidget() ? popup->focusWidget() : popup, Qt::Key_Return);
        QTRY_VERIFY(QApplication::activePopupWidget() == nullptr);
        QCOMPARE(findIn->currentIndex(), 1);
        QVERIFY(grid_->calls.isEmpty());
        QVERIFY(dialog().isVisible());
    }

    void theHistoryListIsResizedWithItsGripAndKeepsItsSize() {
        openOnGrid();
        for (const char* text : {"one", "two", "three"}) {
            type(text);
            QTest::keyClick(combo("cbText"), Qt::Key_Return);
        }
        auto* texts = qobject_cast<ui::ResizableComboBox*>(combo("cbText"));
        QVERIFY(texts != nullptr);
        texts->showPopup();
        QTRY_VERIFY(QApplication::activePopupWidget() != nullptr);
        QWidget* popup = QApplication::activePopupWidget();
        ui::PopupSizeGrip* grip = texts->sizeGrip();
        QVERIFY(grip != nullptr && grip->isVisible());
        QCOMPARE(grip->parentWidget(), popup);
        QCOMPARE(grip->geometry().bottomRight(), popup->rect().bottomRight());

        const QSize before = popup->size();
        const QPoint corner = grip->rect().center();
        dragGrip(grip, corner, QPoint(60, 40));
        const QSize chosen = popup->size();
        QCOMPARE(chosen, before + QSize(60, 40));
        QCOMPARE(grip->geometry().bottomRight(), popup->rect().bottomRight());

        texts->hidePopup();
        QTRY_VERIFY(QApplication::activePopupWidget() == nullptr);
        texts->showPopup();
        QTRY_VERIFY(QApplication::activePopupWidget() != nullptr);
        QCOMPARE(QApplication::activePopupWidget()->size(), chosen);

        // Never past the screen's edge.
        popup = QApplication::activePopupWidget();
        dragGrip(grip, corner, QPoint(5000, 5000));
        QVERIFY(popup->screen()->availableGeometry().contains(popup->geometry()));
        QVERIFY(popup->width() > chosen.width());
        texts->hidePopup();
        QTRY_VERIFY(QApplication::activePopupWidget() == nullptr);
        texts->showPopup();
        QTRY_VERIFY(QApplication::activePopupWidget() != nullptr);
        QVERIFY(popup->screen()->availableGeometry().contains(popup->geometry()));
        texts->hidePopup();
    }

    void theGripLeavesTheScrollBarsArrowsClear() {
        openOnGrid();
        auto* texts = qobject_cast<ui::ResizableComboBox*>(combo("cbText"));
        QVERIFY(texts != nullptr);
        for (int i = 0; i < 40; ++i)
            texts->addItem(QStringLiteral("text %1").arg(i));
        texts->showPopup();
        QTRY_VERIFY(QApplication::activePopupWidget() != nullptr);
        QWidget* popup = QApplication::activePopupWidget();
        QScrollBar* bar = texts->view()->verticalScrollBar();
        QTRY_VERIFY(bar->isVisible());
        const QRect barOnPopup(bar->mapTo(popup, QPoint(0, 0)), bar->size());
        QVERIFY2(!barOnPopup.intersects(texts->sizeGrip()->geometry()),
                 "the grip covers the scroll bar");
        texts->hidePopup();
        QTRY_VERIFY(QApplication::activePopupWidget() == nullptr);
    }

    void searchedTextsAreKeptOnceIgnoringCase() {
        openOnGrid();
        const QStringList before = history();
        type("Beta");
        QTest::keyClick(combo("cbText"), Qt::Key_Return);
        type("BETA");
        QTest::mouseClick(button("bFind"), Qt::LeftButton);
        type("gamma");
        QTest::mouseClick(button("bFind"), Qt::LeftButton);
        QCOMPARE(history().mid(before.size()), QStringList({"Beta", "gamma"}));
        QCOMPARE(combo("cbText")->currentText(), QString("gamma"));
    }

    void secondOpeningKeepsSettingsAndHistory() {
        openOnGrid();
        type("delta");
        combo("cbMatchinType")->setCurrentIndex(1);
        combo("cbFindDirection")->setCurrentIndex(0);
        check("cbCharCase")->setChecked(true);
        check("cbUseFormat")->setChecked(false);
        QTest::mouseClick(button("bFind"), Qt::LeftButton);
        QTest::keyClick(&dialog(), Qt::Key_Escape);
        QVERIFY(!dialog().isVisible());

        grid_->current = 2;
        openOnGrid();
        QCOMPARE(combo("cbText")->currentText(), QString());
        QVERIFY(history().contains("delta"));
        QCOMPARE(combo("cbFindIn")->currentText(), QString("INTERFAZ"));
        QCOMPARE(combo("cbMatchinType")->currentIndex(), 1);
        QCOMPARE(combo("cbFindDirection")->currentIndex(), 0);
        QVERIFY(check("cbCharCase")->isChecked());
        QVERIFY(!check("cbUseFormat")->isChecked());
        QVERIFY(dialog().isFirstTry());

        combo("cbMatchinType")->setCurrentIndex(0);
        combo("cbFindDirection")->setCurrentIndex(2);
        check("cbCharCase")->setChecked(false);
        check("cbUseFormat")->setChecked(true);
    }

    void closedDataSetOnlyRemembersTheText() {
        grid_->open = false;
        openOnGrid();
        type("epsilon");
        QTest::keyClick(combo("cbText"), Qt::Key_Return);
        QVERIFY(grid_->calls.isEmpty());
        QVERIFY(history().contains("epsilon"));
    }

    void closingHidesAndGivesTheFocusBack_data() {
        QTest::addColumn<QString>("how");
        QTest::newRow("Esc") << "Esc";
        QTest::newRow("Close") << "Close";
        QTest::newRow("close box") << "close box";
    }

    void closingHidesAndGivesTheFocusBack() {
        QFETCH(QString, how);
        openOnGrid();
        QVERIFY(dialog().windowFlags().testFlag(Qt::WindowStaysOnTopHint));
        if (how == "Esc")
            QTest::keyClick(combo("cbText"), Qt::Key_Escape);
        else if (how == "Close")
            QTest::mouseClick(button("bCancel"), Qt::LeftButton);
        else
            dialog().close();
        QVERIFY(!dialog().isVisible());
        QCOMPARE(dialog().result(), int(QDialog::Rejected));
        QTRY_COMPARE(QApplication::focusWidget(), grid_);
        QCOMPARE(&FindDialog::instance(), &dialog()); // kept for the next opening
    }

    void modalOpeningWaitsUntilClosed() {
        bool sawDialog = false;
        QTimer::singleShot(0, this, [&] {
            sawDialog = dialog().isVisible() && QApplication::activeModalWidget() == &dialog();
            type("beta");
            QTest::keyClick(combo("cbText"), Qt::Key_Return);
            QTest::keyClick(combo("cbText"), Qt::Key_Escape);
        });
        const int result = dialog().openFor(*grid_, QString(), QString(), true);
        QVERIFY(sawDialog);
        QCOMPARE(result, int(QDialog::Rejected));
        QCOMPARE(grid_->record, 1);
        QVERIFY(!dialog().windowFlags().testFlag(Qt::WindowStaysOnTopHint));
    }

    void aGoneGridIsForgotten() {
        openOnGrid();
        type("alpha");
        delete grid_;
        grid_ = new FakeFindTarget;
        QCOMPARE(dialog().grid(), nullptr);
        QTest::keyClick(combo("cbText"), Qt::Key_Return); // nothing to search, no crash
        QVERIFY(history().contains("alpha"));
    }
};

QTEST_MAIN(TestFindDialog)
#include "find_dialog_test.moc"
