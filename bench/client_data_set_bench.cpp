// Opening a client data set over 100,000 rows against reading the same rows
// with the bare driver cursor loop, in the same run (one after the other,
// and in turns); the memory the engine keeps a row; locating the last row.

#include "bench/bench_database.h"
#include "bench/ratio_reporter.h"
#include "dataset/apply/data_set_provider.h"
#include "dataset/client/client_data_set.h"
#include "dataset/engine/engine_store.h"
#include "db/sql_connection.h"
#include "db/sql_query.h"

#include <algorithm>
#include <benchmark/benchmark.h>
#include <chrono>
#include <memory>
#include <vector>

namespace bench {
namespace {

constexpr int kRowCount = 100000;

const BenchDatabase& database() {
    static const BenchDatabase instance("dataset", salesTableSetup(kRowCount));
    return instance;
}

// The bare driver loop: every value of every row read once, nothing kept.
void fetchBare(db::ISQLCommand& command) {
    db::ISQLCursor* opened = nullptr;
    command.execute(&opened);
    std::unique_ptr<db::ISQLCursor> cursor(opened);
    std::int32_t id = 0;
    char name[128];
    db::Bcd amount;
    db::SQLDate posted;
    bool blank = false;
    while (cursor->next() == 0) {
        cursor->getLong(1, &id, &blank);
        cursor->getString(2, name, sizeof name, &blank);
        cursor->getBcd(3, &amount, &blank);
        cursor->getDate(4, &posted, &blank);
        benchmark::DoNotOptimize(id);
        benchmark::DoNotOptimize(name);
        benchmark::DoNotOptimize(amount);
    }
}

void DriverCursorFetch(benchmark::State& state) {
    auto connection = database().connect();
    std::unique_ptr<db::ISQLCommand> command = connection->newDriverCommand();
    command->prepare(kSalesSelect, 0);
    for (auto _ : state) {
        fetchBare(*command);
    }
}

struct Setup {
    std::unique_ptr<db::SQLConnection> connection = database().connect();
    dataset::ComponentOwner owner;
    db::SQLQuery query{"SQLQuery1"};
    dataset::DataSetProvider provider{"PSale", &owner};
    dataset::ClientDataSet sale{"CSale", &owner};
    Setup() {
        query.setConnection(connection.get());
        provider.setDataSet(&query);
        provider.Options = dataset::ProviderOption::AllowCommandText;
        sale.ProviderName = "PSale";
        sale.setCommandText(kSalesSelect);
    }
};

void ClientDataSetOpen(benchmark::State& state) {
    Setup setup;
    for (auto _ : state) {
        setup.sale.open();
        benchmark::DoNotOptimize(setup.sale.RecordCount());
        state.PauseTiming();
        setup.sale.close();
        state.ResumeTiming();
    }
    // Memory of the engine against the raw size of the values (4 + name +
    // 8 + 4 bytes a row).
    std::size_t raw = 0;
    for (int i = 0; i < kRowCount; ++i) {
        raw += 16 + ("Venta " + std::to_string(i)).size();
    }
    int rows = 0;
    dataset::DataPacket packet = setup.provider.getRecords(
        -1, rows, dataset::GetRecordsOption::kMetaData, setup.sale.CommandText(), {});
    const dataset::EngineStore store(std::move(*packet));
    state.counters["raw_bytes_per_row"] = static_cast<double>(raw) / kRowCount;
    state.counters["engine_bytes_per_row"] = static_cast<double>(store.memoryUsed()) / rows;
    state.counters["rows"] = rows;
}

// The open and the bare loop taken in turns, so that both see the same load
// of a shared machine; the counter is the median of the per-turn ratios.
void OpenAgainstDriverLoopInTurns(benchmark::State& state) {
    Setup setup;
    std::unique_ptr<db::ISQLCommand> command = setup.connection->newDriverCommand();
    command->prepare(kSalesSelect, 0);
    std::vector<double> ratios;
    for (auto _ : state) {
        const auto start = std::chrono::steady_clock::now();
        fetchBare(*command);
        const auto bare = std::chrono::steady_clock::now();
        setup.sale.open();
        const auto opened = std::chrono::steady_clock::now();
        state.PauseTiming();
        setup.sale.close();
        ratios.push_back(std::chrono::duration<double>(opened - bare).count() /
                         std::chrono::duration<double>(bare - start).count());
        state.ResumeTiming();
    }
    std::sort(ratios.begin(), ratios.end());
    state.counters["median_open_over_bare"] = ratios[ratios.size() / 2];
}

void LocateLastRow(benchmark::State& state) {
    Setup setup;
    setup.sale.open();
    const std::string last = "Venta " + std::to_string(kRowCount - 1);
    for (auto _ : state) {
        setup.sale.First();
        benchmark::DoNotOptimize(setup.sale.Locate("NAME", last));
    }
}

BENCHMARK(DriverCursorFetch)->Unit(benchmark::kMillisecond)->Iterations(10);
BENCHMARK(ClientDataSetOpen)->Unit(benchmark::kMillisecond)->Iterations(10);
BENCHMARK(OpenAgainstDriverLoopInTurns)->Unit(benchmark::kMillisecond)->Iterations(15);
BENCHMARK(LocateLastRow)->Unit(benchmark::kMillisecond)->Iterations(20);

} // namespace
} // namespace bench

int main(int argc, char** argv) {
    return bench::runWithRatios(argc, argv, {{"ClientDataSetOpen", "DriverCursorFetch"}});
}
