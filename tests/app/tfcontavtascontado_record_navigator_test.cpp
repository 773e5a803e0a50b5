// The adjustments panel's record navigator over the closing-rate rows of
// real demo companies: which buttons are enabled after each step, the delete
// confirmation, and that its buttons take no focus.

#include "app/form/window_data_sets.h"
#include "app/tfcontavtascontado.h"
#include "app_test_main.h"
#include "company_fixture.h"
#include "db/sql_connection.h"
#include "ui/widgets/caption_panel.h"
#include "ui/widgets/db_navigator.h"

#include <QAbstractButton>
#include <QMessageBox>
#include <QTest>
#include <QTimer>
#include <QToolButton>

#include <memory>

using ui::NavigateButton;

namespace {

constexpr NavigateButton kShown[] = {
    NavigateButton::First,  NavigateButton::Prior,  NavigateButton::Next,  NavigateButton::Last,
    NavigateButton::Insert, NavigateButton::Delete, NavigateButton::Cancel};
const QString kLetters = QStringLiteral("FPNLIDC");

} // namespace

class TestRecordNavigator : public QObject {
    Q_OBJECT

private:
    CompanyFixture companies_;
    std::unique_ptr<WindowUnderTest> ui_;

    app::Tfcontavtascontado& w() { return *ui_->window; }
    ui::DBNavigator* navigator() { return w().DBNavigator1; }
    dataset::ClientDataSet& ajuste() { return w().dataSets->CAjuste; }

    // The enabled buttons as letters: First, Prior, Next, Last, Insert,
    // Delete, Cancel.
    QString enabledButtons() {
        QString letters;
        for (int i = 0; i < 7; ++i) {
            if (navigator()->button(kShown[i])->isEnabled())
                letters += kLetters[i];
        }
        return letters;
    }

    void click(QChar letter) {
        QToolButton* button = navigator()->button(kShown[kLetters.indexOf(letter)]);
        QTest::mouseClick(button, Qt::LeftButton);
    }

    void openAdjustments(const QString& company) {
        ui_->signIn(company);
        QVERIFY2(ui_->errors.isEmpty(), qPrintable(ui_->errors.join('\n')));
        w().CaptionPanel1->show();
        ajuste().open();
    }

    // Answers the next confirmation box with the button of that text, and
    // notes what the box showed.
    void answerConfirmation(const QString& answer, QString* shown) {
        QTimer::singleShot(0, [answer, shown] {
            auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
            if (!box)
                return;
            QStringList buttons;
            for (QAbstractButton* button : box->buttons())
                buttons << button->text();
            buttons.sort();
            *shown = QStringLiteral("%1|%2|%3|%4")
                         .arg(box->windowTitle(), box->text())
                         .arg(box->icon() == QMessageBox::Question)
                         .arg(buttons.join(','));
            for (QAbstractButton* button : box->buttons()) {
                if (button->text() == answer)
                    button->click();
            }
        });
    }

private slots:
    void initTestCase() {
        QVERIFY(companies_.create({QStringLiteral("001"), QStringLiteral("002")}));
        WindowUnderTest setup;
        QVERIFY(setup.waitActive());
        setup.signIn(QStringLiteral("002"));
        setup.window->Pelmora->executeStatement("delete from ajuste_cierre");
        QVERIFY2(setup.errors.isEmpty(), qPrintable(setup.errors.join('\n')));
    }

    void init() {
        ui_ = std::make_unique<WindowUnderTest>();
        QVERIFY(ui_->waitActive());
    }

    void cleanup() { ui_.reset(); }

    void allDisabledWhileClosed() {
        QCOMPARE(enabledButtons(), "");
        openAdjustments(QStringLiteral("001"));
        ajuste().close();
        QCOMPARE(enabledButtons(), "");
    }

