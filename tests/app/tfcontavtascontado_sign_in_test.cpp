// Company sign-in over real demo company databases: what leaving the company
// field does with all three fields filled and with any of them empty, by Tab
// or by a click and not for a message box, the busy banner while the
// connection blocks, failures, and signing in again.

#include "app/form/window_data_sets.h"
#include "app/message_boxes.h"
#include "app/tfcontavtascontado.h"
#include "app_test_main.h"
#include "company_fixture.h"
#include "db/busy_cursor.h"
#include "db/sql_connection.h"
#include "ui/widgets/bevel_panel.h"
#include "ui/widgets/date_time_picker.h"
#include "ui/widgets/db_lookup_combo_box.h"
#include "ui/widgets/speed_button.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDate>
#include <QLineEdit>
#include <QTest>
#include <QTimer>

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

QStringList listed(const QComboBox* combo) {
    QStringList items;
    for (int i = 0; i < combo->count(); ++i)
        items << combo->itemText(i);
    return items;
}

} // namespace

class TestSignIn : public QObject {
    Q_OBJECT

private:
    CompanyFixture companies_;
    std::unique_ptr<WindowUnderTest> ui_;

    app::Tfcontavtascontado& w() { return *ui_->window; }

private slots:
    void initTestCase() {
        QVERIFY(companies_.create({QStringLiteral("001"), QStringLiteral("002")}));
        // Company 002 has points of sale of its own.
        WindowUnderTest setup;
        QVERIFY(setup.waitActive());
        setup.signIn(QStringLiteral("002"));
        QVERIFY2(setup.errors.isEmpty(), qPrintable(setup.errors.join('\n')));
        setup.window->Pelmora->executeStatement(
            "update punto_venta set ptvt_nom = 'Bodega Norte ' || ptvt_id");
    }

    void init() {
        ui_ = std::make_unique<WindowUnderTest>();
        QVERIFY(ui_->waitActive());
    }

    void cleanup() { ui_.reset(); }

    void emptyFieldsDoNothing_data() {
        QTest::addColumn<QString>("user");
        QTest::addColumn<QString>("password");
        QTest::addColumn<QString>("company");
        QTest::newRow("no company") << "SYSDBA"
                                    << "masterkey"
                                    << "";
        QTest::newRow("no user") << ""
                                 << "masterkey"
                                 << "001";
        QTest::newRow("no password") << "SYSDBA"
                                     << ""
                                     << "001";
    }

    void emptyFieldsDoNothing() {
        QFETCH(QString, user);
        QFETCH(QString, password);
        QFETCH(QString, company);
        ui_->signIn(company, user, password);
        QVERIFY(ui_->errors.isEmpty());
        QVERIFY(!w().Pelmora->Connected());
        QCOMPARE(w().Pelmora->Params.value("Database"), "");
        QCOMPARE(w().Pelmora->Params.value("User_Name"), "");
        QVERIFY(!w().Panel5->isVisible());
        QCOMPARE(w().Panel5->caption(), "Generando informe. espere un momento...");
        QVERIFY(!w().EFecIni->isEnabled());
        QCOMPARE(w().EFecIni->date(), QDate(2003, 1, 20));
        QVERIFY(!w().SpeedButton3->isEnabled());
        QVERIFY(!w().dataSets->CPuntos.Active());
        QCOMPARE(w().Pto->count(), 0);
        QCOMPARE(QApplication::focusWidget(), w().ckniif);
    }

