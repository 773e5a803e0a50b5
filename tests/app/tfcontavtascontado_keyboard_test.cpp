// The window's keyboard over a real demo company: F2, F5 and Esc from any
// control and with modifiers held, F2 before sign-in and with the
// adjustments open, closing over unsaved adjustments, Esc in a cell being
// edited, the focus after the adjustments close, and Enter moving through
// the sign-in and parameter fields.

#include "adjustments_fixture.h"
#include "app_test_main.h"
#include "ui/widgets/bevel_panel.h"
#include "ui/widgets/speed_button.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QTest>
#include <QWindow>

#include <memory>

using namespace adjustments;

namespace {

// Records what the window had done by the time a control received a key.
class KeySpy : public QObject {
public:
    explicit KeySpy(std::function<QString()> state) : state_(std::move(state)) {}
    QStringList seen;

protected:
    bool eventFilter(QObject*, QEvent* event) override {
        if (event->type() == QEvent::KeyPress)
            seen << state_();
        return false;
    }

private:
    std::function<QString()> state_;
};

} // namespace

class TestKeyboard : public QObject, protected WindowTestBase {
    Q_OBJECT

private:
    void signIn() {
        ui_->signIn(QStringLiteral("001"), companies_.user(), companies_.password());
        QCOMPARE(ui_->errors, QStringList());
    }

    QWidget* control(const QString& name) { return w().findChild<QWidget*>(name); }

private slots:
    void initTestCase() {
        QVERIFY(companies_.create({QStringLiteral("001")}));
        today_ = latestSalesDay(QStringLiteral("001"));
        QVERIFY(today_.isValid());
    }

    void init() { QVERIFY(openWindow()); }

    void cleanup() { closeWindow(); }

    void keysWithShiftAltOrCtrlDoNothing_data() {
        QTest::addColumn<int>("key");
        QTest::addColumn<int>("modifiers");
        const QList<QPair<const char*, int>> keys{
            {"F2", Qt::Key_F2}, {"F5", Qt::Key_F5}, {"Esc", Qt::Key_Escape}};
        const QList<QPair<const char*, int>> modifiers{
            {"Shift", Qt::ShiftModifier},
            {"Alt", Qt::AltModifier},
            {"Ctrl", Qt::ControlModifier},
            {"Ctrl+Shift", Qt::ControlModifier | Qt::ShiftModifier},
            {"Ctrl+Alt", Qt::ControlModifier | Qt::AltModifier}};
        for (const auto& [modifierName, modifier] : modifiers)
            for (const auto& [keyName, key] : keys)
                QTest::addRow("%s+%s", modifierName, keyName) << key << modifier;
    }

    void keysWithShiftAltOrCtrlDoNothing() {
        QFETCH(int, key);
        QFETCH(int, modifiers);
        signIn();
        s().choosePoint(QStringLiteral("Almacén Principal Centro"));
        s().chooseDay(today_.addDays(-4));
        s().press(Qt::Key(key), Qt::KeyboardModifiers(modifiers));
        QVERIFY(ui_->window);
        QVERIFY(w().isVisible());
        QVERIFY(!w().CaptionPanel1->isVisible());
        QVERIFY(!sets().CAjuste.Active());
        QVERIFY(!sets().Cborrar.Active());
        QCOMPARE(ui_->messages, QStringList());
        QCOMPARE(ui_->errors, QStringList());
    }

    void theWindowActsBeforeTheFocusedControlAndOnlyOnce() {
        signIn();
        s().chooseDay(today_.addDays(40));
        // A line edit leaves F5 unused: it travels on to the group box and
        // the window, and must not toggle the adjustments twice.
        KeySpy spy([this] { return QString::number(w().CaptionPanel1->isVisible()); });
        int reads = 0;
        sets().CAjuste.AfterOpen = [&reads](dataset::ClientDataSet&) { ++reads; };
        w().Tusua->installEventFilter(&spy);
        w().Tusua->setFocus();
        s().press(Qt::Key_F5);
        QCOMPARE(spy.seen, QStringList({"1"}));
        QCOMPARE(reads, 1);
        QVERIFY(w().CaptionPanel1->isVisible());
        QCOMPARE(editorRows(sets()).size(), 3);
        // The opened panel took the focus; back in the line edit.
        w().Tusua->setFocus();
        s().press(Qt::Key_F5);
        QCOMPARE(spy.seen, QStringList({"1", "0"}));
        QVERIFY(!sets().CAjuste.Active());
        QCOMPARE(ui_->errors, QStringList());
    }

