// The network going away in the middle of the program's work: a sign-in,
// an apply of CAjuste's change log and a posting run, each through a relay
// to the Firebird test server that cuts every connection after a byte
// chosen at random among those the same work takes uncut. The work ends in
// a clear error or a true success, never leaves half of itself in the
// database nor calls anything saved or posted that is not, and the next
// sign-in works.
//
// Half the cuts of the apply strike among its last bytes, where its commit
// lies, and half its runs save again at once instead of first waiting for
// the server to let go of the cut connection and looking at the table.
//
// PELMORA_CUT_RUNS sets the cuts per kind of work (5 by default),
// PELMORA_CUT_SEED the seed of the first; skipped without the test server.

#include "app/form/form_session.h"
#include "app/form/sign_in.h"
#include "app/form/window_data_sets.h"
#include "app/post/company_session.h"
#include "app/post/post_commands.h"
#include "dataset/apply/apply_log.h"
#include "dataset/apply/data_set_provider.h"
#include "dataset/apply/sql_resolver.h"
#include "dataset/client/client_data_set.h"
#include "db/bcd.h"
#include "db/database_error.h"
#include "db/sql_connection.h"
#include "tests/adjustment_batch.h"
#include "tests/app/cut_companies.h"
#include "tests/tcp_relay.h"

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <gtest/gtest.h>
#include <map>
#include <memory>
#include <optional>
#include <random>
#include <set>
#include <string>
#include <tuple>

namespace app {
namespace {

using db::test::TcpRelay;
using test::CutCompanies;

int runs() {
    const char* text = std::getenv("PELMORA_CUT_RUNS");
    return text != nullptr ? std::max(1, std::atoi(text)) : 5;
}

std::uint64_t firstSeed() {
    const char* text = std::getenv("PELMORA_CUT_SEED");
    return text != nullptr ? std::strtoull(text, nullptr, 10) : 20240601;
}

// Where the cut of a run strikes: a byte of the work's own from `first`,
// before its last.
std::uint64_t cutPoint(int work, int run, std::uint64_t total, std::uint64_t first = 0) {
    std::mt19937_64 random(firstSeed() + static_cast<std::uint64_t>(run) * 3 +
                           static_cast<std::uint64_t>(work));
    return std::uniform_int_distribution<std::uint64_t>(first, total - 1)(random);
}

// The sign-in's questions to a window, answered as a window without
// adjustments on screen answers them.
SignIn::Window quietWindow() {
    return {[] { return true; }, [](const std::string&) {}, [] {}, [] {}};
}

// A server entry of the directory through the relay.
std::string through(const TcpRelay& relay, const std::string& directory) {
    return "127.0.0.1/" + std::to_string(relay.port()) + ":" + directory;
}

SignIn::Request signInTo(const CutCompanies& companies, const std::string& entry) {
    return {entry, companies.user(), companies.password(), "001"};
}

class ConnectionCutTest : public ::testing::TestWithParam<int> {
protected:
    static void SetUpTestSuite() { companies_ = CutCompanies::make(); }
    static void TearDownTestSuite() { companies_.reset(); }

    void SetUp() override {
        if (!CutCompanies::serverGiven())
            GTEST_SKIP() << "no test server: run scripts/firebird-test-server.sh start";
        ASSERT_TRUE(companies_) << "the demo company could not be made on the test server";
    }

    // A copy that writes keeps its database for a look after a failure;
    // after a success it goes.
    void TearDown() override {
        if (!copy_.empty() && !HasFailure())
            std::filesystem::remove_all(copy_);
    }
    const std::string& kept(std::string directory) { return copy_ = std::move(directory); }

    static SignIn::Request request(const std::string& entry) {
        return signInTo(*companies_, entry);
    }

