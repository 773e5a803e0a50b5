// Applying 10,000 inserted rows of CAjuste to AJUSTE_CIERRE through its
// provider and resolver, against a bare loop over one prepared insert of the
// Firebird client API writing the same rows, in the same run. Both run in
// one transaction and commit.

#include "bench/bench_database.h"
#include "bench/ratio_reporter.h"
#include "dataset/window_data_sets.h"
#include "db/sql_connection.h"
#include "db/window_commands.h"

#include <benchmark/benchmark.h>

#include <cstring>
#include <memory>

namespace bench {
namespace {

using namespace Firebird;

constexpr int RowCount = 10000;
constexpr const char* Insert = "insert into \"AJUSTE_CIERRE\" (\"AJCI_ID\", \"AJCI_FECINI\", "
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

std::unique_ptr<db::SQLConnection> connect() {
    auto c = std::make_unique<db::SQLConnection>("Pelmora");
    database().configure(*c);
    c->setConnected(true);
    return c;
}

std::int64_t porcOf(int i) {
    return 10000 + (i % 500) * 25;
}

void ClientDataSetApplyInserts(benchmark::State& state) {
    auto connection = connect();
    db::WindowCommands commands = db::WindowCommands::create(*connection);
    dataset::WindowDataSets sets(commands);
    dataset::ClientDataSet& ajuste = sets.CAjuste;
    int errors = 0;
    for (auto _ : state) {
        state.PauseTiming();
        connection->executeStatement("delete from ajuste_cierre");
        ajuste.open();
        for (int i = 0; i < RowCount; ++i) {
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
    state.SetItemsProcessed(state.iterations() * RowCount);
}

// The input message of the insert, filled in place.
class InsertMessage {
public:
    InsertMessage(ClientStatus& status, IStatement* statement, IUtil* util)
        : meta_(statement->getInputMetadata(status.get())),
          buffer_(meta_->getMessageLength(status.get())), util_(util) {
        for (unsigned i = 0; i < 5; ++i) {
            offsets_[i] = meta_->getOffset(status.get(), i);
            *reinterpret_cast<short*>(buffer_.data() + meta_->getNullOffset(status.get(), i)) = 0;
        }
    }
    ~InsertMessage() { meta_->release(); }

    void fill(int i) {
        const std::int32_t id = i;
        std::memcpy(buffer_.data() + offsets_[0], &id, sizeof id);
        const ISC_DATE day = util_->encodeDate(2024, 3, 1 + i % 28);
        std::memcpy(buffer_.data() + offsets_[1], &day, sizeof day);
        std::memcpy(buffer_.data() + offsets_[2], &day, sizeof day);
        const std::int64_t porc = porcOf(i);
        std::memcpy(buffer_.data() + offsets_[3], &porc, sizeof porc);
        const std::int64_t factor = 8000;
        std::memcpy(buffer_.data() + offsets_[4], &factor, sizeof factor);
    }

    IMessageMetadata* meta() const { return meta_; }
    void* data() { return buffer_.data(); }

private:
    IMessageMetadata* meta_;
    std::vector<unsigned char> buffer_;
    IUtil* util_;
    unsigned offsets_[5] = {};
};

void ClientApiPreparedInsert(benchmark::State& state) {
    ClientStatus status;
    IAttachment* attachment = database().attach();
    IUtil* util = fb_get_master_interface()->getUtilInterface();
    for (auto _ : state) {
        state.PauseTiming();
        database().execute("delete from ajuste_cierre");
        state.ResumeTiming();
        ITransaction* transaction = attachment->startTransaction(status.get(), 0, nullptr);
        IStatement* statement = attachment->prepare(status.get(), transaction, 0, Insert, 3, 0);
        status.check("prepare");
        InsertMessage message(status, statement, util);
        for (int i = 0; i < RowCount; ++i) {
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
    state.SetItemsProcessed(state.iterations() * RowCount);
}

BENCHMARK(ClientApiPreparedInsert)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(ClientDataSetApplyInserts)->Unit(benchmark::kMillisecond)->Iterations(3);

} // namespace
} // namespace bench

int main(int argc, char** argv) {
    return bench::runWithRatios(argc, argv,
                                {{"ClientDataSetApplyInserts", "ClientApiPreparedInsert"}});
}
