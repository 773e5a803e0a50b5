#pragma once
// Demo company databases made by the project's own script under an install
// directory whose server list names that directory, and the main window
// started over it, with the error and message boxes collected and its
// questions answered.

#include "app/application.h"
#include "app/program_start.h"
#include "app/tfcontavtascontado.h"
#include "install_fixture.h"
#include "tests/company_database.h"

#include <QApplication>
#include <QLineEdit>
#include <QPointer>
#include <QTest>

#include <string>
#include <vector>

class CompanyFixture {
public:
    // Creates each company (demo data, day/month/year dates) and the install
    // directory around them; false when the script fails.
    bool create(const QStringList& companies) {
        install_.writeInstallDirectory();
        install_.writeServerList(entry().toUtf8() + "\n");
        std::vector<std::string> codes;
        for (const QString& company : companies)
            codes.push_back(company.toStdString());
        db::test::CompanyOptions options;
        options.dateOrder = "DMY";
        return db::test::createCompaniesIn(entry().toStdString(), codes, options);
    }

    // The server entry: the embedded engine's plain directory.
    QString entry() const { return install_.installDirectory(); }
    const InstallFixture& install() const { return install_; }

private:
    InstallFixture install_;
};

// The program's window as the user meets it, and what its boxes said.
class WindowUnderTest {
public:
    WindowUnderTest() {
        auto* application = static_cast<app::Application*>(QCoreApplication::instance());
        application->setMessageDisplay([this](const QString& text) { messages << text; });
        application->setErrorDisplay([this](const QString& text) { errors << text; });
        application->setQuestionDisplay([this](const QString& text) {
            questions << text;
            return answer;
        });
        window = app::startMainWindow();
    }
    ~WindowUnderTest() { delete window; }

    bool waitActive() { return QTest::qWaitForWindowActive(window); }

    // Fills the three sign-in fields and leaves the company field with Tab.
    void signIn(const QString& company, const QString& user = QStringLiteral("SYSDBA"),
                const QString& password = QStringLiteral("masterkey")) {
        window->Tusua->setText(user);
        window->TClave->setText(password);
        window->Cia->setText(company);
        window->Cia->setFocus();
        QTest::keyClick(window->Cia, Qt::Key_Tab);
    }

    QPointer<app::Tfcontavtascontado> window;
    QStringList messages;
    QStringList errors;
    // The questions asked, each answered with answer.
    QStringList questions;
    app::Application::Answer answer = app::Application::Answer::Cancel;
};
