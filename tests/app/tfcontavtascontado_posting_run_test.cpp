// The posting run driven from the window over real demo companies: posting a
// day, posting it again, the NIIF book, failing prefixes and their listing,
// where the client code comes from, quotes in the data, the point of sale
// chosen by its key, runs refused before anything is sent, and the
// procedure's unusual answers. One journey runs over a Firebird server on
// loopback when one is available.

#include "app/form/window_data_sets.h"
#include "app/message_boxes.h"
#include "app/tfcontavtascontado.h"
#include "app_test_main.h"
#include "company_fixture.h"
#include "posting_fixture.h"
#include "ui/grid/db_grid.h"
#include "ui/widgets/bevel_panel.h"
#include "ui/widgets/date_time_picker.h"
#include "ui/widgets/db_lookup_combo_box.h"
#include "ui/widgets/speed_button.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QMessageBox>
#include <QTest>
#include <QTimer>

#include <functional>
#include <memory>

namespace {

// Counts the paint events a widget receives.
class PaintCounter : public QObject {
public:
    int paints = 0;

protected:
    bool eventFilter(QObject*, QEvent* event) override {
        if (event->type() == QEvent::Paint)
            ++paints;
        return false;
    }
};

// The database's text without the blanks a fixed-length source leaves at
// its end.
QString trimmedEnd(QString text) {
    while (text.endsWith(QLatin1Char(' ')))
        text.chop(1);
    return text;
}

const QString kPosted = QStringLiteral("Comprobante contable correctamente generado.");
const QString kNotPosted = QStringLiteral("No se pudo contabilizar las facturas.");
const QString kFailed = QStringLiteral("Se presentaron los siguientes errores en la "
                                       "contabilización:\rVerifique la definición de la interfaz "
                                       "relacionada");
const QString kChoosePoint = QStringLiteral("Seleccione un punto de venta.");
const QString kNoClient = QStringLiteral("No se encontró el código del cliente de contado.");

const QString kCompanyClientCode =
    QStringLiteral("conf_modulo = 'FACTURACION' and conf_categoria = 'FACTURAS' and "
                   "conf_propiedad = 'CODIGO DEL CLIENTE PARA VENTAS DE CONTADO'");

// The local posting procedure of a company replaced by one with the given
// body; the real posting stays reachable as contabilizar_ventas_contado.
QString localPostingProcedure(const QString& body) {
    return QStringLiteral("create or alter procedure contabil_facturas_contado (fecha "
                          "varchar(8000), cliente varchar(1000), prefijo varchar(1000), punto "
                          "integer, interfaz integer) returns (ver char(1), idc integer, err "
                          "integer) as begin ") +
           body + QStringLiteral(" end");
}

// A point of sale of company 001 added for the tests, with its
// authorisation, a cash-sale interface copied from FV03's and one sale on
// each of the given days.
QStringList newPointOfSale(int id, const QString& name, const QString& prefix,
                           const QString& client, const QString& interfaceName,
                           const QStringList& days) {
    const auto lit = [](QString text) {
        return QLatin1Char('\'') + text.replace(QLatin1Char('\''), QStringLiteral("''")) +
               QLatin1Char('\'');
    };
    QStringList sql{
        QStringLiteral("insert into punto_venta (ptvt_id, bode_cod, ptvt_nom, pref_pre) values "
                       "(%1, '0%1', %2, %3)")
            .arg(id)
            .arg(lit(name), lit(prefix)),
        QStringLiteral("insert into autorizaciones (auto_id, pref_pre, auto_nitcontado) values "
                       "(%1, %2, %3)")
            .arg(id)
            .arg(lit(prefix), lit(client)),
        QStringLiteral("insert into interfaz_ventas values (0, %1, 31, %2)")
            .arg(lit(interfaceName), lit(prefix)),
        QStringLiteral("insert into interfaz_ventas_cuentas select (select max(inve_id) from "
                       "interfaz_ventas), libr_cod, invc_concepto, invc_porc, cuen_cod from "
                       "interfaz_ventas_cuentas where inve_id = (select max(inve_id) from "
                       "interfaz_ventas where pref_pre = 'FV03' and tido_cod = 31)")};
    int number = 1;
    for (const QString& day : days) {
        sql << QStringLiteral("insert into facturas (fact_id, tido_cod, pref_pre, fact_numero, "
                              "fact_fecha, ptvt_id, terc_nit, fact_total) values (0, 31, %1, "
                              "%2, %3, %4, %5, 116)")
                   .arg(lit(prefix))
                   .arg(number++)
                   .arg(day)
                   .arg(id)
                   .arg(lit(client));
        sql << QStringLiteral("insert into factura_tarifas select max(fact_id), 16, 100, 16 from "
                              "facturas");
    }
    return sql;
}

} // namespace

