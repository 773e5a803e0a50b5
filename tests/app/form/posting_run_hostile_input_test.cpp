// The posting run fed hostile values in every input that it writes into SQL
// text: the prefix of the point of sale, the cash-sale client code of the
// prefix's authorisation and of the company's settings, the sales
// interface's name, the error count the posting procedure answers and the
// date text. The values are quotes, semicolons, comment markers, texts
// longer than their column and thousands of characters long, characters
// beyond Latin-1, and NUL. Each case starts from the same demo company with
// a canary table and checks that the value reached the database as data:
// the canary, the names of the tables and procedures and the ledger stay as
// a normal posting leaves them, what the run wrote carries the value itself,
// and the run ends posted, refused with a message, failed with its listing,
// or with the database's error.

#include "app/form/connection_settings.h"
#include "app/form/form_session.h"
#include "app/form/posting_run.h"
#include "app/form/sign_in.h"
#include "app/form/window_data_sets.h"
#include "db/database_error.h"
#include "db/sql_connection.h"
#include "db/sql_query.h"
#include "tests/command_testing.h"

#include <algorithm>
#include <filesystem>
#include <gtest/gtest.h>
#include <map>
#include <memory>
#include <optional>
#include <ostream>
#include <set>
#include <string>
#include <vector>

namespace app {
namespace {

using Row = std::vector<std::string>;
using Rows = std::vector<Row>;

constexpr const char* kCompany = "001";
constexpr const char* kCanary = "canario";
constexpr const char* kCashClient = "222222222222";
// The demo's point 1 (prefix FV01, client from its authorisation) posts;
// point 2 (FV02) takes its client from the company's settings; point 4
// (FV04) lacks the accounts of one rate and fails.
constexpr std::int64_t kPostingPoint = 1;
constexpr std::int64_t kCompanyClientPoint = 2;
constexpr std::int64_t kFailingPoint = 4;

// The demo's prefix of a point that posts.
std::string demoPrefix(std::int64_t point) {
    return point == kCompanyClientPoint ? "FV02" : "FV01";
}

// The demo's name of a point's cash-sale interface.
std::string demoInterface(std::int64_t point) {
    switch (point) {
    case kPostingPoint:
        return "Contado Almacén Principal Centro";
    case kCompanyClientPoint:
        return "Contado Sucursal Chapinero";
    default:
        return "Contado Punto Móvil Feria de las Flores";
    }
}

enum class Input {
    Prefix,
    AuthorisationClient,
    CompanyClient,
    InterfaceName,
    ErrorCount,
    DateText
};

enum class Ending { Posted, Failed, Refused, NothingNew, DatabaseError };

struct Hostile {
    Input input;
    std::string name;
    // As the company stores it or the run is asked for it; may hold NUL.
    std::string value;
    Ending ending;
    // The column is made wide enough for the value first.
    bool widen = false;
};

// The value as the program reads it back: text ends at a NUL.
std::string asRead(const std::string& value) {
    return value.substr(0, value.find('\0'));
}

// The first characters of a UTF-8 text, as the error log cuts its texts.
std::string firstCharacters(const std::string& text, std::size_t count) {
    std::size_t end = 0;
    for (std::size_t n = 0; end < text.size() && n < count; ++n) {
        ++end;
        while (end < text.size() && (static_cast<unsigned char>(text[end]) & 0xC0U) == 0x80U)
            ++end;
    }
    return text.substr(0, end);
}

std::size_t characterCount(const std::string& text) {
    return static_cast<std::size_t>(std::count_if(text.begin(), text.end(), [](char c) {
        return (static_cast<unsigned char>(c) & 0xC0U) != 0x80U;
    }));
}

// A piece repeated up to a length.
std::string repeated(const std::string& piece, std::size_t length) {
    std::string text;
    while (text.size() < length)
        text += piece;
    return text.substr(0, length);
}

const std::string kStatement = "x'); delete from canario; commit; --/*";
// Out of its literal, this would call a procedure that empties the canary.
const std::string kCanaryCall = "'||(select r from vaciar_canario)||'";

std::vector<Hostile> hostileValues() {
    using E = Ending;
    using I = Input;
    const std::string nul(1, '\0');
    std::vector<Hostile> cases{
        // A prefix holds four characters.
        {I::Prefix, "plain", "HX01", E::Posted},
        {I::Prefix, "quote", "O'Ha", E::Posted},
        {I::Prefix, "quoteSemicolonComment", "';--", E::Posted},
        {I::Prefix, "commentOpen", "/*'", E::Posted},
        {I::Prefix, "commentClose", "*/;", E::Posted},
        {I::Prefix, "quotesOnly", "''''", E::Posted},
        {I::Prefix, "greek", "Ωμέγ", E::Posted},
        {I::Prefix, "cjk", "中文字", E::Posted},
        {I::Prefix, "emoji", "😀'", E::Posted},
        // Only the point of sale's own column is widened: the lookups find
        // no authorisation and no interface for the longer prefix; one of
        // thousands of characters is longer than the authorisations' index
        // takes as a key to look for.
        {I::Prefix, "longerThanColumn", "FV01" + kCanaryCall, E::Refused, true},
        {I::Prefix, "thousands", repeated(kStatement, 3000), E::DatabaseError, true},
        {I::Prefix, "nul", "F" + nul + "';", E::Refused},

        // A client code that fits a third party's code is one, with the
        // prefix's sales; a longer one is no third party.
        {I::AuthorisationClient, "plain", "HOSTIL-1", E::Posted},
        {I::AuthorisationClient, "alwaysTrue", "1' or '1'='1", E::Posted},
        {I::AuthorisationClient, "statement", "');delete canario;--", E::Posted},
        {I::AuthorisationClient, "comments", "/* x */ -- y", E::Posted},
        {I::AuthorisationClient, "procedureCall", kCanaryCall, E::Failed, true},
        {I::AuthorisationClient, "greek", "Ωμέγα-7", E::Posted},
        {I::AuthorisationClient, "cjk", "中文客户", E::Posted},
        {I::AuthorisationClient, "emoji", "😀🎉'", E::Posted},
        {I::AuthorisationClient, "longerThanColumn", repeated(kStatement, 300), E::Failed, true},
        {I::AuthorisationClient, "quotesByHundreds", std::string(900, '\''), E::Failed, true},
        // Longer than the posting procedure takes.
        {I::AuthorisationClient, "thousands", repeated(kStatement, 5000), E::DatabaseError, true},
        {I::AuthorisationClient, "nul", "HOSTIL" + nul + "'; --", E::Failed},

        {I::CompanyClient, "plain", "HOSTIL-2", E::Posted},
        {I::CompanyClient, "alwaysTrue", "1' or '1'='1", E::Posted},
        {I::CompanyClient, "statement", "');delete canario;--", E::Posted},
        {I::CompanyClient, "comments", "/* x */ -- y", E::Posted},
        {I::CompanyClient, "procedureCall", kCanaryCall, E::Failed},
        {I::CompanyClient, "greek", "Ωμέγα-7", E::Posted},
        {I::CompanyClient, "cjk", "中文客户", E::Posted},
        {I::CompanyClient, "emoji", "😀🎉'", E::Posted},
        {I::CompanyClient, "longerThanThirdParty", repeated(kStatement, 150), E::Failed},
        {I::CompanyClient, "longerThanColumn", repeated(kStatement, 900), E::Failed, true},
        {I::CompanyClient, "thousands", repeated(kStatement, 5000), E::DatabaseError, true},
        {I::CompanyClient, "nul", "HOSTIL" + nul + "'; --", E::Failed},

        // The interface of a failing point: its name heads the listing.
        {I::InterfaceName, "plain", "Contado FV04", E::Failed},
        {I::InterfaceName, "statement", "x' as interfaz from rdb$database; delete from canario; --",
         E::Failed},
        {I::InterfaceName, "quotesOnly", std::string(60, '\''), E::Failed},
        {I::InterfaceName, "comments", "/* -- */ ; */", E::Failed},
        {I::InterfaceName, "procedureCall", kCanaryCall, E::Failed},
        {I::InterfaceName, "greek", "Διεπαφή πωλήσεων", E::Failed},
        {I::InterfaceName, "cjk", "现金销售接口", E::Failed},
        {I::InterfaceName, "emoji", "Contado 😀🎉'", E::Failed},
        {I::InterfaceName, "longerThanColumn", repeated(kStatement, 200), E::Failed, true},
        {I::InterfaceName, "thousands", repeated(kStatement, 5000), E::Failed, true},
        {I::InterfaceName, "quotesByThousands", std::string(8000, '\''), E::Failed, true},
        {I::InterfaceName, "nul", "Contado" + nul + "' as x; --", E::Failed},

        // What the procedure answers as its error count, over a real failure.
        {I::ErrorCount, "one", "1", E::Failed},
        {I::ErrorCount, "largest", "2147483647", E::Failed},
        {I::ErrorCount, "minusOne", "-1", E::NothingNew},
        {I::ErrorCount, "smallest", "-2147483648", E::NothingNew},

        // The date text the run is asked for; the day's own text is added in
        // front where a case begins with "+".
        {I::DateText, "plain", "+", E::Posted},
        {I::DateText, "statement", "+" + kStatement, E::Failed},
        {I::DateText, "quotesOnly", "''''", E::Failed},
        {I::DateText, "comments", "+ /* */ --", E::Failed},
        {I::DateText, "procedureCall", "+" + kCanaryCall, E::Failed},
        {I::DateText, "greek", "14/Μάρ/2031", E::Failed},
        {I::DateText, "cjk", "2031年3月14日", E::Failed},
        {I::DateText, "emoji", "😀", E::Failed},
        {I::DateText, "longerThanADate", repeated(kStatement, 150), E::Failed},
        {I::DateText, "quotesByThousands", std::string(7000, '\''), E::Failed},
        // Longer than the posting procedure takes.
        {I::DateText, "thousands", repeated(kStatement, 9000), E::DatabaseError},
        {I::DateText, "tensOfThousands", repeated(kStatement, 40000), E::DatabaseError},
        // The statement ends at the NUL, inside the date's literal.
        {I::DateText, "nul", "+" + nul + kStatement, E::DatabaseError},
        {I::DateText, "notUtf8", "\xff\xfe'", E::DatabaseError},
    };
    return cases;
}

const char* inputName(Input input) {
    switch (input) {
    case Input::Prefix:
        return "Prefix";
    case Input::AuthorisationClient:
        return "AuthorisationClient";
    case Input::CompanyClient:
        return "CompanyClient";
    case Input::InterfaceName:
        return "InterfaceName";
    case Input::ErrorCount:
        return "ErrorCount";
    case Input::DateText:
        return "DateText";
    }
    return "";
}

void PrintTo(const Hostile& hostile, std::ostream* out) {
    *out << inputName(hostile.input) << "_" << hostile.name;
}

std::int64_t pointOf(Input input) {
    switch (input) {
    case Input::CompanyClient:
        return kCompanyClientPoint;
    case Input::InterfaceName:
    case Input::ErrorCount:
        return kFailingPoint;
    default:
        return kPostingPoint;
    }
}

// A connection of the test's own to the company.
class Probe {
public:
    explicit Probe(const std::string& database) : connection_(makePelmoraConnection()) {
        db::test::connectTo(*connection_, database);
    }