    void aKeyLetGoOfWhileItIsHandledIsHandledOnce_data() {
        QTest::addColumn<QString>("focus");
        QTest::newRow("user") << "Tusua";
        QTest::newRow("date") << "EFecIni";
        QTest::newRow("point") << "Pto";
    }

    void aKeyLetGoOfWhileItIsHandledIsHandledOnce() {
        // The user lets go of F2 while the posting's message is up; the
        // control with the focus leaves F2 unused and it travels on.
        QFETCH(QString, focus);
        signIn();
        s().choosePoint(QStringLiteral("Sucursal Chapinero"));
        s().chooseDay(today_.addDays(-2));
        control(focus)->setFocus();
        QWidget* target = QApplication::focusWidget();
        int runs = 0;
        sets().CRepArticulos.BeforeOpen = [&](dataset::ClientDataSet&) {
            ++runs;
            QTest::sendKeyEvent(QTest::Release, target, Qt::Key_F2, QString(), Qt::NoModifier);
        };
        QTest::sendKeyEvent(QTest::Press, target, Qt::Key_F2, QString(), Qt::NoModifier);
        QCOMPARE(runs, 1);
        QCOMPARE(ui_->errors, QStringList());

        // The next key is previewed again.
        QTest::sendKeyEvent(QTest::Press, target, Qt::Key_F2, QString(), Qt::NoModifier);
        QCOMPARE(runs, 2);
    }

    void anOpenDropDownListKeepsItsKeys() {
        signIn();
        s().chooseDay(today_.addDays(42));
        w().Pto->setFocus();
        w().Pto->showPopup();
        QTRY_VERIFY(QApplication::activePopupWidget() != nullptr);
        QWidget* list = QApplication::activePopupWidget();
        QTest::keyClick(list->focusWidget() ? list->focusWidget() : list, Qt::Key_F5);
        QVERIFY(!w().CaptionPanel1->isVisible());
        QTest::keyClick(list->focusWidget() ? list->focusWidget() : list, Qt::Key_Escape);
        QTRY_VERIFY(QApplication::activePopupWidget() == nullptr);
        QVERIFY(ui_->window);
        QVERIFY(w().isVisible());
        QCOMPARE(ui_->errors, QStringList());
    }

    void f2BeforeSignInRunsThePostingAnyway() {
        QVERIFY(!w().SpeedButton3->isEnabled());
        s().press(Qt::Key_F2);
        QCOMPARE(ui_->errors,
                 QStringList({"CPuntos: Cannot perform this operation on a closed dataset."}));
        QCOMPARE(ui_->messages, QStringList());
    }

    void f2WithTheAdjustmentsOpenSavesThemThenPosts() {
        CompanyProbe probe(companies_, QStringLiteral("001"));
        const QDate day = today_.addDays(-1);
        signIn();
        s().choosePoint(QStringLiteral("Sucursal Chapinero"));
        s().chooseDay(day);
        s().press(Qt::Key_F5);
        s().typeIntoGrid(2, 3, QStringLiteral("0.6"));
        QStringList atPosting;
        sets().CRepArticulos.BeforeOpen = [&](dataset::ClientDataSet&) {
            atPosting << QStringLiteral("%1|%2|%3")
                             .arg(w().CaptionPanel1->isVisible())
                             .arg(sets().CAjuste.ChangeCount())
                             .arg(storedRows(probe, day).join(';'));
        };
        s().press(Qt::Key_F2);
        QCOMPARE(ui_->errors, QStringList());
        QCOMPARE(ui_->messages, QStringList({kPosted}));
        QCOMPARE(atPosting,
                 QStringList({"0|0|" + QStringList({row(day, "0.0000", "0.6000"),
                                                    row(day, "5.0000"), row(day, "16.0000")})
                                           .join(';')}));
        QVERIFY(sets().CAjuste.Active());
    }

    void closingOverUnsavedAdjustmentsAsksFirst_data() {
        QTest::addColumn<QString>("how");
        QTest::addColumn<int>("answer");
        using Answer = app::Application::Answer;
        for (const char* how : {"Esc", "button", "close box"}) {
            QTest::addRow("%s, save", how) << how << int(Answer::Yes);
            QTest::addRow("%s, discard", how) << how << int(Answer::No);
            QTest::addRow("%s, stay", how) << how << int(Answer::Cancel);
        }
    }

