// 100,000 rows read through the driver's cursor against the same rows read
// with a bare loop over the Firebird client API, in the same run.

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

constexpr int kRowCount = 100000;

const BenchDatabase& database() {
    static const BenchDatabase instance("fetch", salesTableSetup(kRowCount));
    return instance;
}

void DriverCursorFetch(benchmark::State& state) {
    auto connection = database().connect();
    std::unique_ptr<db::ISQLCommand> command = connection->newDriverCommand();
    if (command->prepare(kSalesSelect, 0) != 0) {
        state.SkipWithError("prepare failed");
        return;
    }
    std::int64_t rows = 0;
    for (auto _ : state) {
        db::ISQLCursor* opened = nullptr;
        if (command->execute(&opened) != 0) {
            state.SkipWithError("execute failed");
            break;
        }
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
            benchmark::DoNotOptimize(posted);
            ++rows;
        }
    }
    state.SetItemsProcessed(rows);
}

void ClientApiFetch(benchmark::State& state) {
    ClientStatus status;
    IUtil* util = fb_get_master_interface()->getUtilInterface();
    IAttachment* attachment = database().attach();
    ITransaction* prepareTransaction = attachment->startTransaction(status.get(), 0, nullptr);
    IStatement* statement = attachment->prepare(status.get(), prepareTransaction, 0, kSalesSelect,
                                                3, IStatement::PREPARE_PREFETCH_METADATA);
    prepareTransaction->commit(status.get());
    status.check("prepare");
    IMessageMetadata* meta = statement->getOutputMetadata(status.get());
    std::vector<unsigned char> buffer(meta->getMessageLength(status.get()));
    unsigned offsets[4];
    unsigned nulls[4];
    for (unsigned i = 0; i < 4; ++i) {
        offsets[i] = meta->getOffset(status.get(), i);
        nulls[i] = meta->getNullOffset(status.get(), i);
    }
    const int scale = -meta->getScale(status.get(), 2);
    std::int64_t rows = 0;
    for (auto _ : state) {
        ITransaction* transaction = attachment->startTransaction(status.get(), 0, nullptr);
        IResultSet* cursor =
            statement->openCursor(status.get(), transaction, nullptr, nullptr, meta, 0);
        std::int32_t id = 0;
        char name[128];
        db::Bcd amount;
        db::SQLDate posted;
        const unsigned char* row = buffer.data();
        while (cursor->fetchNext(status.get(), buffer.data()) == IStatus::RESULT_OK) {
            bool blank = false;
            blank = *reinterpret_cast<const short*>(row + nulls[0]) != 0;
            std::memcpy(&id, row + offsets[0], sizeof id);
            blank = *reinterpret_cast<const short*>(row + nulls[1]) != 0;
            std::uint16_t length = 0;
            std::memcpy(&length, row + offsets[1], sizeof length);
            std::memcpy(name, row + offsets[1] + 2, length);
            name[length] = '\0';
            blank = *reinterpret_cast<const short*>(row + nulls[2]) != 0;
            std::int64_t scaled = 0;
            std::memcpy(&scaled, row + offsets[2], sizeof scaled);
            amount = db::Bcd::fromScaled(scaled, scale);
            blank = *reinterpret_cast<const short*>(row + nulls[3]) != 0;
            ISC_DATE date = 0;
            std::memcpy(&date, row + offsets[3], sizeof date);
            unsigned year = 0, month = 0, day = 0;
            util->decodeDate(date, &year, &month, &day);
            posted = {static_cast<int>(year), static_cast<int>(month), static_cast<int>(day)};
            benchmark::DoNotOptimize(blank);
            benchmark::DoNotOptimize(id);
            benchmark::DoNotOptimize(name);
            benchmark::DoNotOptimize(amount);
            benchmark::DoNotOptimize(posted);
            ++rows;
        }
        cursor->close(status.get());
        transaction->commit(status.get());
        status.check("fetch");
    }
    state.SetItemsProcessed(rows);
    meta->release();
    statement->free(status.get());
    attachment->detach(status.get());
}

BENCHMARK(ClientApiFetch)->Unit(benchmark::kMillisecond)->Iterations(10);
BENCHMARK(DriverCursorFetch)->Unit(benchmark::kMillisecond)->Iterations(10);

} // namespace
} // namespace bench

int main(int argc, char** argv) {
    return bench::runWithRatios(argc, argv, {{"DriverCursorFetch", "ClientApiFetch"}});
}