class TestPostingRun : public QObject {
    Q_OBJECT

private:
    PostingCompanies companies_;
    std::unique_ptr<WindowUnderTest> ui_;
    // The demo's last day of sales, "today" when the company was made.
    QDate today_;

    app::Tfcontavtascontado& w() { return *ui_->window; }
    app::WindowDataSets& sets() { return *w().dataSets; }

    void signIn(const QString& company) {
        ui_->signIn(company, companies_.user(), companies_.password());
        QVERIFY2(ui_->errors.isEmpty(), qPrintable(ui_->errors.join('\n')));
    }

    // Chooses the n-th point of sale of that name in the lookup list with
    // the keyboard.
    void choosePoint(const QString& name, int occurrence = 0) {
        int row = -1;
        for (int i = 0, seen = 0; i < w().Pto->count() && row < 0; ++i)
            if (w().Pto->itemText(i) == name && seen++ == occurrence)
                row = i;
        QVERIFY2(row >= 0, qPrintable(name));
        w().Pto->setFocus();
        // Down with nothing chosen takes the first row; then one row a key.
        for (int keys = 0; w().Pto->currentIndex() != row && keys <= w().Pto->count(); ++keys)
            QTest::keyClick(w().Pto, w().Pto->currentIndex() > row ? Qt::Key_Up : Qt::Key_Down);
        QCOMPARE(w().Pto->currentIndex(), row);
        QCOMPARE(w().Pto->text(), name);
    }

    void post(const QDate& day, bool niif = false) {
        w().EFecIni->setDate(day);
        if (w().ckniif->isChecked() != niif)
            QTest::mouseClick(w().ckniif, Qt::LeftButton);
        QTest::mouseClick(w().SpeedButton3, Qt::LeftButton);
    }

    QStringList gridRows() {
        QStringList result;
        for (int row = 0; row < w().DBGrid1->rowCount(); ++row)
            result << QStringLiteral("%1|%2|%3")
                          .arg(trimmedEnd(w().DBGrid1->cellText(row, 0)),
                               trimmedEnd(w().DBGrid1->cellText(row, 1)),
                               trimmedEnd(w().DBGrid1->cellText(row, 2)));
        return result;
    }

    QStringList listing() {
        QStringList result;
        dataset::ClientDataSet& errors = sets().CError;
        if (!errors.Active())
            return result;
        for (errors.First(); !errors.Eof(); errors.Next())
            result
                << QStringLiteral("%1|%2|%3")
                       .arg(
                           trimmedEnd(QString::fromStdString(sets().CErrorERRO_CODIGO->AsString())),
                           trimmedEnd(QString::fromStdString(sets().CErrorERRO_CADENA->AsString())),
                           trimmedEnd(QString::fromStdString(sets().CErrorINTERFAZ->AsString())));
        return result;
    }

    // Every run ends the same way, whatever it reported.
    void checkRunEnded() {
        QVERIFY(!w().Panel5->isVisible());
        QVERIFY(!sets().CRepArticulos.Active());
    }

