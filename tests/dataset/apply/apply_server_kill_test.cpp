// Saving the closing-rate adjustments while the server is killed: a batch of
// inserts, modifications and deletions is applied through the window's
// CAjuste over a loopback Firebird server, and the server process is killed
// (SIGKILL) at a random moment of the apply, then started again. Whatever
// the moment, the database holds all of the batch or none of it, the client
// keeps every change the database does not hold, and after signing in
// again the same apply leaves the database exactly as expected, never with
// a row written twice. PELMORA_KILL_RUNS sets the number of kills (10).

#include "app/form/window_commands.h"
#include "app/form/window_data_sets.h"
#include "dataset/apply/apply_log.h"
#include "dataset/apply/data_set_provider.h"
#include "dataset/apply/sql_resolver.h"
#include "dataset/client/client_data_set.h"
#include "db/sql_connection.h"
#include "db/sql_query.h"
#include "tests/adjustment_batch.h"
#include "tests/command_testing.h"
#include "tests/program_connection.h"
#include "tests/tcp_relay.h"

#include <algorithm>
#include <arpa/inet.h>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <future>
#include <gtest/gtest.h>
#include <netinet/in.h>
#include <random>
#include <string>
#include <sys/socket.h>
#include <thread>
#include <unistd.h>
#include <vector>

namespace dataset {
namespace {

using Clock = std::chrono::steady_clock;

std::string env(const char* name) {
    const char* value = std::getenv(name);
    return value != nullptr ? value : "";
}

// Rows of AJUSTE_CIERRE before the batch: ids 1 to kRows.
constexpr int kRows = db::test::kAdjustmentRows;
// The batch: as many inserts, modifications and deletions.
constexpr int kEach = db::test::kAdjustmentsEach;

class ApplyServerKillTest : public ::testing::Test {
protected:
    void SetUp() override {
        if (env("PELMORA_FB_SERVER").empty() || env("PELMORA_FB_SERVER_SCRIPT").empty() ||
            env("PELMORA_FB_SERVER_STATE").empty()) {
            GTEST_SKIP() << "no test server: run scripts/firebird-test-server.sh start";
        }
        user_ = env("PELMORA_FB_USER");
        password_ = env("PELMORA_FB_PASSWORD");
        const std::string entry =
            env("PELMORA_FB_SERVER") + ":" + db::test::TestDatabase::tempDir() + "/apply_kill";
        db::test::CompanyOptions options;
        options.user = user_;
        options.password = password_;
        ASSERT_TRUE(db::test::createCompaniesIn(entry, {"001"}, options));
        database_ = entry + "/datos/001/pelmora.fdb";
    }

    // Kills the server at once, as a crash or a pulled plug would, and waits
    // until its port is free: the threads of a killed process take a moment
    // to end, and the script takes a process that is not yet reaped for a
    // running server.
    static void killServer() {
        const std::string pidPath = env("PELMORA_FB_SERVER_STATE") + "/server.pid";
        std::ifstream pidFile(pidPath);
        pid_t pid = 0;
        if (pidFile >> pid && pid > 0 && ::kill(pid, SIGKILL) == 0) {
            for (int tries = 0; tries < 10000 && portOpen(); ++tries) {
                std::this_thread::sleep_for(std::chrono::milliseconds(1));
            }
            std::remove(pidPath.c_str());
        }
    }

    static bool portOpen() {
        const std::string server = env("PELMORA_FB_SERVER");
        const std::size_t slash = server.find('/');
        const int port = slash == std::string::npos ? 3050 : std::atoi(server.c_str() + slash + 1);
        const int socket = ::socket(AF_INET, SOCK_STREAM, 0);
        sockaddr_in address{};
        address.sin_family = AF_INET;
        address.sin_port = htons(static_cast<std::uint16_t>(port));
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        const bool open =
            ::connect(socket, reinterpret_cast<const sockaddr*>(&address), sizeof address) == 0;
        ::close(socket);
        return open;
    }

    // Starts the server again and waits until it takes a sign-in: a server
    // that has just come up may refuse the first ones.
    void startServer() const {
        const std::string command = env("PELMORA_FB_SERVER_SCRIPT") + " start >/dev/null";
        ASSERT_EQ(std::system(command.c_str()), 0);
        for (int tries = 0;; ++tries) {
            try {
                probe();
                return;
            } catch (const db::DatabaseError& error) {
                ASSERT_LT(tries, 100) << error.what();
                std::this_thread::sleep_for(std::chrono::milliseconds(100));
            }
        }
    }

