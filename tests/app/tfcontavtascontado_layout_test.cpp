// The main window as it is first shown: its controls' states, its bands and
// bounds, how it lays itself out when resized, its focus order, and closing.

#include "app/application.h"
#include "app/program_start.h"
#include "app/tfcontavtascontado.h"
#include "app_test_main.h"
#include "install_fixture.h"
#include "ui/grid/db_grid.h"
#include "ui/widgets/bevel_panel.h"
#include "ui/widgets/caption_panel.h"
#include "ui/widgets/date_time_picker.h"
#include "ui/widgets/db_lookup_combo_box.h"
#include "ui/widgets/db_navigator.h"
#include "ui/widgets/group_box.h"
#include "ui/widgets/speed_button.h"

#include <QAbstractItemView>
#include <QCheckBox>
#include <QComboBox>
#include <QFontInfo>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QScreen>
#include <QTest>
#include <QTimer>
#include <QToolButton>
#include <QWindow>

using app::Tfcontavtascontado;

class TestMainWindow : public QObject {
    Q_OBJECT

private:
    QWidget* control(const QString& name) const {
        auto* widget = window_->findChild<QWidget*>(name);
        if (!widget)
            qFatal("no control %s", qPrintable(name));
        return widget;
    }

    // The control's text as the user reads it.
    QString shownText(const QString& name) const {
        QWidget* widget = control(name);
        if (auto* combo = qobject_cast<QComboBox*>(widget))
            return combo->currentText();
        if (auto* edit = qobject_cast<QLineEdit*>(widget))
            return edit->displayText();
        if (auto* picker = qobject_cast<ui::DateTimePicker*>(widget))
            return picker->date().toString(Qt::ISODate);
        if (auto* button = qobject_cast<QAbstractButton*>(widget))
            return button->text();
        if (auto* label = qobject_cast<QLabel*>(widget))
            return label->text();
        if (auto* panel = qobject_cast<ui::BevelPanel*>(widget))
            return panel->caption();
        if (auto* panel = qobject_cast<ui::CaptionPanel*>(widget))
            return panel->caption();
        if (auto* box = qobject_cast<ui::GroupBox*>(widget))
            return box->title();
        return {};
    }

    // Presses Tab count times and lists where the focus went.
    QStringList tabChain(int count) {
        QStringList visited;
        for (int i = 0; i < count; ++i) {
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
            visited << (QApplication::focusWidget() ? QApplication::focusWidget()->objectName()
                                                    : QString());
        }
        return visited;
    }

    // Runs the program's event loop, closes the window from inside it and
    // tells whether the loop then ended by itself.
    static bool closingEndsTheProgram(const std::function<void()>& closeWindow) {
        QApplication::setQuitOnLastWindowClosed(true);
        bool timedOut = false;
        QTimer guard;
        guard.setSingleShot(true);
        QObject::connect(&guard, &QTimer::timeout, [&timedOut] {
            timedOut = true;
            QCoreApplication::exit(1);
        });
        guard.start(5000);
        QTimer::singleShot(0, closeWindow);
        const int result = QApplication::exec();
        QApplication::setQuitOnLastWindowClosed(false);
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        return result == 0 && !timedOut;
    }

    InstallFixture* install_ = nullptr;
    QPointer<Tfcontavtascontado> window_;
    QStringList messages_;

private slots:
    void init() {
        install_ = new InstallFixture;
        install_->writeInstallDirectory();
        install_->writeServerList("server-a:/srv/pelmora\r\n/var/lib/pelmora\r\n");
        messages_.clear();
        auto* application = static_cast<app::Application*>(QCoreApplication::instance());
        application->setMessageDisplay([this](const QString& text) { messages_ << text; });
        application->setErrorDisplay([this](const QString& text) { messages_ << text; });
        window_ = app::startMainWindow();
        QVERIFY(QTest::qWaitForWindowActive(window_));
    }

    void cleanup() {
        delete window_;
        delete install_;
    }

    void startState_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<bool>("enabled");
        QTest::addColumn<bool>("visible");
        QTest::addColumn<QString>("text");