    void closingOverUnsavedAdjustmentsAsksFirst() {
        QFETCH(QString, how);
        QFETCH(int, answer);
        using Answer = app::Application::Answer;
        CompanyProbe probe(companies_, QStringLiteral("001"));
        const QDate day = today_.addDays(-4);
        const QStringList stored = storedRows(probe, day);
        ui_->answer = Answer(answer);
        signIn();
        s().chooseDay(day);
        s().press(Qt::Key_F5);
        s().typeIntoGrid(0, 2, QStringLiteral("8"));
        QVERIFY(w().CaptionPanel1->isVisible());
        // Away from the grid, where Esc would take the edit back.
        w().Pto->setFocus();
        if (how == "Esc")
            s().press(Qt::Key_Escape);
        else if (how == "button")
            QTest::mouseClick(w().SpeedButton2, Qt::LeftButton);
        else
            w().windowHandle()->close();
        QCOMPARE(ui_->questions, QStringList({kSaveQuestion}));
        QCOMPARE(ui_->errors, QStringList());
        QCOMPARE(ui_->messages, QStringList());
        if (Answer(answer) == Answer::Cancel) {
            QVERIFY(ui_->window);
            QVERIFY(w().isVisible());
            QVERIFY(w().CaptionPanel1->isVisible());
            QCOMPARE(editorRows(sets()).value(0), "8.0000|0.8000|0|" + day.toString(Qt::ISODate) +
                                                      "|" + day.toString(Qt::ISODate));
            QCOMPARE(storedRows(probe, day), stored);
            return;
        }
        QTRY_VERIFY(ui_->window.isNull());
        if (Answer(answer) == Answer::Yes)
            QCOMPARE(storedRows(probe, day),
                     QStringList({row(day, "0.0000"), row(day, "8.0000"), row(day, "16.0000")}));
        else
            QCOMPARE(storedRows(probe, day), stored);
    }

    void escInTheGridTakesBackTheEditNotTheWindow() {
        CompanyProbe probe(companies_, QStringLiteral("001"));
        const QDate day = today_.addDays(44);
        signIn();
        s().chooseDay(day);
        s().press(Qt::Key_F5);
        s().typeIntoGrid(0, 3, QStringLiteral("0.5"));
        // Esc in an open cell takes back its text.
        s().typeIntoCell(1, 3, QStringLiteral("0.6543"));
        QVERIFY(w().DBGrid2->editorShown());
        s().press(Qt::Key_Escape);
        QVERIFY(ui_->window);
        QVERIFY(!w().DBGrid2->editorShown());
        QCOMPARE(QApplication::focusWidget(), w().DBGrid2);
        // Esc in a row being edited takes back the row's edit.
        s().typeIntoGrid(2, 2, QStringLiteral("7"));
        QCOMPARE(sets().CAjuste.State(), dataset::DataSetState::Edit);
        s().press(Qt::Key_Escape);
        QVERIFY(ui_->window);
        QVERIFY(w().isVisible());
        QCOMPARE(sets().CAjuste.State(), dataset::DataSetState::Browse);
        QCOMPARE(ui_->questions, QStringList());
        QVERIFY(w().CaptionPanel1->isVisible());
        s().press(Qt::Key_F5);
        QCOMPARE(ui_->errors, QStringList());
        QCOMPARE(
            storedRows(probe, day),
            QStringList({row(day, "0.0000"), row(day, "5.0000", "0.5000"), row(day, "16.0000")}));
    }

    void f5OpensOnTheGridAndClosingGivesTheFocusBack() {
        signIn();
        const QDate day = today_.addDays(45);
        s().chooseDay(day);
        w().Pto->setFocus();
        s().press(Qt::Key_F5);
        // The panel covers the date and the point: keys typed now go into
        // its grid, never into a control out of sight.
        QCOMPARE(QApplication::focusWidget(), w().DBGrid2);
        QTest::keyClicks(QApplication::focusWidget(), QStringLiteral("19"));
        s().press(Qt::Key_Escape);
        QCOMPARE(w().EFecIni->date(), day);
        QVERIFY(w().CaptionPanel1->isVisible());
        s().typeIntoGrid(0, 3, QStringLiteral("0.5"));
        QCOMPARE(QApplication::focusWidget(), w().DBGrid2);
        s().press(Qt::Key_F5);
        QVERIFY(!w().CaptionPanel1->isVisible());
        QCOMPARE(QApplication::focusWidget(), w().Pto);
        QCOMPARE(ui_->errors, QStringList());
    }