    // A connection of the test's own, for setting up and looking.
    std::unique_ptr<db::SQLConnection> probe() const {
        auto connection = db::test::programConnection(database_, user_, password_);
        connection->setConnected(true);
        return connection;
    }

    // The rows of AJUSTE_CIERRE, each as its values joined, sorted.
    std::vector<std::string> rows() const {
        auto connection = probe();
        db::SQLQuery query("rows");
        query.setConnection(connection.get());
        query.setSQL("select ajci_id, ajci_fecini, ajci_fecfin, ajci_porc, ajci_factor from "
                     "ajuste_cierre");
        query.open();
        std::vector<std::string> result;
        for (; !query.eof(); query.next()) {
            std::string row;
            for (std::size_t i = 0; i < 5; ++i) {
                row += db::test::textOf(query.value(i)) + "|";
            }
            result.push_back(row);
        }
        query.close();
        query.setConnection(nullptr);
        std::sort(result.begin(), result.end());
        return result;
    }

    void resetRows() const {
        auto connection = probe();
        connection->executeStatement("delete from ajuste_cierre");
        connection->executeStatement("delete from lotes_aplicados");
        for (int id = 1; id <= kRows; ++id) {
            connection->executeStatement(db::test::adjustmentRowInsert(id));
        }
    }

    static void change(app::WindowDataSets& sets) { db::test::changeAdjustments(sets); }

    std::string database_;
    std::string user_;
    std::string password_;
};

TEST_F(ApplyServerKillTest, AKilledServerLeavesAllOrNothingAndTheChangesAreSavedOnce) {
    const int runs = std::max(1, std::atoi(env("PELMORA_KILL_RUNS").c_str()) > 0
                                     ? std::atoi(env("PELMORA_KILL_RUNS").c_str())
                                     : 10);

    // The rows before and after the whole batch, and how long it takes.
    resetRows();
    const std::vector<std::string> before = rows();
    Clock::duration applyTime{};
    std::vector<std::string> after;
    {
        auto connection = db::test::programConnection(database_, user_, password_);
        app::WindowCommands commands = app::WindowCommands::create(*connection);
        app::WindowDataSets sets(commands);
        sets.CAjuste.open();
        change(sets);
        const Clock::time_point started = Clock::now();
        EXPECT_EQ(sets.CAjuste.ApplyUpdates(0), 0);
        applyTime = Clock::now() - started;
        after = rows();
    }
    ASSERT_EQ(after.size(), before.size());
    ASSERT_NE(after, before);

    std::mt19937 random(std::random_device{}());
    int savedBeforeTheKill = 0;
    int lostBeforeTheCommit = 0;
    int unanswered = 0;
    int unansweredButSaved = 0;
    for (int run = 0; run < runs; ++run) {
        SCOPED_TRACE("run " + std::to_string(run));
        resetRows();
        auto connection = db::test::programConnection(database_, user_, password_);
        app::WindowCommands commands = app::WindowCommands::create(*connection);
        app::WindowDataSets sets(commands);
        sets.CAjuste.open();
        change(sets);
        const int changes = sets.CAjuste.ChangeCount();
        ASSERT_EQ(changes, 3 * kEach);

        // The kill strikes anywhere from the start of the apply to a little
        // after its usual end.
        std::uniform_int_distribution<long long> delay(
            0, std::chrono::duration_cast<std::chrono::microseconds>(applyTime).count() * 6 / 5);
        const auto wait = std::chrono::microseconds(delay(random));
        std::thread killer([wait] {
            std::this_thread::sleep_for(wait);
            killServer();
        });
        std::string error;
        bool outcomeUnknown = false;
        int refused = -1;
        try {
            refused = sets.CAjuste.ApplyUpdates(0);
        } catch (const ApplyOutcomeUnknown& e) {
            outcomeUnknown = true;
            error = e.what();
        } catch (const db::DatabaseError& e) {
            error = e.what();
        }
        killer.join();
        startServer();

        const std::vector<std::string> found = rows();
        ASSERT_TRUE(found == before || found == after) << "half applied, after " << error;
        if (error.empty()) {
            // Done before the kill.
            EXPECT_EQ(refused, 0);
            EXPECT_EQ(found, after);
            EXPECT_EQ(sets.CAjuste.ChangeCount(), 0);
            ++savedBeforeTheKill;
            continue;
        }
        // The failure left every change in the change log, and the dead
        // connection says so.
        EXPECT_EQ(sets.CAjuste.ChangeCount(), changes) << error;
        EXPECT_FALSE(connection->Connected()) << error;
        if (outcomeUnknown) {
            ++unanswered;
            unansweredButSaved += found == after ? 1 : 0;
            // Nothing else may change until the apply is settled.
            EXPECT_EQ(db::test::errorOf([&] { sets.CAjuste.Edit(); }),
                      "CAjuste: " + std::string(ClientDataSet::kUnsettledApply));
        } else {
            EXPECT_EQ(found, before) << error;
            ++lostBeforeTheCommit;
        }

        // Signed in again, the same apply saves what is not saved yet.
        connection->setConnected(false);
        connection->setConnected(true);
        EXPECT_EQ(sets.CAjuste.ApplyUpdates(0), 0);
        EXPECT_EQ(sets.CAjuste.ChangeCount(), 0);
        EXPECT_EQ(rows(), after);
    }
    std::printf("%d kills: %d after the apply was saved, %d before its commit, %d during the "
                "commit (%d of them saved)\n",
                runs, savedBeforeTheKill, lostBeforeTheCommit, unanswered, unansweredButSaved);
}

// A resolver that writes every row, then meets a lost connection and keeps
// it to itself, as a resolver of another kind might.
class LossHidingResolver : public UpdateResolver {
public:
    LossHidingResolver(DataSetProvider& provider, db::test::TcpRelay& relay)
        : rows_(provider), relay_(relay) {}