    // What a database holds of the postings: vouchers and error rows.
    static QString footprint(CompanyProbe& probe) {
        return probe.value("select count(*) from comprobantes") + "|" +
               probe.value("select count(*) from errores");
    }

private slots:
    void initTestCase() {
        QVERIFY(companies_.create({QStringLiteral("001"), QStringLiteral("002")}));
        CompanyProbe probe(companies_, QStringLiteral("001"));
        today_ =
            QDate::fromString(probe.value("select max(fact_fecha) from facturas"), Qt::ISODate);
        QVERIFY(today_.isValid());
        const QString day0 = CompanyProbe::isoDate(today_);
        const QString day1 = CompanyProbe::isoDate(today_.addDays(-1));
        QStringList setup;
        // Two points of sale of the same name, each with its own prefix.
        setup << newPointOfSale(8, QStringLiteral("Sucursal Chapinero"), QStringLiteral("FV08"),
                                QStringLiteral("1001"), QStringLiteral("Contado Chapinero 8"),
                                {day0});
        // Quotes in the point's name, its prefix, its client and its interface.
        setup << QStringLiteral("insert into terceros values ('O''Neil', 'CLIENTE O''NEIL')");
        setup << newPointOfSale(9, QStringLiteral("Caja de O'Brien"), QStringLiteral("D'9"),
                                QStringLiteral("O'Neil"), QStringLiteral("Contado O'Brien"),
                                {day0, day1});
        for (const QString& sql : setup)
            probe.execute(sql);
    }

    void init() {
        ui_ = std::make_unique<WindowUnderTest>();
        QVERIFY(ui_->waitActive());
    }

    void cleanup() { ui_.reset(); }

    void postingCompletesTheVoucherAndPostingAgainDoesNothing() {
        CompanyProbe probe(companies_, QStringLiteral("001"));
        signIn(QStringLiteral("001"));
        choosePoint(QStringLiteral("Almacén Principal Centro"));
        // What the window shows when the first lookup goes to the database.
        QStringList seen;
        PaintCounter paints;
        w().Panel5->installEventFilter(&paints);
        sets().Cborrar.BeforeOpen = [&](dataset::ClientDataSet&) {
            if (seen.isEmpty())
                seen << QStringLiteral("%1|%2|%3")
                            .arg(w().Panel5->isVisible())
                            .arg(paints.paints > 0)
                            .arg(w().Panel5->caption());
        };
        post(today_);
        sets().Cborrar.BeforeOpen = nullptr;
        QCOMPARE(ui_->errors, QStringList());
        QCOMPARE(ui_->messages, QStringList({kPosted}));
        QCOMPARE(seen,
                 QStringList({"1|1|Contabilizando las ventas de contado, espere un momento..."}));
        checkRunEnded();
        QVERIFY(!w().DBGrid1->isEnabled());

        const QString day = CompanyProbe::isoDate(today_);
        const QStringList vouchers = probe.rows(
            "select comp_id, comp_estado, libr_cod, pref_pre, terc_nit from comprobantes where "
            "comp_fecha = " +
            day + " and ptvt_id = 1");
        QCOMPARE(vouchers.size(), 1);
        const QString voucher = vouchers.first().section('|', 0, 0);
        QCOMPARE(vouchers.first().section('|', 1), "C|L|FV01|222222222222");
        // Every cash sale of the day and point is in the book, the voided one not.
        QCOMPARE(probe.rows("select fact_anulada, count(*), min(coalesce(fact_comp_local, -1)), "
                            "max(coalesce(fact_comp_local, -1)) from facturas where fact_fecha = " +
                            day + " and ptvt_id = 1 and tido_cod = 31 group by fact_anulada"),
                 QStringList({"N|" +
                                  probe.value("select count(*) from facturas where fact_fecha "
                                              "= " +
                                              day +
                                              " and ptvt_id = 1 and tido_cod = 31 and "
                                              "fact_anulada = 'N'") +
                                  "|" + voucher + "|" + voucher,
                              "S|1|-1|-1"}));
        // The interface lookup stays in Cborrar until the next run.
        QVERIFY(sets().Cborrar.Active());
        QCOMPARE(sets().Cborrar.Fields(1).AsString(), "Contado Almacén Principal Centro");

        // The same day again: nothing new, nothing said.
        const QString before = footprint(probe);
        QTest::mouseClick(w().SpeedButton3, Qt::LeftButton);
        QCOMPARE(ui_->errors, QStringList());
        QCOMPARE(ui_->messages, QStringList({kPosted}));
        checkRunEnded();
        QCOMPARE(footprint(probe), before);
    }

