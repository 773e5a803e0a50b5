// 10,000 single-row inserts through SQLConnection's Execute statement, as a
// resolver sends them, against a bare loop over one prepared statement of the
// Firebird client API. Both run in one transaction, as a provider applies its
// changes. A third loop prepares every insert anew, to show what that costs.

#include "bench/bench_database.h"
#include "bench/client_insert_loop.h"
#include "bench/ratio_reporter.h"
#include "db/bcd.h"
#include "db/sql_connection.h"

#include <benchmark/benchmark.h>
#include <memory>

namespace bench {
namespace {

using namespace Firebird;

constexpr int kInsertCount = 10000;
constexpr const char* kInsert = "insert into sale (id, name, amount) values (?, ?, ?)";

const BenchDatabase& database() {
    static const BenchDatabase instance(
        "insert", {"create table sale (id integer not null, name varchar(30), "
                   "amount numeric(15,4))"});
    return instance;
}

std::string nameOf(int i) {
    return "Venta " + std::to_string(i);
}

void ExecuteStatementInsert(benchmark::State& state) {
    db::SQLConnection connection("Pelmora");
    database().configure(connection);
    connection.setConnected(true);
    const db::TransactionDesc desc{1, 0, connection.isolationLevel(), 0};
    for (auto _ : state) {
        connection.startTransaction(desc);
        for (int i = 0; i < kInsertCount; ++i) {
            db::SQLParams params{
                {"P1", db::FieldType::Integer, db::ParamDirection::In, std::int64_t{i}},
                {"P2", db::FieldType::String, db::ParamDirection::In, nameOf(i)},
                {"P3", db::FieldType::FMTBcd, db::ParamDirection::In,
                 db::Bcd::fromScaled(i * 12575LL, 4)}};
            benchmark::DoNotOptimize(connection.executeStatement(kInsert, std::move(params)));
        }
        connection.commit(desc);
    }
    state.SetItemsProcessed(state.iterations() * kInsertCount);
}

void fill(InsertMessage& message, int i) {
    message.set(0, std::int32_t{i});
    message.setVarying(1, nameOf(i));
    message.set(2, std::int64_t{i * 12575LL});
}

void ClientApiPreparedInsert(benchmark::State& state) {
    IAttachment* attachment = database().attach();
    for (auto _ : state) {
        runPreparedInsert(attachment, kInsert, kInsertCount, fill);
    }
    ClientStatus status;
    attachment->detach(status.get());
    state.SetItemsProcessed(state.iterations() * kInsertCount);
}

void ClientApiPrepareEachInsert(benchmark::State& state) {
    ClientStatus status;
    IAttachment* attachment = database().attach();
    for (auto _ : state) {
        ITransaction* transaction = attachment->startTransaction(status.get(), 0, nullptr);
        for (int i = 0; i < kInsertCount; ++i) {
            IStatement* statement =
                attachment->prepare(status.get(), transaction, 0, kInsert, 3, 0);
            {
                InsertMessage message(status, statement);
                fill(message, i);
                statement->execute(status.get(), transaction, message.meta(), message.data(),
                                   nullptr, nullptr);
            }
            statement->free(status.get());
        }
        status.check("insert");
        transaction->commit(status.get());
        status.check("commit");
    }
    attachment->detach(status.get());
    state.SetItemsProcessed(state.iterations() * kInsertCount);
}

BENCHMARK(ClientApiPreparedInsert)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(ClientApiPrepareEachInsert)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(ExecuteStatementInsert)->Unit(benchmark::kMillisecond)->Iterations(3);

} // namespace
} // namespace bench

int main(int argc, char** argv) {
    return bench::runWithRatios(argc, argv,
                                {{"ExecuteStatementInsert", "ClientApiPreparedInsert"},
                                 {"ExecuteStatementInsert", "ClientApiPrepareEachInsert"}});
}