    void escClosesTheWindowsDataSets() {
        signIn();
        // A run that ended half-way leaves its result set open.
        sets().CRepArticulos.setCommandText(
            "select cast('X' as char(1)) as ver, 0 as idc, 0 as err from rdb$database");
        sets().CRepArticulos.open();
        QVERIFY(sets().CPuntos.Active());
        QStringList closed;
        for (dataset::ClientDataSet* set : {&sets().CPuntos, &sets().CRepArticulos})
            set->AfterClose = [&closed](dataset::ClientDataSet& d) {
                closed << QString::fromStdString(d.name());
            };
        s().press(Qt::Key_Escape);
        QTRY_VERIFY(ui_->window.isNull());
        QCOMPARE(closed, QStringList({"CRepArticulos", "CPuntos"}));
    }

    void enterMovesToTheNextControl_data() {
        QTest::addColumn<QString>("from");
        QTest::addColumn<int>("key");
        QTest::addColumn<bool>("signedIn");
        QTest::addColumn<QString>("to");
        QTest::newRow("server") << "Servidor" << int(Qt::Key_Return) << false << "Tusua";
        QTest::newRow("user") << "Tusua" << int(Qt::Key_Return) << false << "TClave";
        QTest::newRow("password") << "TClave" << int(Qt::Key_Return) << false << "Cia";
        QTest::newRow("keypad enter") << "TClave" << int(Qt::Key_Enter) << false << "Cia";
        QTest::newRow("company") << "Cia" << int(Qt::Key_Return) << false << "ckniif";
        QTest::newRow("check box keeps it") << "ckniif" << int(Qt::Key_Return) << false << "ckniif";
        QTest::newRow("date") << "EFecIni" << int(Qt::Key_Return) << true << "EFecIni>Pto";
        // The error grid is disabled and the adjustments grid hidden.
        QTest::newRow("point wraps") << "Pto" << int(Qt::Key_Return) << true << "Servidor";
    }

    void enterMovesToTheNextControl() {
        QFETCH(QString, from);
        QFETCH(int, key);
        QFETCH(bool, signedIn);
        QFETCH(QString, to);
        if (signedIn)
            signIn();
        const QString name = from;
        QWidget* start = control(name);
        QVERIFY(start);
        start->setFocus();
        QCOMPARE(QApplication::focusWidget(), start);
        const QString password = w().TClave->text();
        s().press(Qt::Key(key));
        QCOMPARE(QApplication::focusWidget()->objectName(), to.section('>', -1));
        QCOMPARE(w().TClave->text(), password);
        QCOMPARE(ui_->errors, QStringList());
    }

    void enterInThePasswordAddsNothing() {
        w().TClave->setFocus();
        QTest::keyClicks(w().TClave, QStringLiteral("clave"));
        s().press(Qt::Key_Return);
        QCOMPARE(w().TClave->text(), "clave");
        QCOMPARE(QApplication::focusWidget(), w().Cia);
    }

    void enterInTheCompanySignsIn() {
        w().Tusua->setText(companies_.user());
        w().TClave->setText(companies_.password());
        w().Cia->setFocus();
        QTest::keyClicks(w().Cia, QStringLiteral("001"));
        s().press(Qt::Key_Return);
        QCOMPARE(ui_->errors, QStringList());
        QVERIFY(w().SpeedButton3->isEnabled());
        QCOMPARE(QApplication::focusWidget(), w().EFecIni);
    }

    void enterInThePointReachesTheGridsWhenTheyCanTakeIt() {
        signIn();
        // With the adjustments open, their grid is next; the error grid is
        // still disabled.
        s().chooseDay(today_.addDays(41));
        s().press(Qt::Key_F5);
        w().Pto->setFocus();
        s().press(Qt::Key_Return);
        QCOMPARE(QApplication::focusWidget(), w().DBGrid2);
        s().press(Qt::Key_F5);
        QVERIFY(!w().CaptionPanel1->isVisible());

        // A failed run enables the error grid.
        s().choosePoint(QStringLiteral("Punto Móvil Feria de las Flores"));
        s().chooseDay(today_);
        QTest::mouseClick(w().SpeedButton3, Qt::LeftButton);
        QVERIFY(w().DBGrid1->isEnabled());
        w().Pto->setFocus();
        s().press(Qt::Key_Return);
        QCOMPARE(QApplication::focusWidget(), w().DBGrid1);
        QCOMPARE(ui_->errors, QStringList());
    }
};

PELMORA_APP_TEST_MAIN(TestKeyboard)
#include "tfcontavtascontado_keyboard_test.moc"
