// 10,000 single-row inserts through SQLConnection's Execute statement, as a
// resolver sends them, against a bare loop over one prepared statement of the
// Firebird client API. Both run in one transaction, as a provider applies its
// changes. A third loop prepares every insert anew, to show what that costs.

#include "bench/bench_database.h"
#include "bench/ratio_reporter.h"
#include "db/bcd.h"
#include "db/sql_connection.h"

#include <benchmark/benchmark.h>

#include <cstring>
#include <memory>

namespace bench {
namespace {

using namespace Firebird;

constexpr int InsertCount = 10000;
constexpr const char* Insert = "insert into sale (id, name, amount) values (?, ?, ?)";

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
        for (int i = 0; i < InsertCount; ++i) {
            db::SQLParams params{
                {"P1", db::FieldType::Integer, db::ParamDirection::In, std::int64_t{i}},
                {"P2", db::FieldType::String, db::ParamDirection::In, nameOf(i)},
                {"P3", db::FieldType::FMTBcd, db::ParamDirection::In,
                 db::Bcd::fromScaled(i * 12575LL, 4)}};
            benchmark::DoNotOptimize(connection.executeStatement(Insert, std::move(params)));
        }
        connection.commit(desc);
    }
    state.SetItemsProcessed(state.iterations() * InsertCount);
}

// The input message of the insert, filled in place.
class InsertMessage {
public:
    InsertMessage(ClientStatus& status, IStatement* statement)
        : meta_(statement->getInputMetadata(status.get())),
          buffer_(meta_->getMessageLength(status.get())) {
        for (unsigned i = 0; i < 3; ++i) {
            offsets_[i] = meta_->getOffset(status.get(), i);
            *reinterpret_cast<short*>(buffer_.data() + meta_->getNullOffset(status.get(), i)) = 0;
        }
    }
    ~InsertMessage() { meta_->release(); }

    void fill(int i) {
        const std::int32_t id = i;
        std::memcpy(buffer_.data() + offsets_[0], &id, sizeof id);
        const std::string name = nameOf(i);
        const auto length = static_cast<std::uint16_t>(name.size());
        std::memcpy(buffer_.data() + offsets_[1], &length, sizeof length);
        std::memcpy(buffer_.data() + offsets_[1] + 2, name.data(), name.size());
        const std::int64_t amount = i * 12575LL;
        std::memcpy(buffer_.data() + offsets_[2], &amount, sizeof amount);
    }

    IMessageMetadata* meta() const { return meta_; }
    void* data() { return buffer_.data(); }

private:
    IMessageMetadata* meta_;
    std::vector<unsigned char> buffer_;
    unsigned offsets_[3] = {};
};

void ClientApiPreparedInsert(benchmark::State& state) {
    ClientStatus status;
    IAttachment* attachment = database().attach();
    for (auto _ : state) {
        ITransaction* transaction = attachment->startTransaction(status.get(), 0, nullptr);
        IStatement* statement = attachment->prepare(status.get(), transaction, 0, Insert, 3, 0);
        status.check("prepare");
        InsertMessage message(status, statement);
        for (int i = 0; i < InsertCount; ++i) {
            message.fill(i);
            statement->execute(status.get(), transaction, message.meta(), message.data(), nullptr,
                               nullptr);
        }
        status.check("insert");
        statement->free(status.get());
        transaction->commit(status.get());
        status.check("commit");
    }
    attachment->detach(status.get());
    state.SetItemsProcessed(state.iterations() * InsertCount);
}

void ClientApiPrepareEachInsert(benchmark::State& state) {
    ClientStatus status;
    IAttachment* attachment = database().attach();
    for (auto _ : state) {
        ITransaction* transaction = attachment->startTransaction(status.get(), 0, nullptr);
        for (int i = 0; i < InsertCount; ++i) {
            IStatement* statement = attachment->prepare(status.get(), transaction, 0, Insert, 3, 0);
            InsertMessage message(status, statement);
            message.fill(i);
            statement->execute(status.get(), transaction, message.meta(), message.data(), nullptr,
                               nullptr);
            statement->free(status.get());
        }
        status.check("insert");
        transaction->commit(status.get());
        status.check("commit");
    }
    attachment->detach(status.get());
    state.SetItemsProcessed(state.iterations() * InsertCount);
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