    void niifPostsTheSameSalesToTheOtherBook() {
        CompanyProbe probe(companies_, QStringLiteral("001"));
        signIn(QStringLiteral("001"));
        choosePoint(QStringLiteral("Tienda D'Ángelo"));
        post(today_.addDays(-1), true);
        QCOMPARE(ui_->errors, QStringList());
        QCOMPARE(ui_->messages, QStringList({kPosted}));
        checkRunEnded();
        const QString where = " where fact_fecha = " + CompanyProbe::isoDate(today_.addDays(-1)) +
                              " and ptvt_id = 3 and tido_cod = 31";
        QCOMPARE(probe.rows("select comp_estado, libr_cod from comprobantes where comp_fecha = " +
                            CompanyProbe::isoDate(today_.addDays(-1)) + " and ptvt_id = 3"),
                 QStringList({"C|N"}));
        QCOMPARE(probe.value("select count(*) from facturas" + where +
                             " and fact_comp_niif is not null and fact_comp_local is null"),
                 probe.value("select count(*) from facturas" + where));
    }

    void failingPrefixListsThatRunsErrorsUntilTheNextFailure() {
        signIn(QStringLiteral("001"));
        choosePoint(QStringLiteral("Punto Móvil Feria de las Flores"));
        post(today_);
        QCOMPARE(ui_->errors, QStringList());
        QCOMPARE(ui_->messages, QStringList({kFailed}));
        checkRunEnded();
        QVERIFY(w().DBGrid1->isEnabled());
        const QString name = QStringLiteral("Contado Punto Móvil Feria de las Flores");
        const QStringList local{"Falta cuenta|Ingreso 16%|" + name, "Falta cuenta|IVA 16%|" + name};
        QCOMPARE(listing(), local);
        QCOMPARE(gridRows(), local);

        // A second failing run replaces the listing with its own rows only.
        post(today_, true);
        QCOMPARE(ui_->messages, QStringList({kFailed, kFailed}));
        const QStringList niif{"Falta cuenta|Ingreso 16% NIIF|" + name,
                               "Falta cuenta|IVA 16% NIIF|" + name};
        QCOMPARE(listing(), niif);
        QCOMPARE(gridRows(), niif);

        // A successful run leaves the grid and its listing alone.
        choosePoint(QStringLiteral("Cafetería Usaquén"));
        post(today_.addDays(-2));
        QCOMPARE(ui_->errors, QStringList());
        QCOMPARE(ui_->messages, QStringList({kFailed, kFailed, kPosted}));
        QVERIFY(w().DBGrid1->isEnabled());
        QCOMPARE(listing(), niif);
        QCOMPARE(gridRows(), niif);
    }

    void theFailureMessageBoxShowsTwoLines() {
        signIn(QStringLiteral("001"));
        choosePoint(QStringLiteral("Punto Móvil Feria de las Flores"));
        auto* application = static_cast<app::Application*>(QCoreApplication::instance());
        application->setMessageDisplay(app::showPlainMessage);
        QStringList shown;
        QTimer::singleShot(0, this, [&] {
            QTRY_VERIFY(qobject_cast<QMessageBox*>(QApplication::activeModalWidget()));
            auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
            shown << box->windowTitle() << box->text().split(QLatin1Char('\n'));
            box->accept();
        });
        post(today_.addDays(-1));
        QCOMPARE(shown, QStringList({"Pelmora Contabiliza ventas contado",
                                     "Se presentaron los siguientes errores en la contabilización:",
                                     "Verifique la definición de la interfaz relacionada"}));
    }

