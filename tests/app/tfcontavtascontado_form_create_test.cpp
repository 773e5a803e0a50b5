// FormCreate: the server selector filled from the server list of the install
// directory that the registry names, and what the window does when the
// registry or the list is missing or wrong.

#include "app/application.h"
#include "app/program_start.h"
#include "app/tfcontavtascontado.h"
#include "app_test_main.h"
#include "install_fixture.h"

#include <QComboBox>
#include <QLineEdit>
#include <QPointer>
#include <QTest>

using app::Tfcontavtascontado;

class TestFormCreate : public QObject {
    Q_OBJECT

private:
    app::Application& application() const {
        return *static_cast<app::Application*>(QCoreApplication::instance());
    }

    Tfcontavtascontado* start() {
        window_ = app::startMainWindow();
        return window_;
    }

    InstallFixture* install_ = nullptr;
    QPointer<Tfcontavtascontado> window_;
    QStringList messages_;
    QStringList errors_;

private slots:
    void init() {
        install_ = new InstallFixture;
        messages_.clear();
        errors_.clear();
        application().setMessageDisplay([this](const QString& text) { messages_ << text; });
        application().setErrorDisplay([this](const QString& text) { errors_ << text; });
    }

    void cleanup() {
        delete window_;
        delete install_;
    }

    void fillsTheServerSelectorInFileOrder() {
        install_->writeInstallDirectory();
        install_->writeServerList("host-a:/srv/a\r\n/var/lib/b\nhost-a:/srv/a\r\n\r\nlast\r\n");
        Tfcontavtascontado* window = start();
        const QStringList expected{"host-a:/srv/a", "/var/lib/b", "host-a:/srv/a", "", "last"};
        QCOMPARE(window->serverList(), expected);
        QStringList items;
        for (int i = 0; i < window->Servidor->count(); ++i)
            items << window->Servidor->itemText(i);
        QCOMPARE(items, expected);
        QCOMPARE(window->Servidor->currentIndex(), 0);
        QCOMPARE(window->Servidor->currentText(), QStringLiteral("host-a:/srv/a"));
        QCOMPARE(messages_, QStringList());
        QCOMPARE(errors_, QStringList());
    }

    void emptyOrMissingServerListLeavesTheSelectorEmpty_data() {
        QTest::addColumn<bool>("writeFile");
        QTest::newRow("missing file") << false;
        QTest::newRow("empty file") << true;
    }

    void emptyOrMissingServerListLeavesTheSelectorEmpty() {
        QFETCH(bool, writeFile);
        install_->writeInstallDirectory();
        if (writeFile)
            install_->writeServerList("");
        Tfcontavtascontado* window = start();
        QCOMPARE(window->Servidor->count(), 0);
        QCOMPARE(window->Servidor->currentIndex(), -1);
        QCOMPARE(window->Servidor->currentText(), QString());
        QCOMPARE(messages_, QStringList());
        QCOMPARE(errors_, QStringList());
    }

    void missingKeyIsReportedAndTheDirectoryIsEmpty() {
        // No registry file at all: the key cannot be opened.
        Tfcontavtascontado* window = start();
        QCOMPARE(messages_,
                 QStringList{QStringLiteral(
                     "No se encontró la Clave "
                     "HKEY_LOCAL_MACHINE\\Software\\Dranek\\PelmoraERP2024\\Directorio")});
        QCOMPARE(errors_, QStringList());
        QVERIFY(window->isVisible());
        QCOMPARE(window->diraplicacion(), QString());
    }

    void missingValueGivesAnEmptyDirectoryWithoutMessage() {
        install_->writeRegistry("\"Otro\"=\"x\"\r\n");
        Tfcontavtascontado* window = start();
        QCOMPARE(window->diraplicacion(), QString());
        QCOMPARE(messages_, QStringList());
    }

    void failingFormCreateStillShowsAUsableWindow() {
        install_->writeRegistry("\"Directorio\"=dword:00000001\r\n");
        install_->writeServerList("never-read\r\n");
        Tfcontavtascontado* window = start();
        QCOMPARE(errors_, QStringList{QStringLiteral("Invalid data type for 'Directorio'")});
        QVERIFY(window->isVisible());
        QCOMPARE(window->Servidor->count(), 0);
        QVERIFY(QTest::qWaitForWindowActive(window));
        window->Tusua->setFocus();
        QTest::keyClicks(window->Tusua, "sysdba");
        QCOMPARE(window->Tusua->text(), QStringLiteral("sysdba"));
    }
};

PELMORA_APP_TEST_MAIN(TestFormCreate)
#include "tfcontavtascontado_form_create_test.moc"