    void execute(const std::string& sql) { connection_->executeStatement(sql); }

    // Runs a statement whose one "?" takes the text; NUL in the text is
    // written as NUL.
    void executeWithText(const std::string& sql, const std::string& text) {
        std::string sent = text;
        std::replace(sent.begin(), sent.end(), '\0', '\x01');
        std::string withText = sql;
        withText.replace(withText.find('?'), 1,
                         "replace(cast(? as varchar(8000)), ascii_char(1), ascii_char(0))");
        connection_->executeStatement(
            withText, {db::SQLParam{"P1", db::FieldType::String, db::ParamDirection::In, sent}});
    }

    Rows rows(const std::string& sql) {
        db::SQLQuery query("probe");
        query.setConnection(connection_.get());
        query.setSQL(sql);
        query.open();
        Rows result;
        for (; !query.eof(); query.next()) {
            Row row;
            for (std::size_t i = 0; i < query.fieldDefs().size(); ++i)
                row.push_back(db::test::textOf(query.value(i)));
            result.push_back(std::move(row));
        }
        query.close();
        query.setConnection(nullptr);
        return result;
    }

    std::string value(const std::string& sql) {
        const Rows found = rows(sql);
        return found.empty() ? "<none>" : found.front().front();
    }

private:
    std::unique_ptr<db::SQLConnection> connection_;
};

// Rows by their first column.
std::map<std::string, Row> byKey(const Rows& rows) {
    std::map<std::string, Row> keyed;
    for (const Row& row : rows)
        keyed[row.front()] = row;
    return keyed;
}

// What a run may change, and what it must not.
struct Footprint {
    Rows canary;
    Rows objects;
    Rows vouchers;
    Rows lines;
    Rows sales;
    Rows links;
    Rows errors;