    void anEmptyAuthorisationCodeTakesTheCompanysCode() {
        CompanyProbe probe(companies_, QStringLiteral("001"));
        signIn(QStringLiteral("001"));
        choosePoint(QStringLiteral("Sucursal Chapinero"));
        post(today_.addDays(-2));
        QCOMPARE(ui_->errors, QStringList());
        QCOMPARE(ui_->messages, QStringList({kPosted}));
        QCOMPARE(probe.rows("select terc_nit, comp_estado from comprobantes where comp_fecha = " +
                            CompanyProbe::isoDate(today_.addDays(-2)) + " and ptvt_id = 2"),
                 QStringList({probe.value("select conf_valor from configuracion where " +
                                          kCompanyClientCode) +
                              "|C"}));
    }

    void theChosenOfTwoSameNamedPointsIsPosted() {
        CompanyProbe probe(companies_, QStringLiteral("001"));
        signIn(QStringLiteral("001"));
        choosePoint(QStringLiteral("Sucursal Chapinero"), 1);
        post(today_);
        QCOMPARE(ui_->errors, QStringList());
        QCOMPARE(ui_->messages, QStringList({kPosted}));
        const QString day = CompanyProbe::isoDate(today_);
        QCOMPARE(probe.rows("select ptvt_id, pref_pre, terc_nit from comprobantes where "
                            "comp_fecha = " +
                            day + " and ptvt_id in (2, 8)"),
                 QStringList({"8|FV08|1001"}));
        QCOMPARE(probe.value("select count(*) from facturas where ptvt_id = 2 and fact_fecha = " +
                             day + " and fact_comp_local is not null"),
                 "0");
    }

    void quotesInNamesPrefixesAndCodesAreData() {
        CompanyProbe probe(companies_, QStringLiteral("001"));
        signIn(QStringLiteral("001"));
        choosePoint(QStringLiteral("Caja de O'Brien"));
        post(today_);
        QCOMPARE(ui_->errors, QStringList());
        QCOMPARE(ui_->messages, QStringList({kPosted}));
        QCOMPARE(probe.rows("select pref_pre, terc_nit, comp_estado from comprobantes where "
                            "ptvt_id = 9"),
                 QStringList({"D'9|O'Neil|C"}));

        // The interface name with a quote goes into the listing's text.
        probe.execute("delete from interfaz_ventas_cuentas where invc_concepto = 'IVA' and inve_id "
                      "= (select max(inve_id) from interfaz_ventas where pref_pre = 'D''9')");
        post(today_.addDays(-1));
        QCOMPARE(ui_->errors, QStringList());
        QCOMPARE(ui_->messages, QStringList({kPosted, kFailed}));
        QCOMPARE(listing(), QStringList({"Falta cuenta|IVA 16%|Contado O'Brien"}));
        QCOMPARE(gridRows(), QStringList({"Falta cuenta|IVA 16%|Contado O'Brien"}));
    }

    void beforeSignInTheClosedPointsOfSaleAreReported() {
        // What F2 does before sign-in, while the button is still disabled.
        QVERIFY(!w().SpeedButton3->isEnabled());
        QStringList bannerWhenShown;
        auto* application = static_cast<app::Application*>(QCoreApplication::instance());
        application->setErrorDisplay([&](const QString& text) {
            bannerWhenShown << QString::number(w().Panel5->isVisible());
            ui_->errors << text;
        });
        QVERIFY(!w().runHandler([this] { w().SpeedButton3Click(); }));
        QCOMPARE(ui_->errors,
                 QStringList({"CPuntos: Cannot perform this operation on a closed dataset."}));
        QCOMPARE(bannerWhenShown, QStringList({"0"}));
        QCOMPARE(ui_->messages, QStringList());
    }

