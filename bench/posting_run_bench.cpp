// A day of 10,000 cash sales of one point of sale posted end to end through
// the window's F2 handler, on a demo company made by the project's script:
// the lookups, the posting procedure, the completion of the voucher and the
// message. The time is split into the two procedures and the program's own
// work around them, which should be a small share of the whole.

#include "app/application.h"
#include "app/form/posting_run.h"
#include "app/form/window_data_sets.h"
#include "app/tfcontavtascontado.h"
#include "db/sql_connection.h"
#include "ui/widgets/date_time_picker.h"
#include "ui/widgets/db_lookup_combo_box.h"

#include <QComboBox>
#include <QDate>
#include <QDir>
#include <QLineEdit>
#include <QProcess>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>
#include <chrono>
#include <memory>
#include <string>

namespace {

constexpr int kSalesPerDay = 10000;
constexpr const char* kPosted = "Comprobante contable correctamente generado.";

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
           "terc_nit, fact_total) values (0, 31, 'FV01', " +
           std::to_string(firstNumber) + " + :i, " + date +
           ", 1, '222222222222', 116) returning fact_id into :f; "
           "insert into factura_tarifas values (:f, 16, 100, 16); i = i + 1; end end";
}

class PostingBench {
public:
    PostingBench() {
        const QString entry = directory_.path();
        QProcess::execute(
            QStringLiteral(PELMORA_CREATE_COMPANY),
            {QStringLiteral("--demo"), QStringLiteral("--force"), entry, QStringLiteral("001")});
        auto* application = static_cast<app::Application*>(QCoreApplication::instance());
        application->setMessageDisplay([this](const QString& text) { lastMessage = text; });
        application->setErrorDisplay([this](const QString& text) { lastMessage = text; });
        window.Servidor->addItem(entry);
        window.Tusua->setText(QStringLiteral("SYSDBA"));
        window.TClave->setText(QStringLiteral("masterkey"));
        window.Cia->setText(QStringLiteral("001"));
        window.runHandler([this] { window.CiaExit(); });
        window.Pto->setKeyValue(dataset::Value{std::int64_t{1}});
    }

    // Adds a day of sales after the demo's days; gives that day.
    QDate addDay() {
        const QDate day = QDate::currentDate().addDays(10 + days_);
        window.Pelmora->executeStatement(salesOf(day, 100000 + days_ * kSalesPerDay));
        ++days_;
        return day;
    }

    QTemporaryDir directory_;
    app::Tfcontavtascontado window;
    QString lastMessage;

private:
    int days_ = 0;
};

// Made in main, under the application object, and gone before it.
PostingBench* posting = nullptr;

void BM_PostADayOfCashSales(benchmark::State& state) {
    PostingBench& bench = *posting;
    double procedure = 0, completion = 0, program = 0;
    for (auto _ : state) {
        state.PauseTiming();
        bench.window.EFecIni->setDate(bench.addDay());
        bench.lastMessage.clear();
        state.ResumeTiming();

        const auto started = std::chrono::steady_clock::now();
        bench.window.runHandler([&] { bench.window.SpeedButton3Click(); });
        const double total =
            std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count();

        if (bench.lastMessage != QString::fromUtf8(kPosted)) {
            state.SkipWithError(bench.lastMessage.toStdString().c_str());
            break;
        }
        const app::PostingRun::Timings& t = bench.window.postingRun().lastTimings();
        procedure += t.postingNanoseconds / 1e9;
        completion += t.completionNanoseconds / 1e9;
        program += total - (t.postingNanoseconds + t.completionNanoseconds) / 1e9;
    }
    const double runs = static_cast<double>(state.iterations());
    state.counters["posting_s"] = procedure / runs;
    state.counters["completion_s"] = completion / runs;
    state.counters["program_s"] = program / runs;
    state.counters["program_share_%"] = 100 * program / (procedure + completion + program);
}
BENCHMARK(BM_PostADayOfCashSales)->Iterations(3)->Unit(benchmark::kMillisecond)->UseRealTime();

} // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    app::Application application(argc, argv);
    benchmark::Initialize(&argc, argv);
    {
        PostingBench bench;
        posting = &bench;
        benchmark::RunSpecifiedBenchmarks();
        posting = nullptr;
    }
    benchmark::Shutdown();
    return 0;
}
