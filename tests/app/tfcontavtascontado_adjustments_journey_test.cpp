// A user's whole day with the window, on a real display and a Firebird
// server on loopback: sign in with the keyboard, open the adjustments, change
// a rate, save them, post the day and see the voucher message, post a point
// of sale whose prefix fails and read its listing, and leave with Esc. The
// real message boxes are shown and answered; every step leaves a screenshot
// in the directory PELMORA_ARTIFACTS names.

#include "adjustments_fixture.h"
#include "app/program_start.h"
#include "app_test_main.h"
#include "ui/widgets/speed_button.h"

#include <QComboBox>
#include <QDir>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QScreen>
#include <QTest>
#include <QTimer>

using namespace adjustments;

class TestAdjustmentsJourney : public QObject {
    Q_OBJECT

private:
    QPointer<app::Tfcontavtascontado> window_;
    QStringList boxes_;
    int shots_ = 0;

    app::Tfcontavtascontado& w() { return *window_; }

    void screenshot(const QString& step) {
        QTest::qWait(200);
        const QString directory = qEnvironmentVariable("PELMORA_ARTIFACTS");
        QVERIFY(!directory.isEmpty());
        QDir().mkpath(directory);
        const QString path = QStringLiteral("%1/%2-%3.png")
                                 .arg(directory)
                                 .arg(++shots_, 2, 10, QLatin1Char('0'))
                                 .arg(step);
        QVERIFY2(QGuiApplication::primaryScreen()->grabWindow(0).save(path), qPrintable(path));
    }

    // Presses a key in the focused control and answers the message box it
    // brings up, after a screenshot of it.
    void pressAndAnswer(Qt::Key key, const QString& step) {
        const int before = boxes_.size();
        QTimer::singleShot(0, this, [this, step] { answerBox(step, 0); });
        QTest::keyClick(QApplication::focusWidget(), key);
        QTRY_COMPARE(boxes_.size(), before + 1);
        // Without a window manager nothing gives the window back its focus.
        if (window_) {
            QApplication::setActiveWindow(window_);
            QTRY_VERIFY(window_->isActiveWindow());
        }
    }

    void answerBox(const QString& step, int tries) {
        // Found by looking, not by focus: no window manager activates it.
        QMessageBox* box = nullptr;
        for (QWidget* widget : QApplication::topLevelWidgets())
            if (auto* shown = qobject_cast<QMessageBox*>(widget); shown && shown->isVisible())
                box = shown;
        if (!box) {
            if (tries < 400)
                QTimer::singleShot(50, this, [this, step, tries] { answerBox(step, tries + 1); });
            return;
        }
        screenshot(step);
        boxes_ << box->windowTitle() + "|" + box->text();
        QTest::mouseClick(box->button(QMessageBox::Ok), Qt::LeftButton);
    }

    // Types into the focused field and leaves it with Enter.
    void type(const QString& text) {
        QTest::keyClicks(QApplication::focusWidget(), text);
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
    }

private slots:
    void aDayOfWork() {
        const QString server = qEnvironmentVariable("PELMORA_FB_SERVER");
        if (server.isEmpty())
            QSKIP("no test server: run scripts/firebird-test-server.sh start");
        PostingCompanies companies(server + ":", qEnvironmentVariable("PELMORA_FB_USER"),
                                   qEnvironmentVariable("PELMORA_FB_PASSWORD"));
        QVERIFY(companies.create({QStringLiteral("001")}));
        CompanyProbe probe(companies, QStringLiteral("001"));
        const QDate today =
            QDate::fromString(probe.value("select max(fact_fecha) from facturas"), Qt::ISODate);
        const QDate day = today.addDays(-1);

        window_ = app::startMainWindow();
        // Xvfb has no window manager to hand the new window the focus.
        QVERIFY(QTest::qWaitForWindowExposed(window_));
        window_->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(window_));
        Session session(window_);
        QCOMPARE(w().Servidor->currentText(), companies.entry());

        // Server, user, password and company, each left with Enter.
        QCOMPARE(QApplication::focusWidget(), w().Servidor);
        QTest::keyClick(w().Servidor, Qt::Key_Return);
        type(companies.user());
        type(companies.password());
        QCOMPARE(QApplication::focusWidget(), w().Cia);
        type(QStringLiteral("001"));
        QTRY_COMPARE(QApplication::focusWidget(), w().EFecIni);
        QVERIFY(w().SpeedButton3->isEnabled());
        session.chooseDay(day);
        session.choosePoint(QStringLiteral("Almacén Principal Centro"));
        screenshot(QStringLiteral("signed-in"));

        session.press(Qt::Key_F5);
        QVERIFY(w().CaptionPanel1->isVisible());
        screenshot(QStringLiteral("adjustments-open"));
        session.typeIntoGrid(0, 3, QStringLiteral("0.75"));
        screenshot(QStringLiteral("rate-changed"));
        session.press(Qt::Key_F5);
        QVERIFY(!w().CaptionPanel1->isVisible());
        QCOMPARE(
            storedRows(probe, day),
            QStringList({row(day, "0.0000"), row(day, "5.0000", "0.7500"), row(day, "16.0000")}));
        screenshot(QStringLiteral("adjustments-saved"));

        pressAndAnswer(Qt::Key_F2, QStringLiteral("voucher-message"));
        QCOMPARE(boxes_.last(), "Pelmora Contabiliza ventas contado|" + kPosted);
        QCOMPARE(probe.value("select count(*) from comprobantes where comp_estado = 'C'"), "1");

        session.choosePoint(QStringLiteral("Punto Móvil Feria de las Flores"));
        session.chooseDay(today);
        pressAndAnswer(Qt::Key_F2, QStringLiteral("posting-failed"));
        QVERIFY2(boxes_.last().contains("Se presentaron los siguientes errores"),
                 qPrintable(boxes_.last()));
        QVERIFY(w().DBGrid1->isEnabled());
        QCOMPARE(w().DBGrid1->rowCount(), 2);
        QVERIFY(w().DBGrid1->cellText(0, 2).contains("Punto Móvil Feria de las Flores"));
        screenshot(QStringLiteral("error-listing"));

        session.press(Qt::Key_Escape);
        QTRY_VERIFY(window_.isNull());
        screenshot(QStringLiteral("closed"));
        QCOMPARE(boxes_.size(), 2);
    }
};

PELMORA_APP_TEST_MAIN(TestAdjustmentsJourney)
#include "tfcontavtascontado_adjustments_journey_test.moc"