    void withoutAChosenPointNothingIsPosted() {
        CompanyProbe probe(companies_, QStringLiteral("001"));
        const QString before = footprint(probe);
        signIn(QStringLiteral("001"));
        QCOMPARE(w().Pto->text(), "");
        post(today_);
        QCOMPARE(ui_->errors, QStringList());
        QCOMPARE(ui_->messages, QStringList({kChoosePoint}));
        checkRunEnded();
        QCOMPARE(footprint(probe), before);

        // A point of 001 that company 002 does not have, kept after signing
        // in to 002.
        choosePoint(QStringLiteral("Caja de O'Brien"));
        ui_->window->Cia->setText(QStringLiteral("002"));
        ui_->window->Cia->setFocus();
        QTest::keyClick(ui_->window->Cia, Qt::Key_Tab);
        QCOMPARE(ui_->errors, QStringList());
        CompanyProbe other(companies_, QStringLiteral("002"));
        const QString otherBefore = footprint(other);
        QTest::mouseClick(w().SpeedButton3, Qt::LeftButton);
        QCOMPARE(ui_->errors, QStringList());
        QCOMPARE(ui_->messages, QStringList({kChoosePoint, kChoosePoint}));
        checkRunEnded();
        QCOMPARE(footprint(other), otherBefore);
    }

    // The test's locale writes month/day/year; a company that reads another
    // order would post another day, so nothing goes out.
    void aCompanyReadingAnotherDateOrderPostsNothing_data() {
        QTest::addColumn<QString>("order");
        QTest::addColumn<QString>("words");
        QTest::addColumn<int>("daysBack");
        QTest::newRow("day first") << QStringLiteral("DMY") << QStringLiteral("día/mes/año") << 3;
        QTest::newRow("year first")
            << QStringLiteral(" ymd ") << QStringLiteral("año/mes/día") << 4;
    }

    void aCompanyReadingAnotherDateOrderPostsNothing() {
        QFETCH(QString, order);
        QFETCH(QString, words);
        QFETCH(int, daysBack);
        CompanyProbe probe(companies_, QStringLiteral("002"));
        const QString setting = QStringLiteral(
            " where conf_modulo = 'GENERAL' and conf_categoria = 'FECHAS' and conf_propiedad = "
            "'ORDEN FECHA CORTA'");
        const QString own = probe.value("select conf_valor from configuracion" + setting);
        QCOMPARE(own, QStringLiteral("MDY"));
        probe.execute("update configuracion set conf_valor = '" + order + "'" + setting);
        // The company's own order comes back however the case ends.
        const std::unique_ptr<void, std::function<void(void*)>> restore(&probe, [&](void*) {
            probe.execute("update configuracion set conf_valor = '" + own + "'" + setting);
        });
        const QString before = footprint(probe);
        const std::string statementBefore = sets().CRepArticulos.CommandText();
        signIn(QStringLiteral("002"));
        choosePoint(QStringLiteral("Cafetería Usaquén"));
        post(today_.addDays(-daysBack));
        QCOMPARE(ui_->errors, QStringList());
        QCOMPARE(ui_->messages,
                 QStringList({"La compañía lee las fechas en el orden " + words +
                              " y este equipo las escribe en el orden mes/día/año. No se "
                              "contabilizó nada: ajuste el formato de fecha corta del equipo al "
                              "de la compañía."}));
        checkRunEnded();
        QCOMPARE(sets().CRepArticulos.CommandText(), statementBefore);
        QCOMPARE(footprint(probe), before);

        // With the company's order back, the same run posts.
        probe.execute("update configuracion set conf_valor = '" + own + "'" + setting);
        ui_->messages.clear();
        QTest::mouseClick(w().SpeedButton3, Qt::LeftButton);
        QCOMPARE(ui_->errors, QStringList());
        QCOMPARE(ui_->messages, QStringList({kPosted}));
    }

    void withoutAClientCodeNothingIsSent_data() {
        QTest::addColumn<QString>("companyCode");
        QTest::newRow("no company row")
            << QStringLiteral("delete from configuracion where ") + kCompanyClientCode;
    }