    void signInConnectsAndLoadsThePointsOfSale() {
        ui_->signIn(QStringLiteral("001"));
        QVERIFY2(ui_->errors.isEmpty(), qPrintable(ui_->errors.join('\n')));
        QVERIFY(w().Pelmora->Connected());
        QCOMPARE(QString::fromStdString(w().Pelmora->Params.value("Database")),
                 companies_.entry() + "/datos/001/pelmora.fdb");
        QCOMPARE(w().Pelmora->Params.value("User_Name"), "SYSDBA");
        // The stored Password line is the one replaced; no second line.
        QCOMPARE(w().Pelmora->Params.lines()[6].first, "Password");
        QCOMPARE(w().Pelmora->Params.lines()[6].second, "masterkey");
        QCOMPARE(w().Pelmora->Params.lines().size(), std::size_t(13));
        QVERIFY(w().EFecIni->isEnabled());
        QCOMPARE(w().EFecIni->date(), QDate::currentDate());
        QVERIFY(w().SpeedButton3->isEnabled());
        QVERIFY(!w().Panel5->isVisible());
        QCOMPARE(w().Panel5->caption(), "Conectando a la base de datos 001 ...");
        QCOMPARE(QApplication::focusWidget(), w().EFecIni);
        QCOMPARE(listed(w().Pto),
                 QStringList({"Almacén Principal Centro", "Sucursal Chapinero", "Tienda D'Ángelo",
                              "Punto Móvil Feria de las Flores", "Cafetería Usaquén"}));
        QCOMPARE(w().Pto->text(), "");
    }

    void bannerIsShownAndPaintedWhileConnecting() {
        PaintCounter counter;
        w().Panel5->installEventFilter(&counter);
        QStringList seen;
        db::BusyCursor::setHandler([&](bool busy) {
            if (busy)
                seen << QStringLiteral("%1|%2|%3")
                            .arg(w().Panel5->isVisible())
                            .arg(counter.paints > 0)
                            .arg(w().Panel5->caption());
        });
        ui_->signIn(QStringLiteral("001"));
        db::BusyCursor::setHandler({});
        QVERIFY(!seen.isEmpty());
        QCOMPARE(seen.first(), "1|1|Conectando a la base de datos 001 ...");
        QVERIFY(!w().Panel5->isVisible());
    }

    void signingInAgainReadsTheOtherCompanysPointsOfSale() {
        ui_->signIn(QStringLiteral("001"));
        QCOMPARE(w().Pto->count(), 5);
        ui_->signIn(QStringLiteral("002"));
        QVERIFY2(ui_->errors.isEmpty(), qPrintable(ui_->errors.join('\n')));
        QVERIFY(w().Pelmora->Connected());
        QCOMPARE(QString::fromStdString(w().Pelmora->Params.value("Database")),
                 companies_.entry() + "/datos/002/pelmora.fdb");
        QCOMPARE(w().Pto->itemText(0), "Bodega Norte 1");
        QCOMPARE(w().Pto->count(), 5);
    }

    void failedSignInHidesTheBannerBeforeTheError() {
        QStringList bannerWhenShown;
        auto* application = static_cast<app::Application*>(QCoreApplication::instance());
        application->setErrorDisplay([&](const QString& text) {
            bannerWhenShown << QString::number(w().Panel5->isVisible());
            ui_->errors << text;
        });
        ui_->signIn(QStringLiteral("999"));
        QCOMPARE(ui_->errors.size(), 1);
        QVERIFY2(ui_->errors.first().contains("999/pelmora.fdb"), qPrintable(ui_->errors.first()));
        QCOMPARE(bannerWhenShown, QStringList({"0"}));
        QVERIFY(!w().Pelmora->Connected());
        QCOMPARE(QString::fromStdString(w().Pelmora->Params.value("Database")),
                 companies_.entry() + "/datos/999/pelmora.fdb");
        // The date picker and the F2 button keep the state they had.
        QVERIFY(!w().EFecIni->isEnabled());
        QVERIFY(!w().SpeedButton3->isEnabled());

        // The next sign-in starts over.
        ui_->signIn(QStringLiteral("001"));
        QCOMPARE(ui_->errors.size(), 1);
        QVERIFY(w().Pelmora->Connected());
        QVERIFY(w().SpeedButton3->isEnabled());
    }

    void failedSignInAfterASuccessfulOneDropsTheOldList() {
        ui_->signIn(QStringLiteral("001"));
        QCOMPARE(w().Pto->count(), 5);
        ui_->signIn(QStringLiteral("999"));
        QCOMPARE(ui_->errors.size(), 1);
        QVERIFY(!w().Pelmora->Connected());
        QCOMPARE(w().Pto->count(), 0);
        QVERIFY(w().SpeedButton3->isEnabled());
    }

