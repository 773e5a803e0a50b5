// The posting tool over a generated month: 20 points of sale with 500 cash
// sales a day each for 30 days, added to a demo company made by the
// project's script (PELMORA_BENCH_POINTS, PELMORA_BENCH_SALES_PER_DAY and
// PELMORA_BENCH_DAYS make it smaller for a quick run).
//
// Two measures:
// - the month posted as `pelmora-post post` posts it, with the tool's own
//   share of the time: everything but the database's work (the two
//   procedures of each posting and its transaction's start and commit),
//   over the whole;
// - `status` over a year around the month (the status query and its table)
//   against one plain select of the status procedure over the same range,
//   read to the end.

#include "app/post/company_session.h"
#include "app/post/post_commands.h"
#include "app/post/report_text.h"
#include "app/post/sales_status.h"
#include "bench/ratio_reporter.h"
#include "db/sql_connection.h"
#include "db/sql_query.h"

#include <benchmark/benchmark.h>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <sstream>
#include <stdexcept>
#include <string>
#include <vector>

namespace {

using namespace app::post;
using Clock = std::chrono::steady_clock;

constexpr const char* kCompany = "001";

int sizeFrom(const char* variable, int fallback) {
    const char* text = std::getenv(variable);
    if (text == nullptr || *text == '\0') {
        return fallback;
    }
    const int value = std::atoi(text);
    return value > 0 ? value : fallback;
}

const int kPoints = sizeFrom("PELMORA_BENCH_POINTS", 20);
const int kSalesPerDay = sizeFrom("PELMORA_BENCH_SALES_PER_DAY", 500);
const int kDays = sizeFrom("PELMORA_BENCH_DAYS", 30);

double secondsSince(Clock::time_point started) {
    return std::chrono::duration<double>(Clock::now() - started).count();
}

std::string quoted(const std::string& text) {
    return "'" + text + "'";
}

// Points of sale 101, 102... with prefixes P001, P002..., each with its
// authorisation and a cash-sale interface of both books for the rates 0%
// and 16%, and the closing-rate adjustments of those rates over the days.
std::string pointsSql(Day first, Day last) {
    return "execute block as "
           "declare k integer = 1; declare pto integer; declare prefijo varchar(4); "
           "declare inve integer; declare libro char(1); declare sufijo varchar(4); "
           "begin "
           "while (k <= " +
           std::to_string(kPoints) +
           ") do begin "
           "pto = 100 + k; prefijo = 'P' || lpad(k, 3, '0'); "
           "insert into punto_venta (ptvt_id, bode_cod, ptvt_nom, ptvt_resp, caja_id, "
           "ptvt_color, pref_pre, terc_nit, sucu_id) values (:pto, '01', 'Caja ' || :prefijo, "
           "'Andrés Peña Gómez', :pto, 'clGreen', :prefijo, '79845123', 1); "
           "insert into autorizaciones (auto_id, pref_pre, auto_resolucion, auto_fecha, "
           "auto_desde, auto_hasta, auto_nitcontado) values (:pto, :prefijo, "
           "'18764' || :pto, current_date - 400, 1, 9000000, '222222222222'); "
           "insert into interfaz_ventas (inve_id, inve_nombre, tido_cod, pref_pre) "
           "values (0, 'Contado ' || :prefijo, 31, :prefijo) returning inve_id into :inve; "
           "for select 'L', '' from rdb$database union all select 'N', '0001' from rdb$database "
           "into :libro, :sufijo do begin "
           "insert into interfaz_ventas_cuentas values (:inve, :libro, 'CAJA', 0, '110505' || "
           ":sufijo); "
           "insert into interfaz_ventas_cuentas values (:inve, :libro, 'INGRESO', 0, '413503' || "
           ":sufijo); "
           "insert into interfaz_ventas_cuentas values (:inve, :libro, 'INGRESO', 16, '413501' || "
           ":sufijo); "
           "insert into interfaz_ventas_cuentas values (:inve, :libro, 'IVA', 16, '240801' || "
           ":sufijo); "
           "insert into interfaz_ventas_cuentas values (:inve, :libro, 'COSTO', 0, '613501' || "
           ":sufijo); "
           "insert into interfaz_ventas_cuentas values (:inve, :libro, 'COSTO', 16, '613501' || "
           ":sufijo); "
           "insert into interfaz_ventas_cuentas values (:inve, :libro, 'INVENTARIO', 0, "
           "'143501' || :sufijo); "
           "insert into interfaz_ventas_cuentas values (:inve, :libro, 'INVENTARIO', 16, "
           "'143501' || :sufijo); "
           "end "
           "k = k + 1; "
           "end "
           "insert into ajuste_cierre values (0, " +
           quoted(isoText(first)) + ", " + quoted(isoText(last)) +
           ", 0, 0.8); "
           "insert into ajuste_cierre values (0, " +
           quoted(isoText(first)) + ", " + quoted(isoText(last)) +
           ", 16, 0.8); "
           "end";
}

// The cash sales of one point over the days: each with goods at 0% and at
// 16%, its total the sum of its rates.
std::string salesSql(int k, Day first) {
    char prefix[16];
    std::snprintf(prefix, sizeof prefix, "P%03d", k);
    return "execute block as "
           "declare d integer = 0; declare i integer; declare numero integer = 0; "
           "declare f integer; declare b0 numeric(15,2); declare b16 numeric(15,2); "
           "begin "
           "while (d < " +
           std::to_string(kDays) +
           ") do begin "
           "i = 0; "
           "while (i < " +
           std::to_string(kSalesPerDay) +
           ") do begin "
           "numero = numero + 1; "
           "b0 = 1000 + mod(numero * 37, 50) * 100; "
           "b16 = 2000 + mod(numero * 71, 90) * 100; "
           "insert into facturas (fact_id, tido_cod, pref_pre, fact_numero, fact_fecha, "
           "ptvt_id, terc_nit, fact_total) values (0, 31, '" +
           prefix + "', :numero, date " + quoted(isoText(first)) + " + :d, " +
           std::to_string(100 + k) +
           ", '222222222222', :b0 + :b16 * 1.16) returning fact_id into :f; "
           "insert into factura_tarifas values (:f, 0, :b0, 0); "
           "insert into factura_tarifas values (:f, 16, :b16, :b16 * 0.16); "
           "i = i + 1; "
           "end "
           "d = d + 1; "
           "end "
           "end";
}

class PostToolBench {
public:
    PostToolBench() {
        char pattern[] = "/tmp/pelmora-post-bench-XXXXXX";
        if (::mkdtemp(pattern) == nullptr) {
            throw std::runtime_error("no temporary directory");
        }
        directory_ = pattern;
        const std::string command = std::string("'") + PELMORA_CREATE_COMPANY +
                                    "' --demo --force '" + directory_ + "' " + kCompany +
                                    " >/dev/null";
        if (std::system(command.c_str()) != 0) {
            throw std::runtime_error("the demo company could not be made");
        }
        const Day today = std::chrono::floor<std::chrono::days>(std::chrono::system_clock::now());
        first = today - std::chrono::days(60);
        last = first + std::chrono::days(kDays - 1);
        yearFrom = first - std::chrono::days(150);
        yearTo = yearFrom + std::chrono::days(364);

        const Clock::time_point started = Clock::now();
        {
            CompanySession maker(credentials(), kCompany);
            db::SQLConnection& connection = *maker.form().Pelmora;
            maker.startTransaction();
            connection.executeStatement(pointsSql(first, last));
            maker.commit();
            for (int k = 1; k <= kPoints; ++k) {
                maker.startTransaction();
                connection.executeStatement(salesSql(k, first));
                maker.commit();
            }
        }
        generationSeconds = secondsSince(started);
        std::printf("generated %d points x %d sales x %d days = %ld sales in %.1f s\n", kPoints,
                    kSalesPerDay, kDays, static_cast<long>(kPoints) * kSalesPerDay * kDays,
                    generationSeconds);
        std::fflush(stdout);
        // Signed in after the points exist: the session reads them then.
        session = std::make_unique<CompanySession>(credentials(), kCompany);
    }