    void withoutAClientCodeNothingIsSent() {
        QFETCH(QString, companyCode);
        CompanyProbe probe(companies_, QStringLiteral("002"));
        const QString code =
            probe.value("select conf_valor from configuracion where " + kCompanyClientCode);
        probe.execute("update autorizaciones set auto_nitcontado = '' where pref_pre = 'CF05'");
        probe.execute(companyCode);
        const QString before = footprint(probe);
        signIn(QStringLiteral("002"));
        choosePoint(QStringLiteral("Cafetería Usaquén"));
        post(today_);
        probe.execute("update or insert into configuracion (conf_modulo, conf_categoria, "
                      "conf_propiedad, conf_valor) values ('FACTURACION', 'FACTURAS', 'CODIGO DEL "
                      "CLIENTE PARA VENTAS DE CONTADO', '" +
                      code + "') matching (conf_modulo, conf_categoria, conf_propiedad)");
        QCOMPARE(ui_->errors, QStringList());
        QCOMPARE(ui_->messages, QStringList({kNoClient}));
        checkRunEnded();
        QCOMPARE(footprint(probe), before);
        QVERIFY(!w().DBGrid1->isEnabled());
    }

    void anEmptyCompanyCodeGoesOutEmpty() {
        CompanyProbe probe(companies_, QStringLiteral("002"));
        const QString code =
            probe.value("select conf_valor from configuracion where " + kCompanyClientCode);
        probe.execute("update autorizaciones set auto_nitcontado = '' where pref_pre = 'CF05'");
        probe.execute("update configuracion set conf_valor = '' where " + kCompanyClientCode);
        signIn(QStringLiteral("002"));
        choosePoint(QStringLiteral("Cafetería Usaquén"));
        post(today_);
        probe.execute("update configuracion set conf_valor = '" + code + "' where " +
                      kCompanyClientCode);
        QCOMPARE(ui_->errors, QStringList());
        QVERIFY2(
            QString::fromStdString(sets().CRepArticulos.CommandText()).contains(", '', 'CF05', "),
            sets().CRepArticulos.CommandText().c_str());
        // The procedure says what is missing.
        QCOMPARE(ui_->messages, QStringList({kFailed}));
        QVERIFY2(listing().value(0).startsWith("Falta cliente|"), qPrintable(listing().join('\n')));
        checkRunEnded();
    }

    void withoutAnInterfaceNothingIsSent() {
        CompanyProbe probe(companies_, QStringLiteral("002"));
        probe.execute("delete from interfaz_ventas where pref_pre = 'FV03' and tido_cod = 31");
        const QString before = footprint(probe);
        signIn(QStringLiteral("002"));
        choosePoint(QStringLiteral("Tienda D'Ángelo"));
        post(today_);
        QCOMPARE(ui_->errors, QStringList());
        QCOMPARE(ui_->messages,
                 QStringList({"No se encontró la interfaz de ventas del prefijo FV03."}));
        checkRunEnded();
        QCOMPARE(footprint(probe), before);
    }

    void aNegativeErrorCountIsASuccess() {
        CompanyProbe probe(companies_, QStringLiteral("002"));
        probe.execute(localPostingProcedure(
            "select ver, idc, err from contabilizar_ventas_contado(:fecha, :cliente, :prefijo, "
            ":punto, :interfaz, 'L') into :ver, :idc, :err; if (err = 0) then err = -3; "
            "suspend;"));
        signIn(QStringLiteral("002"));
        choosePoint(QStringLiteral("Almacén Principal Centro"));
        post(today_);
        QCOMPARE(ui_->errors, QStringList());
        QCOMPARE(ui_->messages, QStringList({kPosted}));
        QVERIFY(!w().DBGrid1->isEnabled());
        QCOMPARE(probe.rows("select comp_estado from comprobantes where ptvt_id = 1 and "
                            "comp_fecha = " +
                            CompanyProbe::isoDate(today_)),
                 QStringList({"C"}));
    }

