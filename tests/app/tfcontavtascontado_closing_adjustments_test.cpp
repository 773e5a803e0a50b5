// The closing-rate adjustments driven with F5 and F2 over real demo
// companies: the reset of a day with no rows and with more rows than the
// standard three, rows of other days left alone, rows the user adds with the
// navigator, saving before a posting run, a date changed while editing,
// signing in to another company with the adjustments open, rows the
// database refuses: reported, kept and saved once corrected, and rows
// another user changed or deleted meanwhile: read again.

#include "adjustments_fixture.h"
#include "app_test_main.h"
#include "ui/widgets/bevel_panel.h"
#include "ui/widgets/db_navigator.h"

#include <QTest>
#include <QToolButton>

#include <memory>

using namespace adjustments;

class TestClosingAdjustments : public QObject, protected WindowTestBase {
    Q_OBJECT

private:
    void signIn(const QString& company) {
        ui_->signIn(company, companies_.user(), companies_.password());
        QCOMPARE(ui_->errors, QStringList());
    }

    // Signs in to company 001 and opens the adjustments of a day with F5.
    void openAdjustments(const QDate& day) {
        signIn(QStringLiteral("001"));
        s().chooseDay(day);
        s().press(Qt::Key_F5);
    }

    // The editor's three standard rows of a day, as the grid lists them.
    QStringList standardRows(const QDate& day) {
        const QString date = day.toString(Qt::ISODate);
        return {QStringLiteral("5.0000|0.8000|0|%1|%1").arg(date),
                QStringLiteral("16.0000|0.8000|0|%1|%1").arg(date),
                QStringLiteral("0.0000|0.8000|0|%1|%1").arg(date)};
    }

    // Back to the company field with Shift+Tab, a new code typed over the
    // old one, and Tab: a user signing in to another company.
    void signInAgainTo(const QString& company) {
        // Out of the adjustments grid, where Tab moves between cells, with
        // a click on the date.
        if (w().CaptionPanel1->isAncestorOf(QApplication::focusWidget()))
            QTest::mouseClick(w().EFecIni, Qt::LeftButton, {}, QPoint(5, 5));
        for (int keys = 0; QApplication::focusWidget() != w().Cia && keys < 10; ++keys)
            s().press(Qt::Key_Tab, Qt::ShiftModifier);
        QCOMPARE(QApplication::focusWidget(), w().Cia);
        w().Cia->selectAll();
        QTest::keyClicks(w().Cia, company);
        s().press(Qt::Key_Tab);
    }

    QString signedInTo() {
        return QString::fromStdString(w().Pelmora->Params.value("Database")).section('/', -2, -2);
    }

    QStringList gridColumn(int column) {
        QStringList cells;
        for (int row = 0; row < w().DBGrid2->rowCount(); ++row)
            cells << w().DBGrid2->cellText(row, column).trimmed();
        return cells;
    }

    // Makes a company's rows of the day differ from the other's: another
    // factor for 16 %, and a 19 % row.
    static void makeRowsDiffer(CompanyProbe& company, const QDate& day) {
        const QString d = CompanyProbe::isoDate(day);
        company.execute("update ajuste_cierre set ajci_factor = 0.9 where ajci_porc = 16 and "
                        "ajci_fecini = " +
                        d);
        company.execute("insert into ajuste_cierre values (0, " + d + ", " + d + ", 19, 0.6)");
    }

private slots:
    void initTestCase() {
        QVERIFY(companies_.create({QStringLiteral("001"), QStringLiteral("002")}));
        today_ = latestSalesDay(QStringLiteral("001"));
        QVERIFY(today_.isValid());
        // Company 002 refuses negative rates.
        CompanyProbe refusing(companies_, QStringLiteral("002"));
        refusing.execute("alter table ajuste_cierre add constraint ck_ajuste_cierre_porc "
                         "check (ajci_porc >= 0)");
    }

    void init() { QVERIFY(openWindow()); }

    void cleanup() { closeWindow(); }

