#pragma once
// Demo companies for posting runs, made by the project's script in the short
// date format of the test's own locale (so that the date text the window
// sends is the one the company reads), on the embedded engine or on a
// Firebird server; and a connection of the test's own to look into them.

#include "app/form/connection_settings.h"
#include "db/sql_connection.h"
#include "db/sql_query.h"
#include "install_fixture.h"
#include "tests/company_database.h"

#include <QDate>
#include <QString>
#include <QStringList>

#include <memory>
#include <string>
#include <vector>

class PostingCompanies {
public:
    // serverPrefix: "host/port:" for a server, empty for the embedded engine.
    explicit PostingCompanies(QString serverPrefix = {}, QString user = QStringLiteral("SYSDBA"),
                              QString password = QStringLiteral("masterkey"))
        : prefix_(std::move(serverPrefix)), user_(std::move(user)), password_(std::move(password)) {
    }

    // Writes the install directory and its server list, and creates each
    // company with demo data; false when the script fails.
    bool create(const QStringList& companies) {
        install_.writeInstallDirectory();
        install_.writeServerList(entry().toUtf8() + "\n");
        std::vector<std::string> codes;
        for (const QString& company : companies)
            codes.push_back(company.toStdString());
        db::test::CompanyOptions options;
        if (!prefix_.isEmpty()) {
            options.user = user_.toStdString();
            options.password = password_.toStdString();
        }
        return db::test::createCompaniesIn(entry().toStdString(), codes, options);
    }

    // The server entry the window signs in through.
    QString entry() const { return prefix_ + install_.installDirectory(); }
    const QString& user() const { return user_; }
    QString registryPath() const { return install_.registryPath(); }
    const QString& password() const { return password_; }

    std::string database(const QString& company) const {
        return app::companyDatabase(entry().toStdString(), company.toStdString());
    }

private:
    QString prefix_;
    QString user_;
    QString password_;
    InstallFixture install_;
};

// A connection of the test's own to one company: statements to set a case
// up, and queries to see what a run left in the database.
class CompanyProbe {
public:
    CompanyProbe(const PostingCompanies& companies, const QString& company)
        : connection_(app::makePelmoraConnection()) {
        db::test::connectTo(*connection_, companies.database(company),
                            companies.user().toStdString(), companies.password().toStdString());
        query_.setConnection(connection_.get());
    }
    ~CompanyProbe() {
        query_.close();
        query_.setConnection(nullptr);
    }

    void execute(const QString& sql) { connection_->executeStatement(sql.toStdString()); }

    // Every row as its values joined by "|", in column order.
    QStringList rows(const QString& sql) {
        query_.setSQL(sql.toStdString());
        query_.open();
        QStringList result;
        for (; !query_.eof(); query_.next()) {
            QStringList values;
            for (std::size_t i = 0; i < query_.fieldDefs().size(); ++i)
                values << text(query_.value(i));
            result << values.join(QLatin1Char('|'));
        }
        query_.close();
        return result;
    }

    // The first column of the first row, empty without a row.
    QString value(const QString& sql) {
        const QStringList found = rows(sql);
        return found.isEmpty() ? QString() : found.first().section(QLatin1Char('|'), 0, 0);
    }

    // A date as the database writes it in SQL.
    static QString isoDate(const QDate& date) {
        return QLatin1Char('\'') + date.toString(Qt::ISODate) + QLatin1Char('\'');
    }

private:
    static QString text(const db::SQLValue& value) {
        if (const auto* s = std::get_if<std::string>(&value))
            return QString::fromStdString(*s);
        if (const auto* i = std::get_if<std::int64_t>(&value))
            return QString::number(*i);
        if (const auto* b = std::get_if<db::Bcd>(&value))
            return QString::fromStdString(b->toString());
        if (const auto* d = std::get_if<db::SQLDate>(&value))
            return QDate(d->year, d->month, d->day).toString(Qt::ISODate);
        return {};
    }

    std::unique_ptr<db::SQLConnection> connection_;
    db::SQLQuery query_{"probe"};
};