    void aProcedureWithoutRowsIsReported() {
        CompanyProbe probe(companies_, QStringLiteral("002"));
        probe.execute(localPostingProcedure("if (1 = 0) then suspend;"));
        signIn(QStringLiteral("002"));
        choosePoint(QStringLiteral("Almacén Principal Centro"));
        post(today_.addDays(-1));
        QVERIFY2(ui_->errors.isEmpty(), qPrintable(ui_->errors.join('\n')));
        QCOMPARE(ui_->messages, QStringList({kNotPosted}));
        checkRunEnded();
        QVERIFY(!w().DBGrid1->isEnabled());
    }

    void aFailureInTheDatabaseHidesTheBannerBeforeTheError() {
        CompanyProbe probe(companies_, QStringLiteral("002"));
        probe.execute(localPostingProcedure("idc = 1 / 0; suspend;"));
        signIn(QStringLiteral("002"));
        choosePoint(QStringLiteral("Almacén Principal Centro"));
        QStringList bannerWhenShown;
        auto* application = static_cast<app::Application*>(QCoreApplication::instance());
        application->setErrorDisplay([&](const QString& text) {
            bannerWhenShown << QString::number(w().Panel5->isVisible());
            ui_->errors << text;
        });
        post(today_.addDays(-1));
        QCOMPARE(ui_->errors.size(), 1);
        QVERIFY2(ui_->errors.first().contains("SQL Server Error: "), qPrintable(ui_->errors[0]));
        QCOMPARE(bannerWhenShown, QStringList({"0"}));
        QCOMPARE(ui_->messages, QStringList());

        // The next run starts over.
        probe.execute(localPostingProcedure(
            "select ver, idc, err from contabilizar_ventas_contado(:fecha, :cliente, :prefijo, "
            ":punto, :interfaz, 'L') into :ver, :idc, :err; suspend;"));
        ui_->signIn(QStringLiteral("002"), companies_.user(), companies_.password());
        choosePoint(QStringLiteral("Almacén Principal Centro"));
        post(today_.addDays(-1));
        QCOMPARE(ui_->errors.size(), 1);
        QCOMPARE(ui_->messages, QStringList({kPosted}));
        checkRunEnded();
    }

    void journeyOverAServerOnLoopback() {
        const QString server = qEnvironmentVariable("PELMORA_FB_SERVER");
        if (server.isEmpty())
            QSKIP("no test server: run scripts/firebird-test-server.sh start");
        ui_.reset();
        {
            PostingCompanies remote(server + ":", qEnvironmentVariable("PELMORA_FB_USER"),
                                    qEnvironmentVariable("PELMORA_FB_PASSWORD"));
            QVERIFY(remote.create({QStringLiteral("001")}));
            CompanyProbe probe(remote, QStringLiteral("001"));
            const QDate today =
                QDate::fromString(probe.value("select max(fact_fecha) from facturas"), Qt::ISODate);
            ui_ = std::make_unique<WindowUnderTest>();
            QVERIFY(ui_->waitActive());
            QCOMPARE(w().Servidor->currentText(), remote.entry());
            ui_->signIn(QStringLiteral("001"), remote.user(), remote.password());
            QCOMPARE(ui_->errors, QStringList());

            choosePoint(QStringLiteral("Almacén Principal Centro"));
            post(today);
            post(today);
            choosePoint(QStringLiteral("Punto Móvil Feria de las Flores"));
            post(today);
            QCOMPARE(ui_->errors, QStringList());
            QCOMPARE(ui_->messages, QStringList({kPosted, kFailed}));
            QCOMPARE(probe.rows("select comp_estado, libr_cod from comprobantes"),
                     QStringList({"C|L"}));
            const QString name = QStringLiteral("Contado Punto Móvil Feria de las Flores");
            QCOMPARE(gridRows(), QStringList({"Falta cuenta|Ingreso 16%|" + name,
                                              "Falta cuenta|IVA 16%|" + name}));
            ui_.reset();
        }
        // The embedded companies' install directory for any test after this.
        qputenv("PELMORA_REGISTRY", companies_.registryPath().toLocal8Bit());
    }
};

PELMORA_APP_TEST_MAIN(TestPostingRun)
#include "tfcontavtascontado_posting_run_test.moc"