    void aDayWithoutRowsGetsTheThreeStandardRows() {
        CompanyProbe probe(companies_, QStringLiteral("001"));
        const QDate day = today_.addDays(30);
        const QStringList others = otherRows(probe, day);
        openAdjustments(day);
        QCOMPARE(ui_->errors, QStringList());
        QVERIFY(w().CaptionPanel1->isVisible());
        QCOMPARE(QString::fromStdString(sets().CAjuste.Filter()),
                 "AJCI_FECINI = '" + day.toString("MM/dd/yyyy") + "'");
        QVERIFY(sets().CAjuste.Filtered());
        QCOMPARE(editorRows(sets()), standardRows(day));
        QCOMPARE(sets().CAjuste.ChangeCount(), 3);
        QCOMPARE(gridColumn(2).size(), 3);
        // Nothing reaches the table before the editor is closed.
        QCOMPARE(storedRows(probe, day), QStringList());

        s().press(Qt::Key_F5);
        QCOMPARE(ui_->errors, QStringList());
        QCOMPARE(ui_->messages, QStringList());
        QVERIFY(!w().CaptionPanel1->isVisible());
        QVERIFY(!sets().CAjuste.Active());
        QCOMPARE(storedRows(probe, day),
                 QStringList({row(day, "0.0000"), row(day, "5.0000"), row(day, "16.0000")}));
        QCOMPARE(otherRows(probe, day), others);
    }

    void aDayWithFiveRowsKeepsTheStandardOnesAndTheUsersChange() {
        CompanyProbe probe(companies_, QStringLiteral("001"));
        const QDate day = today_.addDays(-2);
        const QString d = CompanyProbe::isoDate(day);
        probe.execute("insert into ajuste_cierre values (7, " + d + ", " + d + ", 10, 0.5)");
        probe.execute("insert into ajuste_cierre values (8, " + d + ", " +
                      CompanyProbe::isoDate(day.addDays(5)) + ", 19, 0.75)");
        // Rows of other days, one of them covering the day.
        probe.execute("insert into ajuste_cierre values (9, " +
                      CompanyProbe::isoDate(day.addDays(-10)) + ", " +
                      CompanyProbe::isoDate(day.addDays(10)) + ", 16, 0.6)");
        probe.execute("insert into ajuste_cierre values (10, null, " + d + ", 5, 0.7)");
        QCOMPARE(storedRows(probe, day).size(), 5);
        const QStringList others = otherRows(probe, day);

        openAdjustments(day);
        QCOMPARE(editorRows(sets()), standardRows(day));
        QCOMPARE(sets().CAjuste.ChangeCount(), 5 + 3);
        // The user sets the 16 % row's factor.
        s().typeIntoGrid(1, 3, QStringLiteral("0.7"));
        s().press(Qt::Key_F5);
        QCOMPARE(ui_->errors, QStringList());
        QCOMPARE(ui_->messages, QStringList());
        QCOMPARE(storedRows(probe, day), QStringList({row(day, "0.0000"), row(day, "5.0000"),
                                                      row(day, "16.0000", "0.7000")}));
        QCOMPARE(otherRows(probe, day), others);
    }

    void aRowAddedWithTheNavigatorStartsOnThePanelsDay() {
        CompanyProbe probe(companies_, QStringLiteral("001"));
        const QDate day = today_.addDays(31);
        openAdjustments(day);
        // A day picked after the opening is not the panel's.
        s().chooseDay(day.addDays(1));
        QTest::mouseClick(w().DBNavigator1->button(ui::NavigateButton::Insert), Qt::LeftButton);
        QCOMPARE(sets().CAjuste.State(), dataset::DataSetState::Insert);
        QVERIFY(!sets().CAjusteAJCI_ID->IsNull());
        QCOMPARE(sets().CAjusteAJCI_ID->AsInteger(), 0);
        QCOMPARE(isoDay(*sets().CAjusteAJCI_FECINI), day.toString(Qt::ISODate));
        QCOMPARE(isoDay(*sets().CAjusteAJCI_FECFIN), day.toString(Qt::ISODate));
        QVERIFY(sets().CAjusteAJCI_PORC->IsNull());
        QVERIFY(!sets().CAjuste.Modified());
        // The new row lands before the 5 % row and, posted, stays in view.
        s().typeIntoGrid(-1, 2, QStringLiteral("19"));
        s().typeIntoGrid(-1, 3, QStringLiteral("0.5"));
        const QString date = day.toString(Qt::ISODate);
        QCOMPARE(editorRows(sets()),
                 QStringList({"19.0000|0.5000|0|" + date + "|" + date}) + standardRows(day));
        s().press(Qt::Key_F5);
        QVERIFY2(ui_->errors.isEmpty(), qPrintable(ui_->errors.join('\n')));
        QCOMPARE(storedRows(probe, day),
                 QStringList({row(day, "0.0000"), row(day, "5.0000"), row(day, "16.0000"),
                              row(day, "19.0000", "0.5000")}));
    }

