// Applying 10,000 inserted rows of CAjuste to AJUSTE_CIERRE through its
// provider and resolver, against a bare loop over one prepared insert of the
// Firebird client API writing the same rows, in the same run. Both run in
// one transaction and commit.

#include "app/form/window_commands.h"
#include "app/form/window_data_sets.h"
#include "bench/bench_database.h"
#include "bench/client_insert_loop.h"
#include "bench/ratio_reporter.h"
#include "db/sql_connection.h"

#include <benchmark/benchmark.h>
#include <memory>

namespace bench {
namespace {

using namespace Firebird;

constexpr int kRowCount = 10000;
constexpr const char* kInsert = "insert into \"AJUSTE_CIERRE\" (\"AJCI_ID\", \"AJCI_FECINI\", "
                                "\"AJCI_FECFIN\", \"AJCI_PORC\", \"AJCI_FACTOR\") "
                                "values (?, ?, ?, ?, ?)";

const BenchDatabase& database() {
    static const BenchDatabase instance(
        "apply", {"create table ajuste_cierre (ajci_id integer not null, ajci_fecini date, "
                  "ajci_fecfin date, ajci_porc numeric(15,4), ajci_factor numeric(15,4))",
                  "create index ix_ajuste_cierre_tarifa on ajuste_cierre (ajci_porc, "
                  "ajci_fecini)"});
    return instance;
}

std::int64_t porcOf(int i) {
    return 10000 + (i % 500) * 25;
}

void ClientDataSetApplyInserts(benchmark::State& state) {
    auto connection = database().connect();
    app::WindowCommands commands = app::WindowCommands::create(*connection);
    app::WindowDataSets sets(commands);
    dataset::ClientDataSet& ajuste = sets.CAjuste;
    int errors = 0;
    for (auto _ : state) {
        state.PauseTiming();
        connection->executeStatement("delete from ajuste_cierre");
        ajuste.open();
        for (int i = 0; i < kRowCount; ++i) {
            ajuste.Append();
            sets.CAjusteAJCI_ID->setAsInteger(i);
            sets.CAjusteAJCI_FECINI->setAsDate({2024, 3, 1 + i % 28});
            sets.CAjusteAJCI_FECFIN->setAsDate({2024, 3, 1 + i % 28});
            sets.CAjusteAJCI_PORC->setAsBcd(db::Bcd::fromScaled(porcOf(i), 4));
            sets.CAjusteAJCI_FACTOR->setAsBcd(db::Bcd::fromScaled(8000, 4));
            ajuste.Post();
        }
        state.ResumeTiming();
        errors += ajuste.ApplyUpdates(0);
        state.PauseTiming();
        ajuste.close();
        state.ResumeTiming();
    }
    state.counters["errors"] = errors;
    state.SetItemsProcessed(state.iterations() * kRowCount);
}

void ClientApiPreparedInsert(benchmark::State& state) {
    IAttachment* attachment = database().attach();
    IUtil* util = fb_get_master_interface()->getUtilInterface();
    for (auto _ : state) {
        state.PauseTiming();
        database().execute("delete from ajuste_cierre");
        // As opening CAjuste does before its rows are applied: the deleted
        // rows are cleaned up here rather than by the timed inserts.
        database().fetchAll("select * from ajuste_cierre");
        state.ResumeTiming();
        runPreparedInsert(attachment, kInsert, kRowCount, [&](InsertMessage& message, int i) {
            message.set(0, std::int32_t{i});
            const ISC_DATE day = util->encodeDate(2024, 3, 1 + i % 28);
            message.set(1, day);
            message.set(2, day);
            message.set(3, porcOf(i));
            message.set(4, std::int64_t{8000});
        });
    }
    ClientStatus status;
    attachment->detach(status.get());
    state.SetItemsProcessed(state.iterations() * kRowCount);
}

BENCHMARK(ClientApiPreparedInsert)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(ClientDataSetApplyInserts)->Unit(benchmark::kMillisecond)->Iterations(3);

} // namespace
} // namespace bench

int main(int argc, char** argv) {
    return bench::runWithRatios(argc, argv,
                                {{"ClientDataSetApplyInserts", "ClientApiPreparedInsert"}});
}