    static inline std::unique_ptr<CutCompanies> companies_;
    std::string copy_;
};

// ---------------------------------------------------------------------------
// A sign-in: the connection opened and the points of sale read.

std::uint64_t signInBytes(CutCompanies& companies, const std::string& directory) {
    static const std::uint64_t kBytes = [&] {
        TcpRelay relay(companies.serverPort());
        FormSession session;
        SignIn signIn(*session.Pelmora, *session.dataSets, quietWindow());
        signIn.run(signInTo(companies, through(relay, directory)));
        std::printf("uncut sign-in: %llu bytes\n", static_cast<unsigned long long>(relay.bytes()));
        return relay.bytes();
    }();
    return kBytes;
}

TEST_P(ConnectionCutTest, ASignInCutEndsInAClearErrorAndTheNextSignInWorks) {
    const std::string directory = companies_->sharedCopy();
    const std::uint64_t total = signInBytes(*companies_, directory);
    ASSERT_GT(total, 0u);
    const std::uint64_t cut = cutPoint(0, GetParam(), total);
    SCOPED_TRACE("cut after " + std::to_string(cut) + " of " + std::to_string(total) + " bytes");

    TcpRelay relay(companies_->serverPort());
    FormSession session;
    SignIn signIn(*session.Pelmora, *session.dataSets, quietWindow());
    relay.cutAfter(cut);
    std::string error;
    try {
        EXPECT_EQ(signIn.run(request(through(relay, directory))), SignIn::Outcome::SignedIn);
    } catch (const db::DatabaseError& e) {
        error = e.what();
    }
    relay.disarm();
    if (error.empty()) {
        // What the cut took was not needed: the sign-in is whole.
        EXPECT_TRUE(session.Pelmora->Connected());
        EXPECT_EQ(session.dataSets->CPuntos.RecordCount(), 5);
    } else {
        EXPECT_GT(error.size(), 20u) << error;
        EXPECT_FALSE(session.Pelmora->Connected()) << error;
        EXPECT_FALSE(session.dataSets->CPuntos.Active());
        std::string said = error;
        std::replace(said.begin(), said.end(), '\r', ' ');
        std::replace(said.begin(), said.end(), '\n', ' ');
        CutCompanies::tally("sign-in", said);
    }

    // Straight after, through the same relay, now uncut.
    ASSERT_EQ(signIn.run(request(through(relay, directory))), SignIn::Outcome::SignedIn);
    EXPECT_TRUE(session.Pelmora->Connected());
    EXPECT_EQ(session.dataSets->CPuntos.RecordCount(), 5);
    session.Pelmora->setConnected(false);
}

// ---------------------------------------------------------------------------
// An apply of CAjuste's change log: a batch of inserts, modifications and
// deletions of AJUSTE_CIERRE in one transaction.

// Rows of AJUSTE_CIERRE before the batch: ids 1 to kRows.
constexpr int kRows = db::test::kAdjustmentRows;
// The batch: as many inserts, modifications and deletions.
constexpr int kEach = db::test::kAdjustmentsEach;

// The rows of AJUSTE_CIERRE, each as its values joined, sorted.
std::vector<std::string> adjustments(CutCompanies& companies, const std::string& directory) {
    std::vector<std::string> rows = companies.probe(directory).rows(
        "select ajci_id, ajci_fecini, ajci_fecfin, ajci_porc, ajci_factor from ajuste_cierre");
    std::sort(rows.begin(), rows.end());
    return rows;
}

// A fresh copy whose AJUSTE_CIERRE holds the rows before the batch.
std::string adjustmentsCopy(CutCompanies& companies, const std::string& name) {
    const std::string directory = companies.freshCopy(name);
    CutCompanies::Probe probe = companies.probe(directory);
    probe.execute("delete from ajuste_cierre");
    for (int id = 1; id <= kRows; ++id) {
        probe.execute(db::test::adjustmentRowInsert(id));
    }
    return directory;
}

void change(WindowDataSets& sets) {
    db::test::changeAdjustments(sets);
}

// The uncut apply over a fresh copy: its bytes, where its last statement
// starts (a cut before it cannot reach the commit), the bytes of a commit,
// and the rows before and after it.
struct ApplyReference {
    std::uint64_t bytes = 0;
    std::uint64_t lastStatement = 0;
    std::uint64_t commit = 0;
    std::vector<std::string> before;
    std::vector<std::string> after;
};

const ApplyReference& applyReference(CutCompanies& companies) {
    static const ApplyReference kReference = [&] {
        ApplyReference reference;
        const std::string directory = adjustmentsCopy(companies, "apply-uncut");
        reference.before = adjustments(companies, directory);
        TcpRelay relay(companies.serverPort());
        FormSession session;
        SignIn signIn(*session.Pelmora, *session.dataSets, quietWindow());
        signIn.run(signInTo(companies, through(relay, directory)));
        session.dataSets->CAjuste.open();
        change(*session.dataSets);
        dataset::DataSetProvider::setResolverFactory([&](dataset::DataSetProvider& provider) {
            auto resolver = std::make_unique<dataset::SQLResolver>(provider);
            resolver->setStatementObserver([&](const std::string&, const db::SQLParams&) {
                reference.lastStatement = relay.bytes();
            });
            return resolver;
        });
        const std::uint64_t started = relay.bytes();
        const int refused = session.dataSets->CAjuste.ApplyUpdates(0);
        reference.bytes = relay.bytes() - started;
        reference.lastStatement -= started;
        dataset::DataSetProvider::setResolverFactory(nullptr);
        // A commit asks and answers as many bytes, whatever it commits.
        db::TransactionDesc transaction;
        transaction.transactionId = 1;
        transaction.isolationLevel = session.Pelmora->isolationLevel();
        session.Pelmora->startTransaction(transaction);
        const std::uint64_t committing = relay.bytes();
        session.Pelmora->commit(transaction);
        reference.commit = relay.bytes() - committing;
        session.Pelmora->setConnected(false);
        reference.after = refused == 0 ? adjustments(companies, directory) : reference.before;
        std::printf("uncut apply: %llu bytes, the last statement from byte %llu, a commit %llu\n",
                    static_cast<unsigned long long>(reference.bytes),
                    static_cast<unsigned long long>(reference.lastStatement),
                    static_cast<unsigned long long>(reference.commit));
        return reference;
    }();
    return kReference;
}

TEST_P(ConnectionCutTest, AnApplyCutSavesAllOrNothingKeepsTheChangesAndSavesThemOnce) {
    const ApplyReference& reference = applyReference(*companies_);
    ASSERT_GT(reference.commit, 0u);
    ASSERT_NE(reference.after, reference.before) << "the uncut apply saved nothing";
    // Every other pair of runs cuts among the last bytes, where the few of
    // the commit lie: a cut anywhere seldom finds them.
    const bool late = GetParam() / 2 % 2 == 1;
    const std::uint64_t lastBytes = std::min(reference.bytes, 3 * reference.commit);
    const std::uint64_t cut =
        cutPoint(2, GetParam(), reference.bytes, late ? reference.bytes - lastBytes : 0);
    SCOPED_TRACE("cut after " + std::to_string(cut) + " of " + std::to_string(reference.bytes) +
                 " bytes, the last statement from " + std::to_string(reference.lastStatement) +
                 ", a commit " + std::to_string(reference.commit));
    const std::string directory =
        kept(adjustmentsCopy(*companies_, "apply-" + std::to_string(GetParam())));

    TcpRelay relay(companies_->serverPort());
    FormSession session;
    SignIn signIn(*session.Pelmora, *session.dataSets, quietWindow());
    ASSERT_EQ(signIn.run(request(through(relay, directory))), SignIn::Outcome::SignedIn);
    dataset::ClientDataSet& CAjuste = session.dataSets->CAjuste;
    CAjuste.open();
    change(*session.dataSets);
    const int changes = CAjuste.ChangeCount();
    ASSERT_EQ(changes, 3 * kEach);

    relay.cutAfter(cut);
    std::string error;
    bool outcomeUnknown = false;
    int refused = -1;
    try {
        refused = CAjuste.ApplyUpdates(0);
    } catch (const dataset::ApplyOutcomeUnknown& e) {
        outcomeUnknown = true;
        error = e.what();
    } catch (const db::DatabaseError& e) {
        error = e.what();
    }
    relay.disarm();

    if (error.empty()) {
        EXPECT_EQ(refused, 0);
        EXPECT_EQ(CAjuste.ChangeCount(), 0);
        EXPECT_EQ(adjustments(*companies_, directory), reference.after);
        CutCompanies::tally("apply", "saved before the cut");
        return;
    }
    // Every change stays in the change log, and the connection knows it is
    // gone.
    EXPECT_EQ(CAjuste.ChangeCount(), changes) << error;
    EXPECT_FALSE(session.Pelmora->Connected()) << error;
    if (outcomeUnknown) {
        EXPECT_GE(cut, reference.lastStatement) << "the cut struck before the commit: " << error;
    }
    // Every other run looks into the database before saving again, once the
    // server has let go of the cut connection; the others save again at
    // once, as a user who tries again would.
    if (GetParam() % 2 == 0) {
        companies_->waitUntilLetGo(directory);
        const std::vector<std::string> found = adjustments(*companies_, directory);
        ASSERT_TRUE(found == reference.before || found == reference.after)
            << "half applied: " << error;
        // Saved, the failure could not say it was not.
        if (found == reference.after) {
            EXPECT_TRUE(outcomeUnknown) << error;
        }
        CutCompanies::tally("apply", std::string(outcomeUnknown ? "commit unanswered" : "lost") +
                                         (found == reference.after ? ", saved" : ", not saved"));
    } else {
        CutCompanies::tally("apply", std::string(outcomeUnknown ? "commit unanswered" : "lost") +
                                         ", saved again at once");
    }

    // Signed in again, the same apply saves what is not saved yet, once.
    ASSERT_EQ(signIn.run(request(through(relay, directory))), SignIn::Outcome::SignedIn);
    EXPECT_EQ(CAjuste.ApplyUpdates(0), 0);
    EXPECT_EQ(CAjuste.ChangeCount(), 0);
    session.Pelmora->setConnected(false);
    EXPECT_EQ(adjustments(*companies_, directory), reference.after);
}

// ---------------------------------------------------------------------------
// A posting run of pelmora-post: every day of the demo sales for every
// point of sale, one transaction a day.

using DayKey = std::tuple<std::string, std::int64_t>;

post::PostOptions postingOptions(CutCompanies& companies) {
    post::PostOptions options;
    options.command = post::Command::Post;
    options.from = companies.lastSalesDay() - std::chrono::days(4);
    options.to = companies.lastSalesDay();
    return options;
}

// The uncut run over a fresh copy: its bytes and the days it posts.
struct PostingReference {
    std::uint64_t bytes = 0;
    std::set<DayKey> posted;
};

const PostingReference& postingReference(CutCompanies& companies) {
    static const PostingReference kReference = [&] {
        PostingReference reference;
        const std::string directory = companies.freshCopy("post-uncut");
        TcpRelay relay(companies.serverPort());
        post::CompanySession session(
            {through(relay, directory), companies.user(), companies.password()}, "001");
        const std::uint64_t before = relay.bytes();
        const post::CompanyReport report = post::postCompany(session, postingOptions(companies));
        reference.bytes = relay.bytes() - before;
        for (const post::DayResult& day : report.days) {
            if (day.status == post::DayStatus::Posted)
                reference.posted.insert({post::isoText(day.day), day.point});
        }
        std::printf("uncut posting run: %llu bytes, %zu days posted\n",
                    static_cast<unsigned long long>(reference.bytes), reference.posted.size());
        return reference;
    }();
    return kReference;
}

// What a company's ledger holds per day and point of sale.
struct DayInLedger {
    std::vector<std::string> vouchers; // "id:state"
    std::int64_t sales = 0;
    std::int64_t entered = 0;
};

std::map<DayKey, DayInLedger> ledger(CutCompanies& companies, const std::string& directory) {
    std::map<DayKey, DayInLedger> days;
    CutCompanies::Probe probe = companies.probe(directory);
    for (const std::string& row :
         probe.rows("select comp_fecha, ptvt_id, comp_id, comp_estado from comprobantes "
                    "order by comp_id")) {
        const std::vector<std::string> parts = CutCompanies::split(row);
        days[{parts[0], std::stoll(parts[1])}].vouchers.push_back(parts[2] + ":" + parts[3]);
    }
    for (const std::string& row :
         probe.rows("select fact_fecha, ptvt_id, count(*), count(fact_comp_local) from facturas "
                    "where tido_cod = 31 and fact_anulada = 'N' group by 1, 2")) {
        const std::vector<std::string> parts = CutCompanies::split(row);
        DayInLedger& day = days[{parts[0], std::stoll(parts[1])}];
        day.sales = std::stoll(parts[2]);
        day.entered = std::stoll(parts[3]);
    }
    return days;
}

bool stopped(const post::CompanyReport& report) {
    if (!report.failure.empty())
        return true;
    for (const post::DayResult& day : report.days) {
        if (day.status == post::DayStatus::Failed || day.status == post::DayStatus::NotReached)
            return true;
    }
    return false;
}

TEST_P(ConnectionCutTest, APostingRunCutReportsOnlyWhatIsPostedAndPostingAgainPostsTheRest) {
    const PostingReference& reference = postingReference(*companies_);
    ASSERT_GT(reference.bytes, 0u);
    ASSERT_FALSE(reference.posted.empty());
    const std::uint64_t cut = cutPoint(1, GetParam(), reference.bytes);
    SCOPED_TRACE("cut after " + std::to_string(cut) + " of " + std::to_string(reference.bytes) +
                 " bytes");
    const std::string directory = kept(companies_->freshCopy("post-" + std::to_string(GetParam())));
    const post::PostOptions options = postingOptions(*companies_);

    post::CompanyReport report;
    bool wasCut = false;
    {
        TcpRelay relay(companies_->serverPort());
        post::CompanySession session(
            {through(relay, directory), companies_->user(), companies_->password()}, "001");
        const int cutsBefore = relay.cuts();
        relay.cutAfter(cut);
        report = post::postCompany(session, options);
        relay.disarm();
        wasCut = relay.cuts() > cutsBefore;
    }
    if (wasCut) {
        companies_->waitUntilLetGo(directory);
        // The tool's exit status is 1.
        EXPECT_TRUE(stopped(report));
    }

    std::map<DayKey, DayInLedger> days = ledger(*companies_, directory);
    std::set<DayKey> done;
    for (const post::DayResult& result : report.days) {
        const DayKey key{post::isoText(result.day), result.point};
        const DayInLedger& day = days[key];
        const std::string what = post::isoText(result.day) + " point " +
                                 std::to_string(result.point) + " " +
                                 post::statusName(result.status) + ": " + result.message;
        const bool whole =
            day.vouchers.size() == 1 && day.vouchers[0].ends_with(":C") && day.entered == day.sales;
        const bool untouched = day.vouchers.empty() && day.entered == 0;
        if (result.status == post::DayStatus::Posted) {
            EXPECT_EQ(day.vouchers, std::vector<std::string>{std::to_string(result.voucher) + ":C"})
                << what;
            EXPECT_EQ(day.entered, day.sales) << what;
            done.insert(key);
        } else if (result.message.find("check with status") != std::string::npos) {
            // The commit went unanswered: all of the day or none of it.
            EXPECT_TRUE(whole || untouched) << what;
            if (whole)
                done.insert(key);
            CutCompanies::tally("posting run", whole ? "commit unanswered, saved"
                                                     : "commit unanswered, not saved");
        } else {
            EXPECT_TRUE(untouched) << what;
        }
    }
    if (wasCut)
        CutCompanies::tally("posting run", "stopped");

    // Posting again, straight to the server, posts each remaining day once.
    post::CompanySession again(
        {companies_->serverPrefix() + directory, companies_->user(), companies_->password()},
        "001");
    const post::CompanyReport second = post::postCompany(again, options);
    EXPECT_TRUE(second.failure.empty()) << second.failure;
    for (const post::DayResult& result : second.days) {
        const DayKey key{post::isoText(result.day), result.point};
        EXPECT_NE(result.status, post::DayStatus::NotReached);
        if (result.status == post::DayStatus::Posted) {
            EXPECT_TRUE(done.insert(key).second) << "posted twice: " << std::get<0>(key);
        }
    }
    EXPECT_EQ(done, reference.posted);
    for (const auto& [key, day] : ledger(*companies_, directory)) {
        const bool posts = reference.posted.count(key) != 0;
        EXPECT_EQ(day.vouchers.size(), posts ? 1u : 0u)
            << std::get<0>(key) << " " << std::get<1>(key);
        EXPECT_TRUE(std::all_of(day.vouchers.begin(), day.vouchers.end(),
                                [](const std::string& voucher) { return voucher.ends_with(":C"); }))
            << std::get<0>(key) << " " << std::get<1>(key);
        EXPECT_EQ(day.entered, posts ? day.sales : 0)
            << std::get<0>(key) << " " << std::get<1>(key);
    }
}

INSTANTIATE_TEST_SUITE_P(Cuts, ConnectionCutTest, ::testing::Range(0, runs()));

} // namespace
} // namespace app