    void aNewRowLeftUntouchedIsNotSaved() {
        CompanyProbe probe(companies_, QStringLiteral("001"));
        const QDate day = today_.addDays(32);
        const QString blank = QStringLiteral("select count(*) from ajuste_cierre "
                                             "where ajci_fecini is null and ajci_porc is null");
        const QString before = probe.value(blank);
        openAdjustments(day);
        // Down past the last row appends a row; Up right away drops it.
        w().DBGrid2->setFocus();
        sets().CAjuste.Last();
        QTest::keyClick(w().DBGrid2, Qt::Key_Down);
        QCOMPARE(sets().CAjuste.State(), dataset::DataSetState::Insert);
        QVERIFY(!sets().CAjusteAJCI_ID->IsNull());
        QCOMPARE(sets().CAjusteAJCI_ID->AsInteger(), 0);
        QVERIFY(!sets().CAjuste.Modified());
        QTest::keyClick(w().DBGrid2, Qt::Key_Up);
        QCOMPARE(sets().CAjuste.State(), dataset::DataSetState::Browse);
        QCOMPARE(w().DBGrid2->rowCount(), 3);
        // A row inserted with the navigator and never typed into.
        QTest::mouseClick(w().DBNavigator1->button(ui::NavigateButton::Insert), Qt::LeftButton);
        QCOMPARE(sets().CAjuste.State(), dataset::DataSetState::Insert);
        s().press(Qt::Key_F5);
        QCOMPARE(ui_->errors, QStringList());
        QCOMPARE(ui_->messages, QStringList());
        QCOMPARE(probe.value(blank), before);
        QCOMPARE(storedRows(probe, day),
                 QStringList({row(day, "0.0000"), row(day, "5.0000"), row(day, "16.0000")}));
    }

    void textStillInACellIsSavedWithTheRow() {
        CompanyProbe probe(companies_, QStringLiteral("001"));
        const QDate day = today_.addDays(35);
        openAdjustments(day);
        // F5 with the 16 % row's factor typed but not confirmed.
        s().typeIntoCell(1, 3, QStringLiteral("0.3"));
        s().press(Qt::Key_F5);
        QVERIFY2(ui_->errors.isEmpty(), qPrintable(ui_->errors.join('\n')));
        QVERIFY(!w().CaptionPanel1->isVisible());
        QCOMPARE(storedRows(probe, day), QStringList({row(day, "0.0000"), row(day, "5.0000"),
                                                      row(day, "16.0000", "0.3000")}));

        // A row inserted with the navigator whose only value is still in
        // its cell.
        s().press(Qt::Key_F5);
        QTest::mouseClick(w().DBNavigator1->button(ui::NavigateButton::Insert), Qt::LeftButton);
        s().typeIntoCell(-1, 2, QStringLiteral("7"));
        s().press(Qt::Key_F5);
        QVERIFY2(ui_->errors.isEmpty(), qPrintable(ui_->errors.join('\n')));
        QCOMPARE(storedRows(probe, day),
                 QStringList({row(day, "0.0000"), row(day, "5.0000"), row(day, "7.0000", ""),
                              row(day, "16.0000")}));
    }

    void f2SavesTextStillInACellThenPosts() {
        CompanyProbe probe(companies_, QStringLiteral("001"));
        const QDate day = today_.addDays(37);
        openAdjustments(day);
        s().typeIntoCell(2, 3, QStringLiteral("0.4"));
        s().press(Qt::Key_F2);
        QVERIFY2(ui_->errors.isEmpty(), qPrintable(ui_->errors.join('\n')));
        QVERIFY(!w().CaptionPanel1->isVisible());
        QCOMPARE(storedRows(probe, day), QStringList({row(day, "0.0000", "0.4000"),
                                                      row(day, "5.0000"), row(day, "16.0000")}));
    }