    void buttonStates_data() {
        QTest::addColumn<QString>("clicks");
        QTest::addColumn<QString>("enabled");
        QTest::addColumn<int>("recNo");
        QTest::newRow("just opened") << ""
                                     << "NLID" << 1;
        QTest::newRow("Next") << "N"
                              << "FPNLID" << 2;
        QTest::newRow("First") << "NNF"
                               << "NLID" << 1;
        QTest::newRow("Last") << "L"
                              << "FPID" << 15;
        QTest::newRow("Prior onto the first row") << "NP"
                                                  << "FPNLID" << 1;
        QTest::newRow("Prior once more") << "NPP"
                                         << "NLID" << 1;
        QTest::newRow("Next past the last row") << "LPNN"
                                                << "FPID" << 15;
        QTest::newRow("Insert then Cancel") << "NIC"
                                            << "FPNLID" << 2;
    }

    void buttonStates() {
        QFETCH(QString, clicks);
        QFETCH(QString, enabled);
        QFETCH(int, recNo);
        openAdjustments(QStringLiteral("001"));
        QCOMPARE(ajuste().RecordCount(), 15);
        for (QChar letter : clicks)
            click(letter);
        QVERIFY2(ui_->errors.isEmpty(), qPrintable(ui_->errors.join('\n')));
        QCOMPARE(enabledButtons(), enabled);
        QCOMPARE(ajuste().RecNo(), recNo);
        QCOMPARE(ajuste().RecordCount(), 15);
        QCOMPARE(ajuste().ChangeCount(), 0);
    }

    void insertEnablesCancel() {
        openAdjustments(QStringLiteral("001"));
        click('I');
        QCOMPARE(ajuste().State(), dataset::DataSetState::Insert);
        QVERIFY(enabledButtons().contains('C'));
        QVERIFY(enabledButtons().contains('I'));
        click('C');
        QCOMPARE(ajuste().State(), dataset::DataSetState::Browse);
        QVERIFY(!enabledButtons().contains('C'));
    }

    void onlyInsertOnAnEmptyDataSet() {
        openAdjustments(QStringLiteral("002"));
        QVERIFY(ajuste().IsEmpty());
        QCOMPARE(enabledButtons(), "I");
    }

    void deleteAsksFirst_data() {
        QTest::addColumn<QString>("answer");
        QTest::addColumn<int>("rowsLeft");
        QTest::newRow("Cancel keeps the row") << "Cancel" << 15;
        QTest::newRow("OK deletes it") << "OK" << 14;
    }

    void deleteAsksFirst() {
        QFETCH(QString, answer);
        QFETCH(int, rowsLeft);
        openAdjustments(QStringLiteral("001"));
        QString shown;
        answerConfirmation(answer, &shown);
        click('D');
        QCOMPARE(shown, "Confirm|Delete record?|1|Cancel,OK");
        QCOMPARE(ajuste().RecordCount(), rowsLeft);
        QCOMPARE(ajuste().ChangeCount(), 15 - rowsLeft);
    }

    void buttonsTakeNoFocus() {
        openAdjustments(QStringLiteral("001"));
        w().Tusua->setFocus();
        click('N');
        click('L');
        QCOMPARE(QApplication::focusWidget(), w().Tusua);
        QCOMPARE(ajuste().RecNo(), 15);
    }

    void disabledGlyphIsEmbossed() {
        for (NavigateButton which : kShown) {
            const QImage bitmap = ui::DBNavigator::glyphBitmap(which);
            const int half = bitmap.width() / 2;
            bool black = false, white = false, grey = false;
            for (int y = 0; y < bitmap.height(); ++y) {
                for (int x = half; x < bitmap.width(); ++x) {
                    const QRgb pixel = bitmap.pixel(x, y);
                    if (qAlpha(pixel) == 0)
                        continue;
                    black = black || qGray(pixel) == 0;
                    white = white || qGray(pixel) == 255;
                    grey = grey || qGray(pixel) == 128;
                }
            }
            QVERIFY(!black);
            QVERIFY(white);
            QVERIFY(grey);
            QCOMPARE(bitmap.height(), 13);
        }
    }
};

PELMORA_APP_TEST_MAIN(TestRecordNavigator)
#include "tfcontavtascontado_record_navigator_test.moc"
