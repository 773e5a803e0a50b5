// A day of 10,000 cash sales of one point of sale posted end to end through
// the window's F2 handler, on a demo company made by the project's script:
// the lookups, the posting procedure, the completion of the voucher and the
// message. Its baseline, in the same run, is the database's own work: another
// day of as many sales posted by opening the posting procedure with a plain
// query on the same connection and driver and running the completion
// procedure, nothing else. The difference is the posting run's own share of
// the time, which should stay under 5 %. The two kinds alternate, each on a
// fresh day, and take turns going first.

#include "app/application.h"
#include "app/form/database_names.h"
#include "app/tfcontavtascontado.h"
#include "db/sql_connection.h"
#include "db/sql_literal.h"
#include "db/sql_query.h"
#include "platform/short_date.h"
#include "ui/widgets/date_time_picker.h"
#include "ui/widgets/db_lookup_combo_box.h"

#include <QComboBox>
#include <QDate>
#include <QLineEdit>
#include <QProcess>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>
#include <chrono>
#include <cstdio>
#include <ctime>
#include <stdexcept>
#include <string>
#include <variant>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;

constexpr int kSalesPerDay = 10000;
constexpr int kDefaultDays = 10;
constexpr double kAimPercent = 5;
constexpr const char* kPosted = "Comprobante contable correctamente generado.";
constexpr const char* kPrefix = "FV01";
constexpr const char* kCashClient = "222222222222";
constexpr int kPoint = 1;

// Cash sales of point of sale 1 (prefix FV01) on a day the demo has none
// of, each of 100 at 16% VAT, with the day's closing-rate adjustment.
std::string salesOf(const QDate& day, int firstNumber) {
    const std::string date = "'" + day.toString(Qt::ISODate).toStdString() + "'";
    return "execute block as declare i integer = 0; declare f integer; begin "
           "insert into ajuste_cierre values (0, " +
           date + ", " + date +
           ", 16, 0.8); "
           "while (i < " +
           std::to_string(kSalesPerDay) +
           ") do begin "
           "insert into facturas (fact_id, tido_cod, pref_pre, fact_numero, fact_fecha, ptvt_id, "
           "terc_nit, fact_total) values (0, 31, '" +
           kPrefix + "', " + std::to_string(firstNumber) + " + :i, " + date + ", " +
           std::to_string(kPoint) + ", '" + kCashClient +
           "', 116) returning fact_id into :f; "
           "insert into factura_tarifas values (:f, 16, 100, 16); i = i + 1; end end";
}

// Wall-clock and CPU seconds; the CPU time is the whole process's, the
// embedded engine's threads included, and is less disturbed by other work on
// the machine.
struct Seconds {
    double wall = 0;
    double cpu = 0;
};

double cpuSeconds() {
    timespec now{};
    ::clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &now);
    return static_cast<double>(now.tv_sec) + static_cast<double>(now.tv_nsec) / 1e9;
}

class Stopwatch {
public:
    Seconds elapsed() const {
        return {std::chrono::duration<double>(Clock::now() - wall_).count(), cpuSeconds() - cpu_};
    }

private:
    Clock::time_point wall_ = Clock::now();
    double cpu_ = cpuSeconds();
};

std::int64_t integerOf(const db::SQLValue& value) {
    const auto* integer = std::get_if<std::int64_t>(&value);
    return integer != nullptr ? *integer : 0;
}

class PostingBench {
public:
    PostingBench() {
        const QString entry = directory_.path();
        QProcess::execute(
            QStringLiteral(PELMORA_CREATE_COMPANY),
            {QStringLiteral("--demo"), QStringLiteral("--force"), entry, QStringLiteral("001")});
        auto* application = static_cast<app::Application*>(QCoreApplication::instance());
        application->setMessageDisplay([this](const QString& text) { lastMessage_ = text; });
        application->setErrorDisplay([this](const QString& text) { lastMessage_ = text; });
        window_.Servidor->addItem(entry);
        window_.Tusua->setText(QStringLiteral("SYSDBA"));
        window_.TClave->setText(QStringLiteral("masterkey"));
        window_.Cia->setText(QStringLiteral("001"));
        window_.runHandler([this] { window_.CiaExit(); });
        window_.Pto->setKeyValue(dataset::Value{std::int64_t{kPoint}});
        interfaceId_ = integerOf(firstValue(
            std::string("select max(inve_id) from ") + app::schema::kSalesInterfaceTable +
            " where tido_cod = 31 and pref_pre = " + db::sqlLiteral(kPrefix)));
        // The first posting of a session loads and compiles the procedures
        // and fills the page cache: a day each way before the timed ones.
        postWithF2(addDay());
        postBare(addDay());
    }

    // Adds a day of sales after the demo's days; gives that day.
    QDate addDay() {
        const QDate day = QDate::currentDate().addDays(10 + days_);
        window_.Pelmora->executeStatement(salesOf(day, 100000 + days_ * kSalesPerDay));
        ++days_;
        return day;
    }

    // The day posted with F2; gives the time it took.
    Seconds postWithF2(const QDate& day) {
        window_.EFecIni->setDate(day);
        lastMessage_.clear();
        const Stopwatch stopwatch;
        window_.runHandler([this] { window_.SpeedButton3Click(); });
        const Seconds seconds = stopwatch.elapsed();
        if (lastMessage_ != QString::fromUtf8(kPosted))
            throw std::runtime_error("F2: " + lastMessage_.toStdString());
        return seconds;
    }