    void textACellRefusesKeepsTheAdjustmentsOpen() {
        CompanyProbe probe(companies_, QStringLiteral("001"));
        const QDate day = today_.addDays(36);
        openAdjustments(day);
        s().typeIntoCell(0, 1, QStringLiteral("13/45/2024"));
        s().press(Qt::Key_F5);
        QCOMPARE(ui_->errors, QStringList({"'13/45/2024' is not a valid date."}));
        QVERIFY(w().CaptionPanel1->isVisible());
        QVERIFY(sets().CAjuste.Active());
        QCOMPARE(storedRows(probe, day), QStringList());
    }

    void datesAreTypedAndShownInTheUsersShortDateFormat() {
        CompanyProbe probe(companies_, QStringLiteral("001"));
        const QDate day = today_.addDays(34);
        openAdjustments(day);
        QCOMPARE(w().DBGrid2->cellText(0, 0), day.toString("MM/dd/yyyy"));
        s().typeIntoGrid(0, 1, day.addDays(6).toString("MM/dd/yyyy"));
        s().press(Qt::Key_F5);
        QVERIFY2(ui_->errors.isEmpty(), qPrintable(ui_->errors.join('\n')));
        QCOMPARE(storedRows(probe, day).value(1),
                 QStringLiteral("0|%1|%2|5.0000|0.8000")
                     .arg(day.toString(Qt::ISODate), day.addDays(6).toString(Qt::ISODate)));
    }

    void openingAgainAfterF2ResetsWithoutReadingTheTable() {
        CompanyProbe probe(companies_, QStringLiteral("001"));
        const QDate day = today_.addDays(-3);
        int reads = 0;
        sets().CAjuste.AfterOpen = [&reads](dataset::ClientDataSet&) { ++reads; };
        signIn(QStringLiteral("001"));
        s().choosePoint(QStringLiteral("Almacén Principal Centro"));
        s().chooseDay(day);
        s().press(Qt::Key_F5);
        s().typeIntoGrid(0, 3, QStringLiteral("0.9"));
        s().press(Qt::Key_F2);
        QCOMPARE(ui_->errors, QStringList());
        QCOMPARE(ui_->messages, QStringList({kPosted}));
        QVERIFY(!w().CaptionPanel1->isVisible());
        QVERIFY(sets().CAjuste.Active());
        QCOMPARE(sets().CAjuste.ChangeCount(), 0);
        QCOMPARE(
            storedRows(probe, day),
            QStringList({row(day, "0.0000"), row(day, "5.0000", "0.9000"), row(day, "16.0000")}));

        // Someone else adds a row the open data set has never seen.
        probe.execute("insert into ajuste_cierre values (11, " + CompanyProbe::isoDate(day) + ", " +
                      CompanyProbe::isoDate(day) + ", 19, 0.5)");
        s().press(Qt::Key_F5);
        QCOMPARE(reads, 1);
        QCOMPARE(editorRows(sets()), standardRows(day));
        s().press(Qt::Key_F5);
        QCOMPARE(ui_->errors, QStringList());
        QCOMPARE(storedRows(probe, day),
                 QStringList({row(day, "0.0000"), row(day, "5.0000"), row(day, "16.0000"),
                              row(day, "19.0000", "0.5000", 11)}));
        QVERIFY(!sets().CAjuste.Active());
    }

    void changingTheDateWhileEditingTakesEffectAtTheNextOpening() {
        CompanyProbe probe(companies_, QStringLiteral("001"));
        const QDate first = today_.addDays(32);
        const QDate second = today_.addDays(33);
        signIn(QStringLiteral("001"));
        s().chooseDay(first);
        s().press(Qt::Key_F5);
        s().chooseDay(second);
        QCOMPARE(editorRows(sets()), standardRows(first));
        s().chooseDay(second);
        s().press(Qt::Key_F5);
        QCOMPARE(ui_->errors, QStringList());
        QCOMPARE(storedRows(probe, first).size(), 3);
        QCOMPARE(storedRows(probe, second), QStringList());
        s().press(Qt::Key_F5);
        QCOMPARE(editorRows(sets()), standardRows(second));
    }

    void openingBeforeSignInFailsAndKeepsThePanelHidden() {
        s().press(Qt::Key_F5);
        QCOMPARE(ui_->errors.size(), 1);
        QCOMPARE(ui_->errors.first(), "Missing Database property.");
        QVERIFY(!w().CaptionPanel1->isVisible());
        QVERIFY(!sets().CAjuste.Active());
    }