    static Footprint of(Probe& probe) {
        return {
            probe.rows(std::string("select id, texto from ") + kCanary + " order by id"),
            probe.rows("select 'T', trim(rdb$relation_name) from rdb$relations where "
                       "coalesce(rdb$system_flag, 0) = 0 union all select 'P', "
                       "trim(rdb$procedure_name) from rdb$procedures where "
                       "coalesce(rdb$system_flag, 0) = 0 union all select 'G', "
                       "trim(rdb$trigger_name) from rdb$triggers where "
                       "coalesce(rdb$system_flag, 0) = 0 order by 1, 2"),
            probe.rows("select comp_id, libr_cod, comp_estado, comp_fecha, tido_cod, pref_pre, "
                       "ptvt_id, terc_nit, inve_id from comprobantes order by comp_id"),
            probe.rows("select coli_id, comp_id, libr_cod, cuen_cod, coli_debito, coli_credito, "
                       "terc_nit from comprobante_lineas order by coli_id"),
            probe.rows("select fact_id, tido_cod, pref_pre, fact_numero, fact_fecha, ptvt_id, "
                       "terc_nit, fact_total, fact_anulada, fact_comp_niif, fact_comp_local "
                       "from facturas order by fact_id"),
            probe.rows("select comp_id, fact_id from comprobante_facturas order by 1, 2"),
            probe.rows("select erro_item, erro_tipodoc, erro_iddoc, erro_codigo, erro_cadena "
                       "from errores order by erro_item"),
        };
    }
};

// The column of facturas that names the voucher of the local book: the last.
constexpr std::size_t kSaleVoucher = 10;

class PostingRunHostileInputTest : public ::testing::TestWithParam<Hostile> {
protected:
    static void SetUpTestSuite() {
        entry_ = db::test::createCompanies("posting_run_hostile_input_test", {kCompany});
        if (entry_.empty())
            return;
        {
            Probe probe(database());
            probe.execute(std::string("create table ") + kCanary +
                          " (id integer not null primary key, texto varchar(40))");
            probe.execute(std::string("insert into ") + kCanary + " values (1, 'intacto')");
            probe.execute(std::string("create procedure vaciar_canario returns (r varchar(1)) as "
                                      "begin delete from ") +
                          kCanary + "; r = ''; suspend; end");
            const std::string day = probe.value("select max(fact_fecha) from facturas");
            isoDay_ = day;
            // The company reads day/month/year.
            dayText_ = day.substr(8, 2) + "/" + day.substr(5, 2) + "/" + day.substr(0, 4);
        }
        std::filesystem::copy_file(database(), pristine(),
                                   std::filesystem::copy_options::overwrite_existing);
    }