    ~PostToolBench() {
        session.reset();
        std::error_code ignored;
        std::filesystem::remove_all(directory_, ignored);
    }

    PostToolBench(const PostToolBench&) = delete;
    PostToolBench& operator=(const PostToolBench&) = delete;

    CompanySession::Credentials credentials() const { return {directory_, "SYSDBA", "masterkey"}; }

    PostOptions monthOptions() const {
        PostOptions options;
        options.command = Command::Post;
        options.companies = {kCompany};
        options.from = first;
        options.to = last;
        for (int k = 1; k <= kPoints; ++k) {
            options.points.push_back(100 + k);
        }
        return options;
    }

    Day first{};
    Day last{};
    Day yearFrom{};
    Day yearTo{};
    double generationSeconds = 0;
    std::unique_ptr<CompanySession> session;

private:
    std::string directory_;
};

// Made in main, gone before it returns.
PostToolBench* fixture = nullptr;

// The month's measure, printed after the benchmarks.
double toolShare = -1;
double monthSeconds = 0;
double databaseSeconds = 0;

void BM_PostAMonth(benchmark::State& state) {
    const PostOptions options = fixture->monthOptions();
    for (auto _ : state) {
        const Clock::time_point started = Clock::now();
        const CompanyReport report = postCompany(*fixture->session, options);
        const double total = secondsSince(started);

        if (!report.failure.empty()) {
            state.SkipWithError(report.failure.c_str());
            return;
        }
        std::int64_t database = 0;
        long posted = 0;
        for (const DayResult& day : report.days) {
            database += day.databaseNanoseconds;
            if (day.status == DayStatus::Posted) {
                ++posted;
            } else {
                const std::string why = "not posted: " + isoText(day.day) + " point " +
                                        std::to_string(day.point) + ": " + day.message;
                state.SkipWithError(why.c_str());
                return;
            }
        }
        if (posted != static_cast<long>(kPoints) * kDays) {
            state.SkipWithError("not every day and point was posted");
            return;
        }
        monthSeconds = total;
        databaseSeconds = database / 1e9;
        toolShare = (total - databaseSeconds) / total;
        state.counters["database_s"] = databaseSeconds;
        state.counters["tool_s"] = total - databaseSeconds;
        state.counters["tool_share_%"] = 100 * toolShare;
    }
}
BENCHMARK(BM_PostAMonth)->Iterations(1)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_StatusOfAYear(benchmark::State& state) {
    long rows = 0;
    for (auto _ : state) {
        std::vector<CompanyReport> reports(1);
        reports[0].company = kCompany;
        reports[0].status = salesStatus(*fixture->session, fixture->yearFrom, fixture->yearTo, {});
        std::ostringstream table;
        writeStatusTable(table, reports);
        benchmark::DoNotOptimize(table.str().size());
        rows = static_cast<long>(reports[0].status.size());
    }
    state.counters["rows"] = static_cast<double>(rows);
}
BENCHMARK(BM_StatusOfAYear)->Iterations(5)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_BareStatusSelect(benchmark::State& state) {
    const std::string sql = "select * from estado_ventas_contado(" +
                            quoted(isoText(fixture->yearFrom)) + ", " +
                            quoted(isoText(fixture->yearTo)) + ")";
    long rows = 0;
    for (auto _ : state) {
        db::SQLQuery query;
        query.setConnection(fixture->session->form().Pelmora.get());
        query.setSQL(sql);
        query.open();
        const std::size_t columns = query.fieldDefs().size();
        rows = 0;
        for (; !query.eof(); query.next()) {
            for (std::size_t i = 0; i < columns; ++i) {
                benchmark::DoNotOptimize(&query.value(i));
            }
            ++rows;
        }
        query.close();
    }
    state.counters["rows"] = static_cast<double>(rows);
}
BENCHMARK(BM_BareStatusSelect)->Iterations(5)->Unit(benchmark::kMillisecond)->UseRealTime();

} // namespace

int main(int argc, char** argv) {
    int status = 0;
    {
        PostToolBench made;
        fixture = &made;
        status = bench::runWithRatios(argc, argv, {{"BM_StatusOfAYear", "BM_BareStatusSelect"}});
        fixture = nullptr;
    }
    if (toolShare >= 0) {
        std::printf("share of the tool in BM_PostAMonth = %.2f %% (%.1f s of %.1f s; database "
                    "work %.1f s)\n",
                    100 * toolShare, monthSeconds - databaseSeconds, monthSeconds, databaseSeconds);
    }
    return status;
}