        QTest::newRow("Servidor") << "Servidor" << true << true << "server-a:/srv/pelmora";
        QTest::newRow("Tusua") << "Tusua" << true << true << "";
        QTest::newRow("TClave") << "TClave" << true << true << "";
        QTest::newRow("Cia") << "Cia" << true << true << "";
        QTest::newRow("ckniif") << "ckniif" << true << true << "Contabilizar NIIF";
        QTest::newRow("EFecIni") << "EFecIni" << false << true << "2003-01-20";
        QTest::newRow("Pto") << "Pto" << true << true << "";
        QTest::newRow("SpeedButton3") << "SpeedButton3" << false << true << "F2: Ejecutar";
        QTest::newRow("SpeedButton2") << "SpeedButton2" << true << true << "Esc: Cancelar";
        QTest::newRow("DBGrid1") << "DBGrid1" << false << true << "";
        QTest::newRow("Panel5") << "Panel5" << true << false
                                << "Generando informe. espere un momento...";
        QTest::newRow("CaptionPanel1") << "CaptionPanel1" << true << false << "Tarifas";
        QTest::newRow("GroupBox1") << "GroupBox1" << true << true << "Origen:";
        QTest::newRow("GroupBox2") << "GroupBox2" << true << true << "Parámetros ";
        QTest::newRow("Label2")
            << "Label2" << true << true
            << "Este programa genera la contabilización de las ventas diarias de un punto de "
               "venta registradas con el NIT del cliente de contado y con el prefijo y punto de "
               "venta especificados.";
        QTest::newRow("Label5") << "Label5" << true << true << "Servidor : ";
        QTest::newRow("Label8") << "Label8" << true << true << "Usuario : ";
        QTest::newRow("Label9") << "Label9" << true << true << "Clave : ";
        QTest::newRow("Label6") << "Label6" << true << true << "Compañía:";
        QTest::newRow("Label4") << "Label4" << true << true << "Fecha:";
        QTest::newRow("Label7") << "Label7" << true << true << "Punto:";
        QTest::newRow("Label10") << "Label10" << true << true << "Rev:2024/07/24";
    }

    void startState() {
        QFETCH(QString, name);
        QFETCH(bool, enabled);
        QFETCH(bool, visible);
        QFETCH(QString, text);
        QCOMPARE(control(name)->isEnabled(), enabled);
        QCOMPARE(control(name)->isVisible(), visible);
        QCOMPARE(shownText(name), text);
    }

    void startStateDetails() {
        QCOMPARE(messages_, QStringList());
        QCOMPARE(window_->windowTitle(), QStringLiteral("Contabilizar ventas de contado"));
        QCOMPARE(window_->Servidor->count(), 2);
        QCOMPARE(window_->Servidor->currentIndex(), 0);
        QVERIFY(!window_->Servidor->isEditable());
        QVERIFY(!window_->ckniif->isChecked());
        QCOMPARE(QApplication::focusWidget(), window_->Servidor);
        QCOMPARE(window_->palette().color(QPalette::Window),
                 window_->palette().color(QPalette::Button));
    }

    void centredOnDesktop() {
        const QPoint desktopCentre = window_->screen()->virtualGeometry().center();
        const QPoint offset = window_->geometry().center() - desktopCentre;
        QVERIFY2(qAbs(offset.x()) <= 20 && qAbs(offset.y()) <= 30,
                 qPrintable(QStringLiteral("off by %1, %2").arg(offset.x()).arg(offset.y())));
    }

    void fonts() {
        QCOMPARE(window_->font().pixelSize(), 11);
        QCOMPARE(window_->Tusua->font().pixelSize(), 11);
        QCOMPARE(window_->Panel5->font().pixelSize(), 13);
        QCOMPARE(window_->Panel5->palette().color(QPalette::WindowText), QColor(0, 0, 128));
        for (QWidget* narrow : {static_cast<QWidget*>(window_->SpeedButton3),
                                static_cast<QWidget*>(window_->SpeedButton2),
                                static_cast<QWidget*>(window_->Label10)}) {
            QCOMPARE(narrow->font().pixelSize(), 11);
            QCOMPARE(QFontInfo(narrow->font()).family(), QStringLiteral("Liberation Sans Narrow"));
        }
    }

    void bandsAtLaidOutSize_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QRect>("bounds");
        QTest::newRow("Panel2") << "Panel2" << QRect(0, 0, 364, 57);
        QTest::newRow("GroupBox1") << "GroupBox1" << QRect(0, 57, 364, 105);
        QTest::newRow("GroupBox2") << "GroupBox2" << QRect(0, 162, 364, 34);
        QTest::newRow("Panel3") << "Panel3" << QRect(0, 196, 364, 83);
        QTest::newRow("Panel1") << "Panel1" << QRect(0, 279, 364, 54);
        QTest::newRow("Panel5") << "Panel5" << QRect(8, 220, 337, 41);
        QTest::newRow("CaptionPanel1") << "CaptionPanel1" << QRect(32, 96, 305, 161);
    }

    void bandsAtLaidOutSize() {
        QFETCH(QString, name);
        QFETCH(QRect, bounds);
        QCOMPARE(window_->size(), QSize(364, 333));
        QCOMPARE(control(name)->geometry(), bounds);
    }

    void controlBounds_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QRect>("bounds");
        QTest::newRow("Label2") << "Label2" << QRect(16, 6, 333, 49);
        QTest::newRow("Servidor") << "Servidor" << QRect(76, 8, 120, 21);
        QTest::newRow("Tusua") << "Tusua" << QRect(76, 32, 97, 21);
        QTest::newRow("TClave") << "TClave" << QRect(76, 56, 97, 21);
        QTest::newRow("Cia") << "Cia" << QRect(76, 80, 45, 21);
        QTest::newRow("ckniif") << "ckniif" << QRect(216, 64, 97, 17);
        QTest::newRow("EFecIni") << "EFecIni" << QRect(48, 16, 89, 21);
        QTest::newRow("Pto") << "Pto" << QRect(198, 16, 145, 21);
        QTest::newRow("DBGrid1") << "DBGrid1" << QRect(1, 1, 362, 81);
        QTest::newRow("SpeedButton3") << "SpeedButton3" << QRect(45, 3, 65, 50);
        QTest::newRow("SpeedButton2") << "SpeedButton2" << QRect(221, 3, 65, 50);
        QTest::newRow("Label10") << "Label10" << QRect(292, 1, 67, 15);
        QTest::newRow("DBGrid2") << "DBGrid2" << QRect(1, 19, 303, 123);
        QTest::newRow("DBNavigator1") << "DBNavigator1" << QRect(1, 142, 303, 18);
    }

    void controlBounds() {
        QFETCH(QString, name);
        QFETCH(QRect, bounds);
        QCOMPARE(control(name)->geometry(), bounds);
    }

    void enlargingGrowsTheParametersGroup() {
        window_->resize(500, 420);
        QCOMPARE(window_->GroupBox2->geometry(), QRect(0, 162, 500, 121));
        QCOMPARE(window_->Panel3->geometry(), QRect(0, 283, 500, 83));
        QCOMPARE(window_->Panel1->geometry(), QRect(0, 366, 500, 54));
        QCOMPARE(window_->DBGrid1->geometry(), QRect(1, 1, 498, 81));
        // Fields keep their places and sizes, now shown whole.
        QCOMPARE(window_->Pto->geometry(), QRect(198, 16, 145, 21));
        QCOMPARE(window_->Panel5->geometry(), QRect(8, 220, 337, 41));
        QCOMPARE(window_->CaptionPanel1->geometry(), QRect(32, 96, 305, 161));
        QCOMPARE(window_->SpeedButton2->geometry(), QRect(221, 3, 65, 50));
    }

    void shrinkingBelowTheFixedBandsEmptiesTheParametersGroup() {
        window_->resize(300, 250);
        QCOMPARE(window_->GroupBox2->height(), 0);
        QCOMPARE(window_->Panel2->geometry(), QRect(0, 0, 300, 57));
        QCOMPARE(window_->GroupBox1->geometry(), QRect(0, 57, 300, 105));
        QCOMPARE(window_->Panel1->geometry(), QRect(0, 196, 300, 54));
        QCOMPARE(window_->Panel3->geometry(), QRect(0, 113, 300, 83));

        window_->resize(364, 333);
        QCOMPARE(window_->GroupBox2->geometry(), QRect(0, 162, 364, 34));
    }

    void stackingOrder() {
        // Where the bands overlap the sign-in group lies above the error panel.
        window_->resize(364, 250);
        QVERIFY(window_->GroupBox1->isAncestorOf(window_->childAt(QPoint(350, 140))) ||
                window_->childAt(QPoint(350, 140)) == window_->GroupBox1);

        // The adjustments panel lies above the busy banner and everything else.
        window_->resize(364, 333);
        window_->Panel5->show();
        window_->CaptionPanel1->show();
        QWidget* overlap = window_->childAt(QPoint(100, 240));
        QVERIFY(overlap == window_->CaptionPanel1 || window_->CaptionPanel1->isAncestorOf(overlap));
        QWidget* bannerOnly = window_->childAt(QPoint(12, 240));
        QCOMPARE(bannerOnly, window_->Panel5);
        QWidget* signIn = window_->childAt(QPoint(200, 100));
        QVERIFY(signIn == window_->CaptionPanel1 || window_->CaptionPanel1->isAncestorOf(signIn));
    }

    void tabOrderSkipsDisabledAndHiddenControls() {
        QCOMPARE(tabChain(7),
                 QStringList({"Tusua", "TClave", "Cia", "ckniif", "Pto", "Servidor", "Tusua"}));
    }

    void tabOrderOnceEverythingTakesFocus() {
        window_->EFecIni->setEnabled(true);
        window_->DBGrid1->setEnabled(true);
        window_->CaptionPanel1->show();
        QCOMPARE(tabChain(9), QStringList({"Tusua", "TClave", "Cia", "ckniif", "EFecIni", "Pto",
                                           "DBGrid1", "DBGrid2", "Servidor"}));
    }

    void signInFieldsAreFlat_data() {
        QTest::addColumn<QString>("name");
        for (const char* name : {"Servidor", "Tusua", "TClave", "Cia"})
            QTest::newRow(name) << name;
    }

    void signInFieldsAreFlat() {
        QFETCH(QString, name);
        QWidget* field = control(name);
        const QImage image = field->grab().toImage();
        QCOMPARE(image.size(), field->size());
        const QRgb frame = field->palette().color(QPalette::WindowText).rgb();
        const QRgb base = field->palette().color(QPalette::Base).rgb();
        const int right = image.width() - 1;
        const int bottom = image.height() - 1;
        // A one-pixel frame all round...
        for (int x = 0; x <= right; ++x) {
            QCOMPARE(image.pixel(x, 0), frame);
            QCOMPARE(image.pixel(x, bottom), frame);
        }
        for (int y = 0; y <= bottom; ++y) {
            QCOMPARE(image.pixel(0, y), frame);
            QCOMPARE(image.pixel(right, y), frame);
        }
        // ...with no shaded edge inside it.
        for (const QPoint inside : {QPoint(1, 1), QPoint(1, bottom - 1), QPoint(2, 1)})
            QCOMPARE(image.pixel(inside), base);
    }

    void serverListItemsAre13PixelsHigh() {
        window_->Servidor->showPopup();
        QTRY_VERIFY(QApplication::activePopupWidget() != nullptr);
        QAbstractItemView* list = window_->Servidor->view();
        for (int row = 0; row < window_->Servidor->count(); ++row)
            QCOMPARE(list->visualRect(list->model()->index(row, 0)).height(), 13);
        window_->Servidor->hidePopup();
    }

    void passwordShowsOneStarPerCharacter() {
        window_->TClave->setFocus();
        QTest::keyClicks(window_->TClave, "s3cr");
        QCOMPARE(window_->TClave->text(), QStringLiteral("s3cr"));
        QCOMPARE(window_->TClave->displayText(), QStringLiteral("****"));
    }

    void toolButtonsCarryTheirGlyphs() {
        for (ui::SpeedButton* button : {window_->SpeedButton3, window_->SpeedButton2}) {
            QVERIFY(!button->icon().isNull());
            QCOMPARE(button->iconSize(), QSize(46, 32));
            QVERIFY(button->autoRaise());
            QCOMPARE(button->toolButtonStyle(), Qt::ToolButtonTextUnderIcon);
        }
        const QImage glyph = window_->SpeedButton2->icon().pixmap(QSize(46, 32)).toImage();
        QCOMPARE(qAlpha(glyph.pixel(0, 31)), 0);
        QCOMPARE(qAlpha(glyph.pixel(23, 16)), 255);
    }

    void escButtonClosesTheWindowAndEndsTheProgram() {
        QVERIFY(closingEndsTheProgram(
            [this] { QTest::mouseClick(window_->SpeedButton2, Qt::LeftButton); }));
        QVERIFY(window_.isNull());
    }

    void closeBoxClosesTheWindowAndEndsTheProgram() {
        window_->CaptionPanel1->show(); // nothing in it unsaved: no question
        QVERIFY(closingEndsTheProgram([this] { window_->windowHandle()->close(); }));
        QVERIFY(window_.isNull());
        QCOMPARE(messages_, QStringList());
    }
};

PELMORA_APP_TEST_MAIN(TestMainWindow)
#include "tfcontavtascontado_layout_test.moc"