    static std::string database() { return companyDatabase(entry_, kCompany); }
    static std::string pristine() { return entry_ + "/pristine.fdb"; }

    void SetUp() override {
        ASSERT_FALSE(entry_.empty()) << "the company could not be created";
        // Every case starts from the same company.
        std::filesystem::copy_file(pristine(), database(),
                                   std::filesystem::copy_options::overwrite_existing);
    }

    // Puts the value where the input reads it from.
    static void store(Probe& probe, const Hostile& c) {
        const std::string& v = c.value;
        switch (c.input) {
        case Input::Prefix:
            if (c.widen) {
                probe.execute("alter table punto_venta alter column pref_pre type varchar(8000)");
                probe.executeWithText("update punto_venta set pref_pre = ? where ptvt_id = 1", v);
                break;
            }
            for (const char* table :
                 {"punto_venta", "autorizaciones", "interfaz_ventas", "facturas"}) {
                probe.executeWithText(std::string("update ") + table +
                                          " set pref_pre = ? where pref_pre = 'FV01'",
                                      v);
            }
            break;
        case Input::AuthorisationClient:
            if (c.widen) {
                probe.execute(
                    "alter table autorizaciones alter column auto_nitcontado type varchar(8000)");
            }
            probe.executeWithText(
                "update autorizaciones set auto_nitcontado = ? where pref_pre = 'FV01'", v);
            makeClient(probe, v, "FV01");
            break;
        case Input::CompanyClient:
            if (c.widen) {
                probe.execute(
                    "alter table configuracion alter column conf_valor type varchar(8000)");
            }
            probe.executeWithText("update configuracion set conf_valor = ? where conf_propiedad = "
                                  "'CODIGO DEL CLIENTE PARA VENTAS DE CONTADO'",
                                  v);
            makeClient(probe, v, "FV02");
            break;
        case Input::InterfaceName:
            if (c.widen) {
                probe.execute(
                    "alter table interfaz_ventas alter column inve_nombre type varchar(8000)");
            }
            probe.executeWithText("update interfaz_ventas set inve_nombre = ? where pref_pre = "
                                  "'FV04' and tido_cod = 31",
                                  v);
            break;
        case Input::ErrorCount:
            // The real posting, its error count replaced.
            probe.execute("create or alter procedure contabil_facturas_contado (fecha "
                          "varchar(8000), cliente varchar(1000), prefijo varchar(1000), punto "
                          "integer, interfaz integer) returns (ver char(1), idc integer, err "
                          "integer) as begin select ver, idc, err from "
                          "contabilizar_ventas_contado(:fecha, :cliente, :prefijo, :punto, "
                          ":interfaz, 'L') into :ver, :idc, :err; err = " +
                          v + "; suspend; end");
            break;
        case Input::DateText:
            break;
        }
    }

