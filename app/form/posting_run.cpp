#include "app/form/posting_run.h"

#include "app/form/database_names.h"
#include "app/form/window_data_sets.h"
#include "db/sql_literal.h"
#include "db/sql_stored_proc.h"
#include "platform/text.h"

#include <chrono>

namespace app {

namespace {

constexpr const char* kArgumentSeparator = ", ";

std::string postingHead(bool niif) {
    return std::string("select * from ") +
           (niif ? schema::kNiifPostingProcedure : schema::kPostingProcedure) + "(";
}

std::string authorisationClientCode() {
    return std::string("SELECT AUTO_NITCONTADO FROM ") + schema::kAuthorisationTable +
           " WHERE PREF_PRE = ";
}

std::string companyClientCode() {
    return std::string("select conf_valor from ") + schema::kConfigurationTable +
           " where conf_modulo = 'FACTURACION' and conf_categoria = 'FACTURAS' and "
           "conf_propiedad = 'CODIGO DEL CLIENTE PARA VENTAS DE CONTADO'";
}

std::string companyDateOrder() {
    return std::string("select conf_valor from ") + schema::kConfigurationTable + " where " +
           schema::kDateOrderSetting;
}

// "DMY" as the user reads it: "día/mes/año".
std::string orderInWords(const std::string& order) {
    std::string words;
    for (const char part : order) {
        words += words.empty() ? "" : "/";
        words += part == 'D'   ? "día"
                 : part == 'M' ? "mes"
                 : part == 'Y' ? "año"
                               : std::string(1, part);
    }
    return words;
}

std::string interfaceOfPrefix() {
    return std::string("SELECT MAX(INVE_ID), MAX(INVE_NOMBRE) FROM ") +
           schema::kSalesInterfaceTable + " WHERE TIDO_COD = 31 AND PREF_PRE = ";
}

// The error listing of the failed run: its head rows, the interface named in
// a column of its own.
std::string errorListing(const std::string& interfaceName, std::int64_t errorCount) {
    return "select erro_codigo,erro_cadena," + db::sqlLiteral(interfaceName) +
           " as Interfaz from " + schema::kErrorTable +
           " where erro_item >= (select (max(erro_item) -" + std::to_string(errorCount) +
           ") from " + schema::kErrorTable + " where erro_tipodoc = 31 and erro_iddoc = 0)";
}

std::int64_t timed(const std::function<void()>& work) {
    const auto started = std::chrono::steady_clock::now();
    work();
    return std::chrono::duration_cast<std::chrono::nanoseconds>(std::chrono::steady_clock::now() -
                                                                started)
        .count();
}

} // namespace

PostingRun::PostingRun(WindowDataSets& dataSets, db::SQLStoredProc& Scontapend, Window window)
    : dataSets_(dataSets), Scontapend_(Scontapend), window_(std::move(window)) {}

PostingRun::Outcome PostingRun::run(const Request& request) {
    timings_ = {};
    outcome_ = {};
    if (!choosePointOfSale(request.pointKey) || !checkDateOrder(request.dateOrder))
        return outcome_;
    const std::string prefix = dataSets_.CPuntosPREF_PRE->AsString();
    const std::int64_t point = dataSets_.CPuntosPTVT_ID->AsInteger();

    std::string clientCode;
    if (!findClientCode(prefix, clientCode))
        return outcome_;
    std::int64_t interfaceId = 0;
    std::string interfaceName;
    if (!findInterface(prefix, interfaceId, interfaceName))
        return outcome_;

    const std::string statement = postingHead(request.niif) + db::sqlLiteral(request.dateText) +
                                  kArgumentSeparator + db::sqlLiteral(clientCode) +
                                  kArgumentSeparator + db::sqlLiteral(prefix) + kArgumentSeparator +
                                  std::to_string(point) + kArgumentSeparator +
                                  std::to_string(interfaceId) + ")";
    post(statement, interfaceName);
    return outcome_;
}

bool PostingRun::choosePointOfSale(const dataset::Value& pointKey) {
    // By the chosen key, never by the name shown: two points of sale may
    // share a name. A closed CPuntos (no sign-in yet) fails here.
    if (!dataSets_.CPuntos.Locate(schema::kPointId, pointKey)) {
        refuse(kNoPointOfSale);
        return false;
    }
    return true;
}

bool PostingRun::checkDateOrder(const std::string& dateOrder) {
    std::string companyOrder;
    // A company without the setting is left to the posting procedure,
    // which reports it in its error log.
    if (dateOrder.empty() || !lookUp(companyDateOrder(), companyOrder))
        return true;
    companyOrder = platform::upper(platform::trimmed(companyOrder));
    if (companyOrder == platform::upper(dateOrder))
        return true;
    refuse(
        platform::fill(kDateOrderDiffers, {orderInWords(companyOrder), orderInWords(dateOrder)}));
    return false;
}

bool PostingRun::findClientCode(const std::string& prefix, std::string& clientCode) {
    if (lookUp(authorisationClientCode() + db::sqlLiteral(prefix), clientCode) &&
        !clientCode.empty())
        return true;
    // The company's row is the last word, empty or not: an empty code goes
    // out as '' and the procedure reports it.
    if (lookUp(companyClientCode(), clientCode))
        return true;
    // Without the row the procedure cannot be called as it expects.
    refuse(kNoClientCode);
    return false;
}

bool PostingRun::findInterface(const std::string& prefix, std::int64_t& interfaceId,
                               std::string& interfaceName) {
    std::string id;
    // The aggregate always gives a row; MAX of no rows is null.
    if (!lookUp(interfaceOfPrefix() + db::sqlLiteral(prefix), id) || id.empty()) {
        refuse(kNoInterfacePrefix + prefix + ".");
        return false;
    }
    interfaceId = dataSets_.Cborrar.Fields(0).AsInteger();
    interfaceName = dataSets_.Cborrar.Fields(1).AsString();
    // Cborrar stays open with the interface until the next run closes it.
    return true;
}

bool PostingRun::lookUp(const std::string& sql, std::string& firstColumn) {
    dataset::ClientDataSet& Cborrar = dataSets_.Cborrar;
    Cborrar.close();
    Cborrar.setCommandText(sql);
    Cborrar.open();
    if (Cborrar.IsEmpty())
        return false;
    firstColumn = Cborrar.Fields(0).AsString();
    return true;
}

void PostingRun::post(const std::string& statement, const std::string& interfaceName) {
    dataset::ClientDataSet& CRepArticulos = dataSets_.CRepArticulos;
    CRepArticulos.close();
    CRepArticulos.setCommandText(statement);
    timings_.postingNanoseconds = timed([&] { CRepArticulos.open(); });
    window_.hideBanner();

    if (CRepArticulos.IsEmpty()) {
        outcome_.kind = Outcome::Kind::NotPosted;
        say(kNotPosted);
    } else if (const std::int64_t errors = dataSets_.CRepArticulosERR->AsInteger(); errors < 1) {
        // Nothing new to post gives voucher 0: nothing to complete or say.
        outcome_.kind = Outcome::Kind::NothingNew;
        if (const std::int64_t voucher = dataSets_.CRepArticulosIDC->AsInteger(); voucher != 0) {
            complete(voucher);
            outcome_.kind = Outcome::Kind::Posted;
            outcome_.voucher = voucher;
            say(kPosted);
        }
    } else {
        outcome_.kind = Outcome::Kind::Failed;
        outcome_.errors = errors;
        say(std::string(kFailedHead) + '\r' + kFailedHint);
        window_.enableErrorGrid();
        listErrors(errors, interfaceName);
    }
    CRepArticulos.close();
}

void PostingRun::complete(std::int64_t voucher) {
    Scontapend_.setStoredProcName(schema::kCompletionProcedure);
    Scontapend_.paramByName(schema::kCompletionParameter).value = voucher;
    timings_.completionNanoseconds = timed([&] { Scontapend_.execProc(); });
}

void PostingRun::listErrors(std::int64_t errorCount, const std::string& interfaceName) {
    dataset::ClientDataSet& CError = dataSets_.CError;
    CError.close();
    CError.setCommandText(errorListing(interfaceName, errorCount));
    CError.open();
}

void PostingRun::refuse(const std::string& text) {
    window_.hideBanner();
    say(text);
}

void PostingRun::say(const std::string& text) {
    outcome_.message = text;
    window_.showMessage(text);
}

} // namespace app
