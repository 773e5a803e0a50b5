// The point-of-sale lookup list over the points of sale of real demo
// companies: the typing search with its time-out and length limit, Up and
// Down, the drop-down and a chosen key that a reloaded list lacks.

#include "app/form/window_data_sets.h"
#include "app/tfcontavtascontado.h"
#include "app_test_main.h"
#include "company_fixture.h"
#include "db/sql_connection.h"
#include "ui/widgets/db_lookup_combo_box.h"

#include <QAbstractItemView>
#include <QScreen>
#include <QTest>

#include <memory>

namespace {

// 32 characters: the longest text the search builds.
const QString kLongPrefix = QStringLiteral("Punto de venta con nombre largo ");

} // namespace

class TestLookupList : public QObject {
    Q_OBJECT

private:
    CompanyFixture companies_;
    std::unique_ptr<WindowUnderTest> ui_;
    qint64 ticks_ = 0;

    app::Tfcontavtascontado& w() { return *ui_->window; }
    ui::DBLookupComboBox* pto() { return w().Pto; }

    void signIn(const QString& company) {
        ui_->signIn(company);
        QVERIFY2(ui_->errors.isEmpty(), qPrintable(ui_->errors.join('\n')));
        pto()->setFocus();
    }

    // Types the text, one character at each of the given ticks; "\b" is
    // Backspace.
    void type(const QString& keys, const QList<int>& at) {
        for (int i = 0; i < keys.size(); ++i) {
            if (!at.isEmpty())
                ticks_ = at.value(i, at.last());
            if (keys[i] == QLatin1Char('\b'))
                QTest::keyClick(pto(), Qt::Key_Backspace);
            else
                QTest::keyClicks(pto(), QString(keys[i]));
        }
    }

    QWidget* popup() { return pto()->view()->window(); }

private slots:
    void initTestCase() {
        QVERIFY(companies_.create({QStringLiteral("001"), QStringLiteral("002")}));
        WindowUnderTest setup;
        QVERIFY(setup.waitActive());
        setup.signIn(QStringLiteral("001"));
        setup.window->Pelmora->executeStatement(
            "insert into punto_venta (ptvt_id, bode_cod, ptvt_nom) values (20, '20', 'Zona "
            "Franca')");
        setup.signIn(QStringLiteral("002"));
        const std::string prefix = kLongPrefix.toStdString();
        setup.window->Pelmora->executeStatement(
            "insert into punto_venta (ptvt_id, bode_cod, ptvt_nom) values (10, '10', '" + prefix +
            "A uno')");
        setup.window->Pelmora->executeStatement(
            "insert into punto_venta (ptvt_id, bode_cod, ptvt_nom) values (11, '11', '" + prefix +
            "B dos')");
        setup.window->Pelmora->executeStatement(
            "insert into punto_venta (ptvt_id, bode_cod, ptvt_nom) values (12, '12', 'Kiosco')");
        QVERIFY2(setup.errors.isEmpty(), qPrintable(setup.errors.join('\n')));
    }

    void init() {
        ui_ = std::make_unique<WindowUnderTest>();
        QVERIFY(ui_->waitActive());
        ticks_ = 100000;
        pto()->setTickSource([this] { return ticks_; });
    }

    void cleanup() { ui_.reset(); }

    void beforeSignInTypingAndDropDownDoNothing() {
        pto()->setFocus();
        type(QStringLiteral("S"), {0});
        QTest::keyClick(pto(), Qt::Key_Down);
        QTest::keyClick(pto(), Qt::Key_Down, Qt::AltModifier);
        QVERIFY(!popup()->isVisible() || popup() == w().window());
        QCOMPARE(pto()->text(), "");
    }

    void typingSearch_data() {
        QTest::addColumn<QString>("keys");
        QTest::addColumn<QList<int>>("at");
        QTest::addColumn<QString>("chosen");
        QTest::newRow("P then U within 2 s")
            << "PU" << QList<int>{0, 1500} << "Punto Móvil Feria de las Flores";
        QTest::newRow("any letter case")
            << "pU" << QList<int>{0, 100} << "Punto Móvil Feria de las Flores";
        QTest::newRow("accented capitals")
            << "ALMACÉN" << QList<int>{0} << "Almacén Principal Centro";
        QTest::newRow("S then T within 2 s: no name starts ST")
            << "ST" << QList<int>{0, 2000} << "Sucursal Chapinero";
        QTest::newRow("T alone after a pause") << "ST" << QList<int>{0, 2001} << "Tienda D'Ángelo";
        QTest::newRow("Backspace empties the typed text")
            << "S\bT" << QList<int>{0, 10, 20} << "Tienda D'Ángelo";
        QTest::newRow("a letter that starts no name") << "X" << QList<int>{0} << "";
        QTest::newRow("no match keeps the choice")
            << "CX" << QList<int>{0, 10} << "Cafetería Usaquén";
        QTest::newRow("a blank is searched too")
            << "Tienda D" << QList<int>{0} << "Tienda D'Ángelo";
    }

    void typingSearch() {
        QFETCH(QString, keys);
        QFETCH(QList<int>, at);
        QFETCH(QString, chosen);
        signIn(QStringLiteral("001"));
        for (int& tick : at)
            tick += 100000;
        type(keys, at);
        QCOMPARE(pto()->text(), chosen);
        if (!chosen.isEmpty()) {
            // The list data set follows the choice.
            QCOMPARE(QString::fromStdString(w().dataSets->CPuntosPTVT_NOM->AsString()), chosen);
            QCOMPARE(std::get<std::int64_t>(pto()->KeyValue()),
                     w().dataSets->CPuntosPTVT_ID->AsInteger());
        }
    }