    // The day posted by the two procedures alone, with the arguments F2 sends;
    // gives the time it took.
    Seconds postBare(const QDate& day) {
        const std::string dateText =
            platform::dateToShortText({day.year(), day.month(), day.day()});
        const std::string posting = std::string("select * from ") + app::schema::kPostingProcedure +
                                    "(" + db::sqlLiteral(dateText) + ", " +
                                    db::sqlLiteral(kCashClient) + ", " + db::sqlLiteral(kPrefix) +
                                    ", " + std::to_string(kPoint) + ", " +
                                    std::to_string(interfaceId_) + ")";
        const Stopwatch stopwatch;
        db::SQLQuery query;
        query.setConnection(window_.Pelmora);
        query.setSQL(posting);
        query.open();
        const std::int64_t voucher = query.eof() ? 0 : integerOf(query.value(1));
        const std::int64_t errors = query.eof() ? 1 : integerOf(query.value(2));
        query.close();
        if (voucher == 0 || errors > 0)
            throw std::runtime_error("the bare posting made no voucher for " + dateText);
        window_.Pelmora->executeStatement(std::string("execute procedure ") +
                                          app::schema::kCompletionProcedure + "(" +
                                          std::to_string(voucher) + ")");
        return stopwatch.elapsed();
    }

private:
    db::SQLValue firstValue(const std::string& sql) {
        db::SQLQuery query;
        query.setConnection(window_.Pelmora);
        query.setSQL(sql);
        query.open();
        if (query.eof())
            throw std::runtime_error("no row: " + sql);
        db::SQLValue value = query.value(0);
        query.close();
        return value;
    }

    QTemporaryDir directory_;
    app::Tfcontavtascontado window_;
    QString lastMessage_;
    std::int64_t interfaceId_ = 0;
    int days_ = 0;
};

// Made in main, under the application object, and gone before it.
PostingBench* posting = nullptr;

// The times of each kind over the iterations, for the line printed at the end.
std::vector<Seconds> windowTimes;
std::vector<Seconds> bareTimes;

// PELMORA_BENCH_DAYS, else kDefaultDays: the days posted each way, made
// even. The machine's other work shows in the times; more days wash it out.
int daysToPost() {
    const int asked = qEnvironmentVariableIntValue("PELMORA_BENCH_DAYS");
    const int days = asked > 0 ? asked : kDefaultDays;
    return days + days % 2;
}

// The mean wall-clock and CPU times.
Seconds mean(const std::vector<Seconds>& times) {
    Seconds sum;
    for (const Seconds& time : times) {
        sum.wall += time.wall;
        sum.cpu += time.cpu;
    }
    const auto count = static_cast<double>(times.size());
    return {sum.wall / count, sum.cpu / count};
}

double sharePercent(double window, double bare) {
    return 100 * (window - bare) / window;
}

void BM_PostADayOfCashSales(benchmark::State& state) {
    PostingBench& bench = *posting;
    for (auto _ : state) {
        const QDate windowDay = bench.addDay();
        const QDate bareDay = bench.addDay();
        // Whichever posting of a pair goes second runs slower: the kinds
        // take turns going first, over an even number of pairs.
        const bool windowFirst = windowTimes.size() % 2 == 0;
        Seconds f2;
        Seconds bare;
        try {
            if (windowFirst)
                f2 = bench.postWithF2(windowDay);
            bare = bench.postBare(bareDay);
            if (!windowFirst)
                f2 = bench.postWithF2(windowDay);
        } catch (const std::exception& error) {
            state.SkipWithError(error.what());
            break;
        }
        state.SetIterationTime(f2.wall);
        windowTimes.push_back(f2);
        bareTimes.push_back(bare);
    }
    if (!windowTimes.empty()) {
        const Seconds window = mean(windowTimes);
        const Seconds bare = mean(bareTimes);
        state.counters["bare_s"] = bare.wall;
        state.counters["share_%"] = sharePercent(window.wall, bare.wall);
        state.counters["cpu_share_%"] = sharePercent(window.cpu, bare.cpu);
    }
}

} // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    app::Application application(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RegisterBenchmark("BM_PostADayOfCashSales", BM_PostADayOfCashSales)
        ->Iterations(daysToPost())
        ->Unit(benchmark::kMillisecond)
        ->UseManualTime();
    try {
        PostingBench bench;
        posting = &bench;
        benchmark::RunSpecifiedBenchmarks();
        posting = nullptr;
    } catch (const std::exception& error) {
        std::fprintf(stderr, "posting_run_bench: %s\n", error.what());
        return 1;
    }
    benchmark::Shutdown();
    if (!windowTimes.empty()) {
        const Seconds window = mean(windowTimes);
        const Seconds bare = mean(bareTimes);
        const double share = sharePercent(window.wall, bare.wall);
        std::printf("share of the posting run in a day of %d cash sales = %.2f %% (F2 %.1f ms, "
                    "the procedures bare %.1f ms, means of %zu days each; CPU time %.2f %%); "
                    "aim under %.0f %%: %s\n",
                    kSalesPerDay, share, 1000 * window.wall, 1000 * bare.wall, windowTimes.size(),
                    sharePercent(window.cpu, bare.cpu), kAimPercent,
                    share < kAimPercent ? "met" : "missed");
    }
    return 0;
}
