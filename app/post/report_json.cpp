#include "app/post/report_json.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QString>

namespace app::post {

namespace {

QString text(const std::string& value) {
    return QString::fromStdString(value);
}

// A state as a word for scripts: "not reached" is "not_reached".
QString word(const std::string& state) {
    return text(state).replace(QLatin1Char(' '), QLatin1Char('_'));
}

// Amounts as numbers with two decimals; hundredths are exact in a double
// far beyond any ledger's totals.
double amount(Cents cents) {
    return static_cast<double>(cents) / 100.0;
}

QJsonObject dayObject(const DayResult& day) {
    QJsonArray lines;
    for (const VoucherLine& line : day.lines) {
        lines.append(QJsonObject{{"account", text(line.account)},
                                 {"thirdParty", text(line.thirdParty)},
                                 {"detail", text(line.detail)},
                                 {"debit", amount(line.debit)},
                                 {"credit", amount(line.credit)}});
    }
    QJsonArray errors;
    for (const ErrorRow& error : day.errors) {
        errors.append(QJsonObject{{"code", text(error.code)},
                                  {"text", text(error.text)},
                                  {"interface", text(error.interfaceName)}});
    }
    QJsonObject object{{"company", text(day.company)},
                       {"day", text(isoText(day.day))},
                       {"point", static_cast<qint64>(day.point)},
                       {"pointName", text(day.pointName)},
                       {"book", text(std::string(1, day.book))},
                       {"status", word(statusName(day.status))},
                       {"voucher", static_cast<qint64>(day.voucher)},
                       {"debit", amount(day.debit())},
                       {"credit", amount(day.credit())},
                       {"lines", lines},
                       {"errors", errors},
                       {"message", text(day.message)}};
    if (day.reversedVoucher != 0) {
        object.insert("reversedVoucher", static_cast<qint64>(day.reversedVoucher));
    }
    return object;
}

QJsonArray failures(const std::vector<CompanyReport>& reports) {
    QJsonArray list;
    for (const CompanyReport& report : reports) {
        if (!report.failure.empty()) {
            list.append(
                QJsonObject{{"company", text(report.company)}, {"message", text(report.failure)}});
        }
    }
    return list;
}

std::string written(const QJsonObject& document) {
    return QJsonDocument(document).toJson(QJsonDocument::Indented).toStdString();
}

} // namespace

std::string dayResultsJson(const std::string& command, bool dryRun,
                           const std::vector<CompanyReport>& reports) {
    QJsonArray results;
    QJsonArray totals;
    for (const CompanyReport& report : reports) {
        for (const DayResult& day : report.days) {
            results.append(dayObject(day));
        }
        for (const BookTotal& total : bookTotals(report)) {
            totals.append(QJsonObject{{"company", text(report.company)},
                                      {"book", text(std::string(1, total.book))},
                                      {"debit", amount(total.debit)},
                                      {"credit", amount(total.credit)}});
        }
    }
    return written(QJsonObject{{"command", text(command)},
                               {"dryRun", dryRun},
                               {"results", results},
                               {"totals", totals},
                               {"failures", failures(reports)}});
}

std::string statusJson(const std::vector<CompanyReport>& reports) {
    QJsonArray rows;
    for (const CompanyReport& report : reports) {
        for (const StatusRow& row : report.status) {
            rows.append(QJsonObject{{"company", text(report.company)},
                                    {"day", text(isoText(row.day))},
                                    {"point", static_cast<qint64>(row.point)},
                                    {"pointName", text(row.pointName)},
                                    {"book", text(std::string(1, row.book))},
                                    {"sales", static_cast<qint64>(row.sales)},
                                    {"total", amount(row.total)},
                                    {"entered", static_cast<qint64>(row.entered)},
                                    {"status", word(row.state())},
                                    {"vouchers", text(row.vouchers)},
                                    {"reversed", text(row.reversed)}});
        }
    }
    return written(
        QJsonObject{{"command", "status"}, {"rows", rows}, {"failures", failures(reports)}});
}

} // namespace app::post