    // A code that would lead outside the entry's datos/ folder, here to
    // company 002 by a way round: refused in the error box before anything
    // is opened, and the company signed in to stays.
    void aCodeThatLeadsOutsideTheDataFolderIsRefusedAndTheCompanyStays() {
        ui_->signIn(QStringLiteral("001"));
        QVERIFY2(ui_->errors.isEmpty(), qPrintable(ui_->errors.join('\n')));
        ui_->signIn(QStringLiteral("../datos/002"));
        QCOMPARE(ui_->errors.size(), 1);
        QVERIFY2(ui_->errors.first().startsWith(
                     QStringLiteral("El código de compañía no es válido: \"../datos/002\".")),
                 qPrintable(ui_->errors.first()));
        QVERIFY(!w().Panel5->isVisible());
        QVERIFY(w().Pelmora->Connected());
        QCOMPARE(QString::fromStdString(w().Pelmora->Params.value("Database")),
                 companies_.entry() + "/datos/001/pelmora.fdb");
        QCOMPARE(w().Pto->count(), 5);
        QVERIFY(w().SpeedButton3->isEnabled());
    }

    void leavingTheCompanyByAClickSignsIn_data() {
        QTest::addColumn<QString>("target");
        QTest::newRow("check box") << "ckniif";
        QTest::newRow("user") << "Tusua";
        QTest::newRow("point of sale") << "Pto";
    }

    void leavingTheCompanyByAClickSignsIn() {
        QFETCH(QString, target);
        w().Tusua->setText(QStringLiteral("SYSDBA"));
        w().TClave->setText(QStringLiteral("masterkey"));
        w().Cia->setText(QStringLiteral("001"));
        w().Cia->setFocus();
        QTest::mouseClick(w().findChild<QWidget*>(target), Qt::LeftButton, {}, QPoint(5, 5));
        if (QWidget* list = QApplication::activePopupWidget())
            list->close();
        QVERIFY2(ui_->errors.isEmpty(), qPrintable(ui_->errors.join('\n')));
        QVERIFY(w().Pelmora->Connected());
        QVERIFY(w().SpeedButton3->isEnabled());
        QCOMPARE(w().Pto->count(), 5);
    }

    void aMessageBoxTakingTheFocusDoesNotSignIn() {
        w().Tusua->setText(QStringLiteral("SYSDBA"));
        w().TClave->setText(QStringLiteral("masterkey"));
        w().Cia->setText(QStringLiteral("001"));
        w().Cia->setFocus();
        // The box is answered once it has the focus.
        bool boxHadTheFocus = false;
        QTimer answer;
        QObject::connect(&answer, &QTimer::timeout, [&boxHadTheFocus] {
            QWidget* box = QApplication::activeModalWidget();
            if (box && box->isAncestorOf(QApplication::focusWidget())) {
                boxHadTheFocus = true;
                box->close();
            }
        });
        answer.start(10);
        app::showPlainMessage(QStringLiteral("Un aviso"));
        answer.stop();
        QVERIFY(boxHadTheFocus);
        QVERIFY(!w().Pelmora->Connected());
        QVERIFY(!w().Panel5->isVisible());
        QVERIFY(!w().SpeedButton3->isEnabled());
        QCOMPARE(ui_->errors, QStringList());
    }

    void emptyServerEntryGivesARootedPath() {
        w().Servidor->clear();
        ui_->signIn(QStringLiteral("001"));
        QCOMPARE(w().Pelmora->Params.value("Database"), "/datos/001/pelmora.fdb");
        QCOMPARE(ui_->errors.size(), 1);
    }

    void theConnectionUsesTheDriverBesideTheProgram() {
        QCOMPARE(QString::fromStdString(w().Pelmora->LibraryName),
                 QCoreApplication::applicationDirPath() + "/libsqldrvfb.so");
        QCOMPARE(w().Pelmora->GetDriverFunc, "getSQLDriverFIREBIRD");
        QCOMPARE(w().Pelmora->VendorLib, "libfbclient.so.2");
        QVERIFY(!w().Pelmora->LoginPrompt);
    }
};

PELMORA_APP_TEST_MAIN(TestSignIn)
#include "tfcontavtascontado_sign_in_test.moc"