    void refusedRowsAreReportedKeptAndSavedOnceCorrected() {
        CompanyProbe probe(companies_, QStringLiteral("002"));
        const QDate day = today_;
        const QStringList before = storedRows(probe, day);
        QVERIFY(!before.isEmpty());
        signIn(QStringLiteral("002"));
        s().chooseDay(day);
        s().press(Qt::Key_F5);
        s().typeIntoGrid(0, 2, QStringLiteral("-5"));
        s().typeIntoGrid(1, 2, QStringLiteral("-16"));
        s().press(Qt::Key_F5);

        QCOMPARE(ui_->errors, QStringList());
        QCOMPARE(ui_->messages.size(), 1);
        const QStringList lines = ui_->messages.first().split('\n');
        QCOMPARE(lines.first(), kNotSaved);
        // The first refusal ends the save; the rows sent before it are
        // undone with it, and get no line of their own.
        QCOMPARE(ui_->messages.first().count("CK_AJUSTE_CIERRE_PORC"), 1);
        QVERIFY(!ui_->messages.first().contains("not saved"));
        QVERIFY(w().CaptionPanel1->isVisible());
        QVERIFY(sets().CAjuste.Active());
        QCOMPARE(sets().CAjuste.ChangeCount(), before.size() + 3);
        const QString date = day.toString(Qt::ISODate);
        QCOMPARE(editorRows(sets()), QStringList({"-5.0000|0.8000|0|" + date + "|" + date,
                                                  "-16.0000|0.8000|0|" + date + "|" + date,
                                                  "0.0000|0.8000|0|" + date + "|" + date}));
        // Nothing of the day changed in the table.
        QCOMPARE(storedRows(probe, day), before);

        s().typeIntoGrid(0, 2, QStringLiteral("5"));
        s().press(Qt::Key_F5);
        QCOMPARE(ui_->messages.size(), 2);
        QVERIFY(ui_->messages.last().contains("CK_AJUSTE_CIERRE_PORC"));
        QVERIFY(w().CaptionPanel1->isVisible());
        QCOMPARE(storedRows(probe, day), before);

        s().typeIntoGrid(1, 2, QStringLiteral("16"));
        s().press(Qt::Key_F5);
        QCOMPARE(ui_->messages.size(), 2);
        QCOMPARE(ui_->errors, QStringList());
        QVERIFY(!w().CaptionPanel1->isVisible());
        QVERIFY(!sets().CAjuste.Active());
        QCOMPARE(storedRows(probe, day),
                 QStringList({row(day, "0.0000"), row(day, "5.0000"), row(day, "16.0000")}));
    }

    void signingInToAnotherCompanySavesTheAdjustmentsWhereTheyWereMade() {
        CompanyProbe first(companies_, QStringLiteral("001"));
        CompanyProbe second(companies_, QStringLiteral("002"));
        const QDate day = today_.addDays(-6);
        makeRowsDiffer(second, day);
        const QStringList secondRows = storedRows(second, day);
        const QStringList secondOthers = otherRows(second, day);
        const QStringList firstOthers = otherRows(first, day);

        openAdjustments(day);
        s().typeIntoGrid(1, 3, QStringLiteral("0.7"));
        signInAgainTo(QStringLiteral("002"));
        QCOMPARE(ui_->errors, QStringList());
        QCOMPARE(ui_->messages, QStringList());
        QCOMPARE(signedInTo(), "002");
        QVERIFY(!w().CaptionPanel1->isVisible());
        QVERIFY(!sets().CAjuste.Active());
        const QStringList firstRows{row(day, "0.0000"), row(day, "5.0000"),
                                    row(day, "16.0000", "0.7000")};
        QCOMPARE(storedRows(first, day), firstRows);
        QCOMPARE(storedRows(second, day), secondRows);

        // The next F5 resets the new company's own rows.
        s().chooseDay(day);
        s().press(Qt::Key_F5);
        QCOMPARE(editorRows(sets()), standardRows(day));
        QCOMPARE(sets().CAjuste.ChangeCount(), secondRows.size() + 3);
        s().typeIntoGrid(0, 3, QStringLiteral("0.55"));
        s().press(Qt::Key_F5);
        QCOMPARE(ui_->errors, QStringList());
        QCOMPARE(ui_->messages, QStringList());
        QCOMPARE(
            storedRows(second, day),
            QStringList({row(day, "0.0000"), row(day, "5.0000", "0.5500"), row(day, "16.0000")}));
        QCOMPARE(storedRows(first, day), firstRows);
        QCOMPARE(otherRows(first, day), firstOthers);
        QCOMPARE(otherRows(second, day), secondOthers);
    }