    void searchStopsAt32Characters() {
        signIn(QStringLiteral("002"));
        type(kLongPrefix, {});
        QCOMPARE(pto()->text(), kLongPrefix + "A uno");
        // A 33rd character is ignored, although a name would match it.
        type(QStringLiteral("B"), {});
        QCOMPARE(pto()->text(), kLongPrefix + "A uno");
        ticks_ += 2001;
        type(QStringLiteral("K"), {});
        QCOMPARE(pto()->text(), "Kiosco");
    }

    void upAndDown_data() {
        QTest::addColumn<QList<int>>("keys");
        QTest::addColumn<QString>("chosen");
        QTest::newRow("Down with no choice")
            << QList<int>{Qt::Key_Down} << "Almacén Principal Centro";
        QTest::newRow("Up with no choice") << QList<int>{Qt::Key_Up} << "Almacén Principal Centro";
        QTest::newRow("Down twice")
            << QList<int>{Qt::Key_Down, Qt::Key_Down} << "Sucursal Chapinero";
        QTest::newRow("Up at the first row stays")
            << QList<int>{Qt::Key_Down, Qt::Key_Up} << "Almacén Principal Centro";
        QTest::newRow("Down past the last row stays")
            << QList<int>(8, Qt::Key_Down) << "Zona Franca";
    }

    void upAndDown() {
        QFETCH(QList<int>, keys);
        QFETCH(QString, chosen);
        signIn(QStringLiteral("001"));
        for (int key : keys)
            QTest::keyClick(pto(), Qt::Key(key));
        QCOMPARE(pto()->text(), chosen);
    }

    void keyMissingFromAReloadedListShowsNoText() {
        signIn(QStringLiteral("001"));
        type(QStringLiteral("Z"), {});
        QCOMPARE(pto()->text(), "Zona Franca");
        signIn(QStringLiteral("002"));
        QCOMPARE(pto()->text(), "");
        QCOMPARE(std::get<std::int64_t>(pto()->KeyValue()), 20);
        signIn(QStringLiteral("001"));
        QCOMPARE(pto()->text(), "Zona Franca");
    }

    void dropDownShowsSevenRowsUnderTheControl() {
        signIn(QStringLiteral("002"));
        QCOMPARE(pto()->count(), 8);
        QTest::keyClick(pto(), Qt::Key_Down, Qt::AltModifier);
        QTRY_VERIFY(popup()->isVisible());
        const QRect control(pto()->mapToGlobal(QPoint(0, 0)), pto()->size());
        QCOMPARE(popup()->geometry().left(), control.left());
        QCOMPARE(popup()->geometry().width(), control.width());
        QCOMPARE(popup()->geometry().top(), control.bottom() + 1);
        const int rowHeight = pto()->view()->sizeHintForRow(0);
        QCOMPARE(pto()->view()->viewport()->height() / rowHeight, 7);

        // Alt+Up closes it without a change.
        QTest::keyClick(pto()->view(), Qt::Key_Up, Qt::AltModifier);
        QTRY_VERIFY(!popup()->isVisible());
        QCOMPARE(pto()->text(), "");
    }

    void dropDownOpensAboveWithoutRoomBelow() {
        signIn(QStringLiteral("001"));
        const QRect screen = w().screen()->availableGeometry();
        // The control's lower edge 20 pixels above the screen's.
        const int controlBottom = pto()->mapTo(w().window(), QPoint(0, pto()->height())).y();
        w().move(w().x(), screen.bottom() - 20 - controlBottom);
        QTest::keyClick(pto(), Qt::Key_Down, Qt::AltModifier);
        QTRY_VERIFY(popup()->isVisible());
        const QRect control(pto()->mapToGlobal(QPoint(0, 0)), pto()->size());
        if (control.bottom() + popup()->height() <= screen.bottom())
            QSKIP("the screen leaves room under the control");
        QCOMPARE(popup()->geometry().bottom(), control.top() - 1);
        QCOMPARE(popup()->geometry().width(), control.width());
        QTest::keyClick(pto()->view(), Qt::Key_Escape);
    }

    void dropDownChoices_data() {
        QTest::addColumn<QString>("how");
        QTest::addColumn<QString>("chosen");
        QTest::newRow("Enter takes the highlighted row") << "enter"
                                                         << "Sucursal Chapinero";
        QTest::newRow("Esc changes nothing") << "escape"
                                             << "Almacén Principal Centro";
        QTest::newRow("a click on a row") << "click"
                                          << "Tienda D'Ángelo";
    }

    void dropDownChoices() {
        QFETCH(QString, how);
        QFETCH(QString, chosen);
        signIn(QStringLiteral("001"));
        QTest::keyClick(pto(), Qt::Key_Down);
        QTest::keyClick(pto(), Qt::Key_Down, Qt::AltModifier);
        QTRY_VERIFY(popup()->isVisible());
        QAbstractItemView* view = pto()->view();
        if (how == "enter") {
            QTest::keyClick(view, Qt::Key_Down);
            QTest::keyClick(view, Qt::Key_Return);
        } else if (how == "escape") {
            QTest::keyClick(view, Qt::Key_Down);
            QTest::keyClick(view, Qt::Key_Escape);
        } else {
            const QRect row = view->visualRect(view->model()->index(2, 0));
            QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, row.center());
        }
        QTRY_VERIFY(!popup()->isVisible());
        QCOMPARE(pto()->text(), chosen);
        QCOMPARE(QString::fromStdString(w().dataSets->CPuntosPTVT_NOM->AsString()), chosen);
    }
};

PELMORA_APP_TEST_MAIN(TestLookupList)
#include "tfcontavtascontado_lookup_list_test.moc"
