#include "app/post/company_session.h"

#include "app/form/connection_settings.h"
#include "app/form/database_names.h"
#include "app/form/sign_in.h"
#include "app/form/window_data_sets.h"
#include "db/bcd.h"
#include "db/database_error.h"
#include "db/sql_connection.h"
#include "db/sql_query.h"

#include <filesystem>

namespace app::post {

namespace {

std::string dateOrderQuery() {
    return std::string("select trim(conf_valor) from ") + schema::kConfigurationTable + " where " +
           schema::kDateOrderSetting;
}

db::TransactionDesc transaction(const db::SQLConnection& connection) {
    db::TransactionDesc desc;
    desc.transactionId = 1;
    desc.isolationLevel = connection.isolationLevel();
    return desc;
}

// An entry without a host opens the file with the embedded engine: a
// company whose file is missing is no company of that entry.
// A server entry is "host:dir" or "host/port:dir".
bool isLocalEntry(const std::string& entry) {
    const std::size_t colon = entry.find(':');
    if (colon == std::string::npos || colon == 0) {
        return true;
    }
    const std::string server = entry.substr(0, colon);
    const std::size_t slash = server.find('/');
    if (slash == std::string::npos) {
        return false;
    }
    const std::string port = server.substr(slash + 1);
    return slash == 0 || port.empty() || port.find_first_not_of("0123456789") != std::string::npos;
}

} // namespace

CompanySession::CompanySession(const Credentials& credentials, const std::string& company)
    : company_(company) {
    const std::string database = companyDatabase(credentials.serverEntry, company);
    if (isLocalEntry(credentials.serverEntry) && !std::filesystem::exists(database)) {
        throw UnknownCompany("company " + company + ": there is no company database " + database);
    }
    SignIn signIn(*form_.Pelmora, *form_.dataSets,
                  SignIn::Window{[] { return true; }, [](const std::string&) {}, [] {}, [] {}});
    try {
        if (signIn.run({credentials.serverEntry, credentials.user, credentials.password,
                        company}) != SignIn::Outcome::SignedIn) {
            throw SignInError("company " + company + ": a user name and a password are needed");
        }
        dataset::ClientDataSet& points = form_.dataSets->CPuntos;
        for (points.First(); !points.Eof(); points.Next()) {
            points_.push_back({form_.dataSets->CPuntosPTVT_ID->AsInteger(),
                               form_.dataSets->CPuntosPTVT_NOM->AsString()});
        }
        select(dateOrderQuery(),
               [this](const std::vector<db::SQLValue>& row) { dateOrder_ = textOf(row[0]); });
    } catch (const SignInError&) {
        throw;
    } catch (const std::exception& error) {
        throw SignInError("company " + company + ": " + error.what());
    }
}

const PointOfSale* CompanySession::point(std::int64_t id) const {
    for (const PointOfSale& point : points_) {
        if (point.id == id) {
            return &point;
        }
    }
    return nullptr;
}

void CompanySession::select(const std::string& sql,
                            const std::function<void(const std::vector<db::SQLValue>&)>& row) {
    db::SQLQuery query;
    query.setConnection(form_.Pelmora.get());
    query.setSQL(sql);
    query.open();
    std::vector<db::SQLValue> values(query.fieldDefs().size());
    for (; !query.eof(); query.next()) {
        for (std::size_t i = 0; i < values.size(); ++i) {
            values[i] = query.value(i);
        }
        row(values);
    }
    query.close();
}

void CompanySession::startTransaction() {
    form_.Pelmora->startTransaction(transaction(*form_.Pelmora));
}

void CompanySession::commit() {
    form_.Pelmora->commit(transaction(*form_.Pelmora));
}

void CompanySession::rollback() {
    // A lost connection took its transaction with it.
    if (form_.Pelmora->inTransaction()) {
        form_.Pelmora->rollback(transaction(*form_.Pelmora));
    }
}

bool CompanySession::answers() {
    if (form_.Pelmora->connectionLost()) {
        return false;
    }
    try {
        select("select 1 from rdb$database", [](const std::vector<db::SQLValue>&) {});
        return true;
    } catch (const std::exception&) {
        return false;
    }
}

bool CompanySession::inTransaction() const {
    return form_.Pelmora->inTransaction();
}

std::string textOf(const db::SQLValue& value) {
    if (const auto* text = std::get_if<std::string>(&value)) {
        return *text;
    }
    if (const auto* number = std::get_if<std::int64_t>(&value)) {
        return std::to_string(*number);
    }
    if (const auto* decimal = std::get_if<db::Bcd>(&value)) {
        return decimal->toString();
    }
    return {};
}

namespace {

// A decimal as a whole number of 10^-places units, cut towards zero.
std::int64_t scaledTo(const db::Bcd& decimal, int places) {
    std::int64_t scaled = decimal.toScaled().value_or(0);
    for (int scale = decimal.scale(); scale < places; ++scale) {
        scaled *= 10;
    }
    for (int scale = decimal.scale(); scale > places; --scale) {
        scaled /= 10;
    }
    return scaled;
}

} // namespace

std::int64_t integerOf(const db::SQLValue& value) {
    if (const auto* number = std::get_if<std::int64_t>(&value)) {
        return *number;
    }
    if (const auto* decimal = std::get_if<db::Bcd>(&value)) {
        return scaledTo(*decimal, 0);
    }
    return 0;
}

std::int64_t centsOf(const db::SQLValue& value) {
    if (const auto* decimal = std::get_if<db::Bcd>(&value)) {
        return scaledTo(*decimal, 2);
    }
    if (const auto* number = std::get_if<std::int64_t>(&value)) {
        return *number * 100;
    }
    return 0;
}

} // namespace app::post