    void signingInToAnotherCompanyAfterF2ReadsItsTableAndDropsTheListing() {
        CompanyProbe first(companies_, QStringLiteral("001"));
        CompanyProbe second(companies_, QStringLiteral("002"));
        const QDate day = today_.addDays(-7);
        makeRowsDiffer(second, day);
        signIn(QStringLiteral("001"));
        s().choosePoint(QStringLiteral("Almacén Principal Centro"));
        s().chooseDay(day);
        s().press(Qt::Key_F5);
        // A day without sales: the posting fails and lists why.
        s().press(Qt::Key_F2);
        QCOMPARE(ui_->errors, QStringList());
        QCOMPARE(ui_->messages.size(), 1);
        QVERIFY(ui_->messages.first().startsWith("Se presentaron los siguientes errores"));
        QVERIFY(w().DBGrid1->isEnabled());
        QVERIFY(w().DBGrid1->rowCount() > 0);
        QVERIFY(sets().CAjuste.Active());
        const QStringList firstRows = storedRows(first, day);

        signInAgainTo(QStringLiteral("002"));
        QCOMPARE(signedInTo(), "002");
        QVERIFY(!sets().CAjuste.Active());
        // Nothing of company 001 stays in sight.
        QVERIFY(!w().DBGrid1->isEnabled());
        QVERIFY(!sets().CError.Active());
        QCOMPARE(w().DBGrid1->rowCount(), 0);
        s().chooseDay(day);
        s().press(Qt::Key_F5);
        s().press(Qt::Key_F5);
        QCOMPARE(ui_->errors, QStringList());
        QCOMPARE(ui_->messages.size(), 1);
        QCOMPARE(storedRows(second, day),
                 QStringList({row(day, "0.0000"), row(day, "5.0000"), row(day, "16.0000")}));
        QCOMPARE(storedRows(first, day), firstRows);
    }

    void aClickFromTheCompanyFieldIntoTheAdjustmentsSignsInOnce() {
        CompanyProbe first(companies_, QStringLiteral("001"));
        const QDate day = today_.addDays(-11);
        signIn(QStringLiteral("001"));
        s().chooseDay(day);
        s().press(Qt::Key_F5);
        QVERIFY(w().CaptionPanel1->isVisible());
        // Back to the company field past the panel: the user field shows
        // above it.
        QTest::mouseClick(w().Tusua, Qt::LeftButton, {}, QPoint(40, 2));
        s().press(Qt::Key_Tab);
        s().press(Qt::Key_Tab);
        QCOMPARE(QApplication::focusWidget(), w().Cia);
        w().Cia->selectAll();
        QTest::keyClicks(w().Cia, QStringLiteral("002"));
        int signIns = 0;
        sets().CPuntos.AfterOpen = [&signIns](dataset::ClientDataSet&) { ++signIns; };
        // The click leaves the field, and the sign-in puts the grid away.
        QTest::mouseClick(w().DBGrid2->viewport(), Qt::LeftButton, {}, QPoint(30, 30));
        QCOMPARE(ui_->errors, QStringList());
        QCOMPARE(ui_->messages, QStringList());
        QCOMPARE(signIns, 1);
        QCOMPARE(signedInTo(), "002");
        QVERIFY(!w().CaptionPanel1->isVisible());
        QCOMPARE(QApplication::focusWidget(), w().EFecIni);
        QCOMPARE(storedRows(first, day),
                 QStringList({row(day, "0.0000"), row(day, "5.0000"), row(day, "16.0000")}));
    }