    DataPacket resolve(db::SQLCommand& source, const std::vector<std::uint8_t>& delta,
                       int maxErrors, int& errorCount, bool rollsBackPastLimit) override {
        DataPacket errors = rows_.resolve(source, delta, maxErrors, errorCount, rollsBackPastLimit);
        relay_.cutAfter(0);
        try {
            source.psExecuteStatement("delete from lotes_aplicados where 1 = 0", {});
        } catch (const db::DatabaseError&) {
        }
        return errors;
    }

private:
    SQLResolver rows_;
    db::test::TcpRelay& relay_;
};

// However the resolver comes out of it, an apply whose connection was lost
// before its commit reports that nothing was saved, and keeps the changes;
// also without an apply log (a company made before it), where nothing is
// written after the rows to find the loss on its way.
TEST_F(ApplyServerKillTest, AConnectionLostBeforeTheCommitIsNeverTakenForASave) {
    const std::string server = env("PELMORA_FB_SERVER");
    db::test::TcpRelay relay(std::atoi(server.c_str() + server.find('/') + 1));
    resetRows();
    const std::vector<std::string> before = rows();
    auto connection =
        db::test::programConnection("127.0.0.1/" + std::to_string(relay.port()) + ":" +
                                        database_.substr(database_.find(':') + 1),
                                    user_, password_);
    app::WindowCommands commands = app::WindowCommands::create(*connection);
    app::WindowDataSets sets(commands);
    sets.CAjuste.open();
    change(sets);
    sets.PAjuste.ApplyLog.clear();
    DataSetProvider::setResolverFactory([&](DataSetProvider& provider) {
        return std::make_unique<LossHidingResolver>(provider, relay);
    });
    EXPECT_THROW(sets.CAjuste.ApplyUpdates(0), db::DatabaseError);
    DataSetProvider::setResolverFactory(nullptr);
    EXPECT_EQ(relay.cuts(), 1);
    EXPECT_EQ(sets.CAjuste.ChangeCount(), 3 * kEach);
    EXPECT_EQ(rows(), before);
}

// The rows of AJUSTE_CIERRE with the ids the database gave the inserted
// rows left out: two saves of the same batch differ only in those.
std::vector<std::string> withoutNewIds(std::vector<std::string> rows) {
    for (std::string& row : rows) {
        const std::size_t bar = row.find('|');
        if (std::stoi(row.substr(0, bar)) > kRows) {
            row.replace(0, bar, "new");
        }
    }
    std::sort(rows.begin(), rows.end());
    return rows;
}

// What became of the commit whose answer was lost, as the next save finds it.
enum class FirstCommit {
    Made,              // made before the next save looks
    MadeWhileLooking,  // still being made when the next save looks, then made
    UndoneWhileLooking // still being made when the next save looks, then undone
};

// The answer to the commit is lost on its way back: the client cannot know
// whether the batch was saved. The next save, signed in again, finds out for
// certain, even while the first commit is still being made: it takes the
// changes as saved when they were, and saves them when they were not, and
// never writes them twice.
TEST_F(ApplyServerKillTest, ACommitWhoseAnswerIsLostIsSettledOnceWhateverBecameOfIt) {
    const std::string server = env("PELMORA_FB_SERVER");
    db::test::TcpRelay relay(std::atoi(server.c_str() + server.find('/') + 1));
    const std::string throughRelay = "127.0.0.1/" + std::to_string(relay.port()) + ":" +
                                     database_.substr(database_.find(':') + 1);

    // The bytes of a whole save, the commit's answer last.
    resetRows();
    const std::vector<std::string> before = rows();
    std::uint64_t saveBytes = 0;
    std::vector<std::string> after;
    {
        auto connection = db::test::programConnection(throughRelay, user_, password_);
        app::WindowCommands commands = app::WindowCommands::create(*connection);
        app::WindowDataSets sets(commands);
        sets.CAjuste.open();
        change(sets);
        const std::uint64_t started = relay.bytes();
        ASSERT_EQ(sets.CAjuste.ApplyUpdates(0), 0);
        saveBytes = relay.bytes() - started;
        after = withoutNewIds(rows());
    }
    ASSERT_NE(after, withoutNewIds(before));

    for (const FirstCommit first :
         {FirstCommit::Made, FirstCommit::MadeWhileLooking, FirstCommit::UndoneWhileLooking}) {
        SCOPED_TRACE(static_cast<int>(first));
        // The same save, cut one byte before its end.
        resetRows();
        auto connection = db::test::programConnection(throughRelay, user_, password_);
        app::WindowCommands commands = app::WindowCommands::create(*connection);
        app::WindowDataSets sets(commands);
        sets.CAjuste.open();
        change(sets);
        relay.cutAfter(saveBytes - 1);
        std::string batch;
        try {
            sets.CAjuste.ApplyUpdates(0);
            ADD_FAILURE() << "the save was answered";
        } catch (const ApplyOutcomeUnknown& unknown) {
            batch = unknown.batch();
        }
        relay.disarm();
        ASSERT_FALSE(batch.empty());
        EXPECT_EQ(withoutNewIds(rows()), after) << "the commit was made";
        EXPECT_EQ(sets.CAjuste.ChangeCount(), 3 * kEach);
        EXPECT_FALSE(connection->Connected());

        // A commit still being made: the batch and the changes are in a
        // transaction of another connection, not yet ended.
        std::unique_ptr<db::SQLConnection> pending;
        const db::TransactionDesc transaction;
        if (first != FirstCommit::Made) {
            resetRows();
            pending = probe();
            pending->startTransaction(transaction);
            pending->executeStatement("insert into lotes_aplicados (lote_id) values ('" + batch +
                                      "')");
            pending->executeStatement("update ajuste_cierre set ajci_factor = ajci_id "
                                      "where ajci_id <= " +
                                      std::to_string(kEach));
            pending->executeStatement("delete from ajuste_cierre where ajci_id > " +
                                      std::to_string(kRows - kEach));
            for (int i = 0; i < kEach; ++i) {
                pending->executeStatement(
                    "insert into ajuste_cierre values (0, '2026-02-01', '2026-02-28', " +
                    std::to_string(1000 + i) + ", 2)");
            }
        }

        connection->setConnected(false);
        connection->setConnected(true);
        std::future<int> settled =
            std::async(std::launch::async, [&] { return sets.CAjuste.ApplyUpdates(0); });
        if (pending) {
            EXPECT_EQ(settled.wait_for(std::chrono::milliseconds(500)), std::future_status::timeout)
                << "the save answered before the first commit ended";
            if (first == FirstCommit::MadeWhileLooking) {
                pending->commit(transaction);
            } else {
                pending->rollback(transaction);
            }
        }
        EXPECT_EQ(settled.get(), 0);
        EXPECT_EQ(sets.CAjuste.ChangeCount(), 0);
        EXPECT_EQ(withoutNewIds(rows()), after);
    }
}

} // namespace
} // namespace dataset