    // A client code that fits a third party's code becomes one, and the
    // prefix's sales are made to it.
    static void makeClient(Probe& probe, const std::string& code, const std::string& prefix) {
        if (characterCount(code) > 20)
            return;
        probe.executeWithText("insert into terceros (terc_nit, terc_nombre) values (?, 'HOSTIL')",
                              code);
        probe.executeWithText("update facturas set terc_nit = ? where pref_pre = '" + prefix + "'",
                              code);
    }

    static std::string dateTextOf(const Hostile& c) {
        if (c.input != Input::DateText)
            return dayText_;
        return c.value.rfind('+', 0) == 0 ? dayText_ + c.value.substr(1) : c.value;
    }

    static inline std::string entry_;
    static inline std::string isoDay_;
    static inline std::string dayText_;
};

// How one run ended, and what it showed on the way.
struct RunSeen {
    std::optional<PostingRun::Outcome> outcome;
    std::string databaseError;
    std::vector<std::string> messages;
    int bannersHidden = 0;
    int errorGridsEnabled = 0;
    // CError's rows after the run: code, text, interface.
    Rows listing;
    // What the run read as the point's prefix.
    std::string prefix;
};

TEST_P(PostingRunHostileInputTest, TheValueStaysDataAndTheRunEndsClearly) {
    const Hostile& c = GetParam();
    const std::int64_t point = pointOf(c.input);
    Footprint before;
    {
        Probe probe(database());
        store(probe, c);
        before = Footprint::of(probe);
    }

    RunSeen run;
    {
        FormSession session;
        SignIn signIn(*session.Pelmora, *session.dataSets,
                      {[] { return true; }, [](const std::string&) {}, [] {}, [] {}});
        ASSERT_EQ(signIn.run({entry_, "SYSDBA", "masterkey", kCompany}), SignIn::Outcome::SignedIn);
        PostingRun posting(*session.dataSets, *session.commands.Scontapend,
                           {[&run] { ++run.bannersHidden; },
                            [&run](const std::string& text) { run.messages.push_back(text); },
                            [&run] { ++run.errorGridsEnabled; }});
        try {
            run.outcome = posting.run({dateTextOf(c), "DMY", dataset::Value{point}, false});
        } catch (const db::DatabaseError& error) {
            run.databaseError = error.what();
        }
        WindowDataSets& sets = *session.dataSets;
        run.prefix = sets.CPuntosPREF_PRE->AsString();
        if (sets.CError.Active()) {
            for (sets.CError.First(); !sets.CError.Eof(); sets.CError.Next())
                run.listing.push_back({sets.CErrorERRO_CODIGO->AsString(),
                                       sets.CErrorERRO_CADENA->AsString(),
                                       sets.CErrorINTERFAZ->AsString()});
        }
    }

    Probe probe(database());
    const Footprint after = Footprint::of(probe);
    // Nothing but the posting ran.
    EXPECT_EQ(after.canary, (Rows{{"1", "intacto"}}));
    EXPECT_EQ(after.objects, before.objects);

    // The run's own end.
    switch (c.ending) {
    case Ending::DatabaseError:
        EXPECT_FALSE(run.outcome) << "ended as kind " << static_cast<int>(run.outcome->kind);
        EXPECT_FALSE(run.databaseError.empty());
        EXPECT_TRUE(run.messages.empty());
        break;
    case Ending::Posted:
        ASSERT_TRUE(run.outcome) << run.databaseError;
        EXPECT_EQ(run.outcome->kind, PostingRun::Outcome::Kind::Posted) << run.outcome->message;
        EXPECT_EQ(run.messages, std::vector<std::string>{PostingRun::kPosted});
        break;
    case Ending::Failed:
        ASSERT_TRUE(run.outcome) << run.databaseError;
        EXPECT_EQ(run.outcome->kind, PostingRun::Outcome::Kind::Failed) << run.outcome->message;
        EXPECT_EQ(run.messages, std::vector<std::string>{std::string(PostingRun::kFailedHead) +
                                                         '\r' + PostingRun::kFailedHint});
        EXPECT_EQ(run.errorGridsEnabled, 1);
        EXPECT_FALSE(run.listing.empty());
        break;
    case Ending::Refused:
        ASSERT_TRUE(run.outcome) << run.databaseError;
        EXPECT_EQ(run.outcome->kind, PostingRun::Outcome::Kind::Refused) << run.outcome->message;
        // The prefix read, shown whole as the run read it.
        EXPECT_EQ(run.prefix, asRead(c.value));
        EXPECT_EQ(run.messages,
                  std::vector<std::string>{PostingRun::kNoInterfacePrefix + run.prefix + "."});
        break;
    case Ending::NothingNew:
        ASSERT_TRUE(run.outcome) << run.databaseError;
        EXPECT_EQ(run.outcome->kind, PostingRun::Outcome::Kind::NothingNew);
        EXPECT_TRUE(run.messages.empty());
        break;
    }
    if (run.outcome) {
        EXPECT_EQ(run.bannersHidden, 1);
    }

    // The listing names the interface whose name it was given.
    const std::string interfaceName =
        c.input == Input::InterfaceName ? asRead(c.value) : demoInterface(point);
    for (const Row& listed : run.listing) {
        EXPECT_EQ(listed.at(2), interfaceName);
    }

    // The ledger: a posted run adds its one completed voucher and marks the
    // sales it took; any other run leaves it as it was.
    if (c.ending != Ending::Posted) {
        EXPECT_EQ(after.vouchers, before.vouchers);
        EXPECT_EQ(after.lines, before.lines);
        EXPECT_EQ(after.sales, before.sales);
        EXPECT_EQ(after.links, before.links);
    } else if (run.outcome && run.outcome->kind == PostingRun::Outcome::Kind::Posted) {
        const std::string voucher = std::to_string(run.outcome->voucher);
        const std::string prefix = c.input == Input::Prefix ? c.value : demoPrefix(point);
        std::string client = kCashClient;
        if (c.input == Input::AuthorisationClient || c.input == Input::CompanyClient)
            client = c.value;
        std::map<std::string, Row> vouchers = byKey(after.vouchers);
        ASSERT_EQ(vouchers.count(voucher), 1U);
        EXPECT_EQ(vouchers[voucher], (Row{voucher, "L", "C", isoDay_, "31", prefix,
                                          std::to_string(point), client, vouchers[voucher][8]}));
        vouchers.erase(voucher);
        EXPECT_EQ(vouchers, byKey(before.vouchers));

        std::map<std::string, Row> lines = byKey(after.lines);
        for (const auto& [key, line] : byKey(before.lines)) {
            EXPECT_EQ(lines[key], line);
            lines.erase(key);
        }
        EXPECT_GE(lines.size(), 2U);
        for (const auto& [key, line] : lines) {
            EXPECT_EQ(line.at(1), voucher);
            EXPECT_EQ(line.at(6), client);
        }
        EXPECT_EQ(probe.value("select sum(coli_debito) - sum(coli_credito) from "
                              "comprobante_lineas where comp_id = " +
                              voucher),
                  "0.00");

        // Only the day's cash sales of the point, prefix and client are
        // marked, each with the voucher, and linked to it.
        ASSERT_EQ(after.sales.size(), before.sales.size());
        std::set<std::string> marked;
        for (std::size_t i = 0; i < before.sales.size(); ++i) {
            const Row& was = before.sales[i];
            Row is = after.sales[i];
            const bool taken = was[1] == "31" && was[2] == prefix && was[4] == isoDay_ &&
                               was[5] == std::to_string(point) && was[6] == client && was[8] == "N";
            if (taken) {
                EXPECT_EQ(is[kSaleVoucher], voucher) << "sale " << was[0];
                marked.insert(was[0]);
                is[kSaleVoucher] = was[kSaleVoucher];
            }
            EXPECT_EQ(is, was);
        }
        EXPECT_FALSE(marked.empty());
        Rows links = before.links;
        for (const std::string& sale : marked)
            links.push_back({voucher, sale});
        std::sort(links.begin(), links.end(), [](const Row& a, const Row& b) {
            return std::stoll(a[0]) != std::stoll(b[0]) ? std::stoll(a[0]) < std::stoll(b[0])
                                                        : std::stoll(a[1]) < std::stoll(b[1]);
        });
        EXPECT_EQ(after.links, links);
    }

    // The error log grows only by a failed run's own rows (the real ones
    // under a replaced error count); where the value itself was the fault,
    // a row carries it as the log cuts it.
    Rows added(after.errors.begin() +
                   static_cast<std::ptrdiff_t>(std::min(before.errors.size(), after.errors.size())),
               after.errors.end());
    EXPECT_TRUE(std::equal(before.errors.begin(), before.errors.end(), after.errors.begin(),
                           after.errors.end() - static_cast<std::ptrdiff_t>(added.size())));
    if (c.input == Input::ErrorCount) {
        EXPECT_FALSE(added.empty());
    } else if (c.ending != Ending::Failed) {
        EXPECT_TRUE(added.empty());
    } else {
        ASSERT_TRUE(run.outcome);
        EXPECT_EQ(static_cast<std::int64_t>(added.size()), run.outcome->errors);
    }
    std::string faultCode;
    std::string faultValue;
    if (c.ending == Ending::Failed && c.input == Input::DateText) {
        faultCode = "Fecha ilegible";
        faultValue = dateTextOf(c);
    } else if (c.ending == Ending::Failed &&
               (c.input == Input::AuthorisationClient || c.input == Input::CompanyClient)) {
        faultCode = "Cliente no existe";
        faultValue = asRead(c.value);
    }
    if (!faultCode.empty()) {
        const Row expected{faultCode, firstCharacters(faultValue, 20)};
        const bool found = std::any_of(added.begin(), added.end(), [&](const Row& row) {
            return Row{row.at(3), row.at(4)} == expected;
        });
        EXPECT_TRUE(found) << "no error row " << faultCode << " | " << expected[1];
    }
}

std::string caseName(const ::testing::TestParamInfo<Hostile>& info) {
    return std::string(inputName(info.param.input)) + "_" + info.param.name;
}

INSTANTIATE_TEST_SUITE_P(EveryInput, PostingRunHostileInputTest,
                         ::testing::ValuesIn(hostileValues()), caseName);

} // namespace
} // namespace app