    void f5InTheCompanyFieldSignsInBeforeOpening() {
        CompanyProbe first(companies_, QStringLiteral("001"));
        const QDate day = today_.addDays(-13);
        const QStringList firstRows = storedRows(first, day);
        signIn(QStringLiteral("001"));
        w().Cia->setFocus();
        w().Cia->selectAll();
        QTest::keyClicks(w().Cia, QStringLiteral("002"));
        s().press(Qt::Key_F5);
        QCOMPARE(ui_->errors, QStringList());
        QCOMPARE(signedInTo(), "002");
        QVERIFY(w().CaptionPanel1->isVisible());
        QCOMPARE(QApplication::focusWidget(), w().DBGrid2);
        s().press(Qt::Key_F5);
        QCOMPARE(ui_->errors, QStringList());
        QCOMPARE(storedRows(first, day), firstRows);
    }

    void aCompanyRefusingTheAdjustmentsStaysSignedIn() {
        CompanyProbe first(companies_, QStringLiteral("001"));
        CompanyProbe second(companies_, QStringLiteral("002"));
        const QDate day = today_.addDays(-8);
        const QStringList firstRows = storedRows(first, day);
        const QStringList secondRows = storedRows(second, day);
        signIn(QStringLiteral("002"));
        s().chooseDay(day);
        s().press(Qt::Key_F5);
        s().typeIntoGrid(0, 2, QStringLiteral("-5"));
        signInAgainTo(QStringLiteral("001"));
        QCOMPARE(ui_->errors, QStringList());
        QCOMPARE(ui_->messages.size(), 1);
        QVERIFY(ui_->messages.first().startsWith(kNotSaved + "\n"));
        QCOMPARE(signedInTo(), "002");
        QVERIFY(w().Pelmora->Connected());
        QVERIFY(w().CaptionPanel1->isVisible());
        QCOMPARE(editorRows(sets()).value(0).section('|', 0, 0), "-5.0000");
        QCOMPARE(storedRows(second, day), secondRows);
        QCOMPARE(storedRows(first, day), firstRows);

        // Corrected, the rows are saved to their company on the way out.
        s().typeIntoGrid(0, 2, QStringLiteral("5"));
        signInAgainTo(QStringLiteral("001"));
        QCOMPARE(ui_->errors, QStringList());
        QCOMPARE(ui_->messages.size(), 1);
        QCOMPARE(signedInTo(), "001");
        QVERIFY(!w().CaptionPanel1->isVisible());
        QCOMPARE(storedRows(second, day),
                 QStringList({row(day, "0.0000"), row(day, "5.0000"), row(day, "16.0000")}));
        QCOMPARE(storedRows(first, day), firstRows);
    }

    void savingRefusedAdjustmentsOnTheWayOutKeepsTheWindowOpen() {
        CompanyProbe probe(companies_, QStringLiteral("002"));
        const QDate day = today_.addDays(-9);
        const QStringList before = storedRows(probe, day);
        signIn(QStringLiteral("002"));
        s().chooseDay(day);
        s().press(Qt::Key_F5);
        s().typeIntoGrid(0, 2, QStringLiteral("-5"));
        w().Pto->setFocus();
        ui_->answer = app::Application::Answer::Yes;
        s().press(Qt::Key_Escape);
        QCOMPARE(ui_->questions, QStringList({kSaveQuestion}));
        QCOMPARE(ui_->errors, QStringList());
        QCOMPARE(ui_->messages.size(), 1);
        QVERIFY(ui_->messages.first().startsWith(kNotSaved + "\n"));
        QVERIFY(ui_->window);
        QVERIFY(w().isVisible());
        QVERIFY(w().CaptionPanel1->isVisible());
        QCOMPARE(storedRows(probe, day), before);
    }

    void rowsAnotherUserChangedOrDeletedAreReadAgainAndTheRestSaved() {
        CompanyProbe probe(companies_, QStringLiteral("001"));
        const QDate day = today_.addDays(40);
        const QString d = CompanyProbe::isoDate(day);
        for (const char* values :
             {"21, %1, %1, 16, 0.8", "22, %1, %1, 5, 0.8", "23, %1, %1, 0, 0.8"})
            probe.execute("insert into ajuste_cierre values (" + QString(values).arg(d) + ")");
        const QStringList others = otherRows(probe, day);
        openAdjustments(day);
        QCOMPARE(w().DBGrid2->cellText(1, 2).trimmed(), QStringLiteral("16"));
        s().typeIntoGrid(1, 3, QStringLiteral("0.7"));

        // Another user, while the panel is open.
        probe.execute("update ajuste_cierre set ajci_factor = 0.9 where ajci_id = 21");
        probe.execute("delete from ajuste_cierre where ajci_id = 22");
        const QStringList changed = storedRows(probe, day);
        s().press(Qt::Key_F5);

        QCOMPARE(ui_->errors, QStringList());
        QCOMPARE(ui_->messages.size(), 1);
        const QString date = day.toString("MM/dd/yyyy");
        const QString line = QStringLiteral(
            "La tarifa de %1 % con factor 0.8, del %2 al %2, fue cambiada o borrada por otro "
            "usuario: se descarta su cambio y se vuelve a leer de la base de datos.");
        QStringList lines = ui_->messages.first().split('\n');
        QCOMPARE(lines.takeFirst(), kNotSaved);
        QCOMPARE(lines.takeLast(),
                 QStringLiteral("Los demás cambios se conservan: pulse F5 para guardarlos."));
        lines.sort();
        // Named as the grid showed them.
        QCOMPARE(lines, QStringList({line.arg("16", date), line.arg("5", date)}));
        QCOMPARE(storedRows(probe, day), changed);
        // The changed row shows as the other user left it; the deleted one
        // is gone; the user's own edit is still there.
        QVERIFY(w().CaptionPanel1->isVisible());
        const QString iso = day.toString(Qt::ISODate);
        QStringList shown = editorRows(sets());
        shown.sort();
        QCOMPARE(shown, QStringList({"0.0000|0.8000|0|" + iso + "|" + iso,
                                     "16.0000|0.7000|0|" + iso + "|" + iso,
                                     "16.0000|0.9000|21|" + iso + "|" + iso,
                                     "5.0000|0.8000|0|" + iso + "|" + iso}));
        QCOMPARE(w().DBGrid2->rowCount(), 4);
        QCOMPARE(sets().CAjuste.ChangeCount(), 1 + 3);

        s().press(Qt::Key_F5);
        QCOMPARE(ui_->errors, QStringList());
        QCOMPARE(ui_->messages.size(), 1);
        QVERIFY(!w().CaptionPanel1->isVisible());
        QCOMPARE(storedRows(probe, day),
                 QStringList({row(day, "0.0000"), row(day, "5.0000"), row(day, "16.0000", "0.7000"),
                              row(day, "16.0000", "0.9000", 21)}));
        QCOMPARE(otherRows(probe, day), others);
    }

    void aRefusedRowStopsThePostingRunUntilCorrected() {
        CompanyProbe probe(companies_, QStringLiteral("002"));
        const QDate day = today_.addDays(-1);
        const QString vouchers = QStringLiteral("select count(*) from comprobantes");
        const QString before = probe.value(vouchers);
        signIn(QStringLiteral("002"));
        s().choosePoint(QStringLiteral("Almacén Principal Centro"));
        s().chooseDay(day);
        s().press(Qt::Key_F5);
        s().typeIntoGrid(2, 3, QStringLiteral("0.5"));
        s().typeIntoGrid(0, 2, QStringLiteral("-1"));
        s().press(Qt::Key_F2);

        QCOMPARE(ui_->errors, QStringList());
        QCOMPARE(ui_->messages.size(), 1);
        QVERIFY(ui_->messages.first().startsWith(kNotSaved + "\n"));
        QCOMPARE(ui_->messages.first().count("CK_AJUSTE_CIERRE_PORC"), 1);
        QVERIFY(w().CaptionPanel1->isVisible());
        QVERIFY(!w().Panel5->isVisible());
        QCOMPARE(probe.value(vouchers), before);
        QCOMPARE(sets().CAjuste.ChangeCount(), 1);

        s().typeIntoGrid(0, 2, QStringLiteral("5"));
        s().press(Qt::Key_F2);
        QCOMPARE(ui_->errors, QStringList());
        QCOMPARE(ui_->messages.size(), 2);
        QCOMPARE(ui_->messages.last(), kPosted);
        QVERIFY(!w().CaptionPanel1->isVisible());
        QCOMPARE(storedRows(probe, day), QStringList({row(day, "0.0000", "0.5000"),
                                                      row(day, "5.0000"), row(day, "16.0000")}));
    }
};

PELMORA_APP_TEST_MAIN(TestClosingAdjustments)
#include "tfcontavtascontado_closing_adjustments_test.moc"
