// Signing in as a unit, without a window, over real demo companies: the
// steps in order, the adjustments saved to the company being left, a
// refusal of them that keeps that company signed in, a failed connection
// that leaves no company behind, and company codes that would lead outside
// the entry's datos/ folder, refused before anything is opened.

#include "app/form/closing_adjustments.h"
#include "app/form/connection_settings.h"
#include "app/form/form_session.h"
#include "app/form/sign_in.h"
#include "db/bcd.h"
#include "db/database_error.h"
#include "db/sql_connection.h"
#include "db/sql_query.h"
#include "tests/command_testing.h"

#include <filesystem>
#include <fstream>
#include <functional>
#include <gtest/gtest.h>
#include <map>
#include <memory>
#include <ostream>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

namespace app {
namespace {

constexpr platform::Date kDay{2031, 3, 14};

// The session with the adjustments and the sign-in over it, and what they
// showed of themselves.
class Signing {
public:
    Signing()
        : adjustments(*session.dataSets,
                      {[this] { return panelShown; }, [this](bool shown) { panelShown = shown; },
                       [] { return kDay; },
                       [this](const std::string& text) { steps.push_back("message:" + text); }}),
          signIn(*session.Pelmora, *session.dataSets,
                 {[this] {
                      steps.emplace_back("leave adjustments");
                      return adjustments.leaveCompany();
                  },
                  [this](const std::string& caption) { steps.push_back("connecting:" + caption); },
                  [this] { steps.emplace_back("connected"); },
                  [this] { steps.emplace_back("signed in"); }}) {}

    SignIn::Outcome to(const std::string& entry, const std::string& company) {
        steps.clear();
        return signIn.run({entry, "SYSDBA", "masterkey", company});
    }

    std::string database() const { return session.Pelmora->Params.value("Database"); }

    FormSession session;
    bool panelShown = false;
    std::vector<std::string> steps;
    ClosingAdjustments adjustments;
    SignIn signIn;
};

// A connection of the test's own to a company.
std::unique_ptr<db::SQLConnection> probe(const std::string& database) {
    auto connection = makePelmoraConnection();
    db::test::connectTo(*connection, database);
    return connection;
}

// The first column of the first row in a company.
std::string valueIn(const std::string& database, const std::string& sql) {
    auto connection = probe(database);
    db::SQLQuery query("probe");
    query.setConnection(connection.get());
    query.setSQL(sql);
    query.open();
    const std::string value = query.eof() ? "<none>" : db::test::textOf(query.value(0));
    query.close();
    query.setConnection(nullptr);
    return value;
}

class SignInTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        // Made once for every suite of this file.
        if (!entry_.empty())
            return;
        entry_ = db::test::createCompanies("sign_in_test", {"001", "002"});
        if (!entry_.empty()) {
            // Company 002 refuses negative rates.
            probe(companyDatabase(entry_, "002"))
                ->executeStatement("alter table ajuste_cierre add constraint "
                                   "ck_ajuste_cierre_porc check (ajci_porc >= 0)");
        }
    }

    void SetUp() override {
        ASSERT_FALSE(entry_.empty()) << "the companies could not be created";
        // Each case starts without rows of the day.
        for (const char* company : {"001", "002"})
            probe(companyDatabase(entry_, company))
                ->executeStatement("delete from ajuste_cierre where ajci_fecini = '2031-03-14'");
    }

    static std::string daysRows(const std::string& company) {
        return valueIn(companyDatabase(entry_, company),
                       "select count(*) from ajuste_cierre where ajci_fecini = '2031-03-14'");
    }

    static inline std::string entry_;
    Signing s;
};

TEST_F(SignInTest, SignsInStepByStepAndSavesTheAdjustmentsToTheCompanyLeft) {
    ASSERT_EQ(s.to(entry_, "001"), SignIn::Outcome::SignedIn);
    EXPECT_EQ(s.steps, (std::vector<std::string>{"leave adjustments",
                                                 "connecting:Conectando a la base de datos 001 ...",
                                                 "connected", "signed in"}));
    EXPECT_TRUE(s.session.Pelmora->Connected());
    EXPECT_EQ(s.database(), entry_ + "/datos/001/pelmora.fdb");
    EXPECT_TRUE(s.session.dataSets->CPuntos.Active());
    EXPECT_EQ(s.session.dataSets->CPuntos.RecordCount(), 5);

    // The day's three standard rows, still only in the change log.
    s.adjustments.open();
    ASSERT_TRUE(s.panelShown);
    EXPECT_EQ(daysRows("001"), "0");

    ASSERT_EQ(s.to(entry_, "002"), SignIn::Outcome::SignedIn);
    EXPECT_EQ(s.steps.front(), "leave adjustments");
    EXPECT_EQ(s.steps.back(), "signed in");
    EXPECT_FALSE(s.panelShown);
    EXPECT_FALSE(s.session.dataSets->CAjuste.Active());
    EXPECT_EQ(s.database(), entry_ + "/datos/002/pelmora.fdb");
    EXPECT_EQ(daysRows("001"), "3");
    EXPECT_EQ(daysRows("002"), "0");
}

TEST_F(SignInTest, RefusedAdjustmentsKeepTheOldCompanySignedIn) {
    ASSERT_EQ(s.to(entry_, "002"), SignIn::Outcome::SignedIn);
    s.adjustments.open();
    dataset::ClientDataSet& CAjuste = s.session.dataSets->CAjuste;
    CAjuste.First();
    CAjuste.Edit();
    s.session.dataSets->CAjusteAJCI_PORC->setAsBcd(db::Bcd::fromScaled(-10000, 4));
    CAjuste.Post();

    EXPECT_EQ(s.to(entry_, "001"), SignIn::Outcome::KeptCompany);
    ASSERT_EQ(s.steps.size(), 2u);
    EXPECT_EQ(s.steps[0], "leave adjustments");
    EXPECT_EQ(s.steps[1].rfind(std::string("message:") + ClosingAdjustments::kNotSaved, 0), 0u)
        << s.steps[1];
    // Nothing of 002 was left: connection, points of sale and edits stay.
    EXPECT_TRUE(s.session.Pelmora->Connected());
    EXPECT_EQ(s.database(), entry_ + "/datos/002/pelmora.fdb");
    EXPECT_TRUE(s.session.dataSets->CPuntos.Active());
    EXPECT_TRUE(s.panelShown);
    EXPECT_EQ(CAjuste.ChangeCount(), 3);
    EXPECT_EQ(daysRows("002"), "0");
    EXPECT_EQ(daysRows("001"), "0");

    // Corrected, the rows go to 002 with the next sign-in.
    CAjuste.First();
    CAjuste.Edit();
    s.session.dataSets->CAjusteAJCI_PORC->setAsBcd(db::Bcd::fromScaled(10000, 4));
    CAjuste.Post();
    EXPECT_EQ(s.to(entry_, "001"), SignIn::Outcome::SignedIn);
    EXPECT_EQ(daysRows("002"), "3");
    EXPECT_EQ(daysRows("001"), "0");
}

TEST_F(SignInTest, AFailedConnectionLeavesNoCompanyAndTheNextSignInStartsOver) {
    ASSERT_EQ(s.to(entry_, "001"), SignIn::Outcome::SignedIn);
    EXPECT_THROW(s.to(entry_, "999"), db::DatabaseError);
    EXPECT_EQ(s.steps,
              (std::vector<std::string>{"leave adjustments",
                                        "connecting:Conectando a la base de datos 999 ..."}));
    EXPECT_FALSE(s.session.Pelmora->Connected());
    EXPECT_FALSE(s.session.dataSets->CPuntos.Active());
    EXPECT_EQ(s.database(), entry_ + "/datos/999/pelmora.fdb");

    ASSERT_EQ(s.to(entry_, "001"), SignIn::Outcome::SignedIn);
    EXPECT_TRUE(s.session.Pelmora->Connected());
    EXPECT_EQ(s.session.dataSets->CPuntos.RecordCount(), 5);
}

TEST_F(SignInTest, AnEmptyFieldDoesNothing) {
    ASSERT_EQ(s.to(entry_, "001"), SignIn::Outcome::SignedIn);
    s.adjustments.open();
    for (const SignIn::Request& request : {SignIn::Request{entry_, "", "masterkey", "001"},
                                           SignIn::Request{entry_, "SYSDBA", "", "001"},
                                           SignIn::Request{entry_, "SYSDBA", "masterkey", ""}}) {
        EXPECT_EQ(s.signIn.run(request), SignIn::Outcome::Incomplete);
    }
    // The adjustments were not touched.
    EXPECT_TRUE(s.panelShown);
    EXPECT_EQ(s.session.dataSets->CAjuste.ChangeCount(), 3);
    EXPECT_EQ(daysRows("001"), "0");
    EXPECT_EQ(s.database(), entry_ + "/datos/001/pelmora.fdb");
}

// Every file below the entry but outside its datos/ folder, with its size
// and its last change.
std::map<std::string, std::pair<std::uintmax_t, std::filesystem::file_time_type>>
filesOutsideData(const std::string& entry) {
    namespace fs = std::filesystem;
    std::map<std::string, std::pair<std::uintmax_t, fs::file_time_type>> files;
    for (auto it = fs::recursive_directory_iterator(entry);
         it != fs::recursive_directory_iterator(); ++it) {
        if (it->path() == fs::path(entry) / "datos") {
            it.disable_recursion_pending();
        } else if (it->is_regular_file()) {
            files[it->path().string()] = {it->file_size(), it->last_write_time()};
        }
    }
    return files;
}

// A file's bytes, as a hash that is short to show.
std::size_t contentOf(const std::string& path) {
    std::ifstream file(path, std::ios::binary);
    std::ostringstream content;
    content << file.rdbuf();
    return std::hash<std::string>{}(content.str());
}

// A code that is no plain folder name, and why it is hostile.
struct HostileCode {
    std::string name;
    std::string code;
};

void PrintTo(const HostileCode& code, std::ostream* out) {
    *out << code.name;
}

class CompanyCodeTest : public SignInTest, public ::testing::WithParamInterface<HostileCode> {
protected:
    // A copy of a company outside datos/, where "../fuera" would lead.
    static std::string outside() { return entry_ + "/fuera/pelmora.fdb"; }
};

TEST_P(CompanyCodeTest, ACodeThatLeadsOutsideTheDataFolderIsRefusedBeforeAnythingIsOpened) {
    const std::string& code = GetParam().code;
    std::filesystem::create_directories(entry_ + "/fuera");
    std::filesystem::copy_file(companyDatabase(entry_, "001"), outside(),
                               std::filesystem::copy_options::overwrite_existing);
    ASSERT_EQ(s.to(entry_, "002"), SignIn::Outcome::SignedIn);
    s.adjustments.open();
    const auto files = filesOutsideData(entry_);
    const std::size_t copied = contentOf(outside());

    std::string message;
    try {
        s.to(entry_, code);
    } catch (const InvalidCompanyCode& refused) {
        message = refused.what();
    }
    std::string shown = code;
    for (char& c : shown) {
        if (c == '\0' || c == '\n')
            c = '?';
    }
    EXPECT_EQ(message, std::string(SignIn::kInvalidCompanyPrefix) + '"' + shown + '"' +
                           SignIn::kInvalidCompanyHint);

    // Nothing was done: not even the adjustments were put away.
    EXPECT_TRUE(s.steps.empty());
    EXPECT_TRUE(s.session.Pelmora->Connected());
    EXPECT_EQ(s.database(), entry_ + "/datos/002/pelmora.fdb");
    EXPECT_TRUE(s.session.dataSets->CPuntos.Active());
    EXPECT_TRUE(s.panelShown);
    EXPECT_EQ(s.session.dataSets->CAjuste.ChangeCount(), 3);
    // No file outside datos/ was made, changed or opened.
    EXPECT_EQ(filesOutsideData(entry_), files);
    EXPECT_EQ(contentOf(outside()), copied);
}

INSTANTIATE_TEST_SUITE_P(
    Codes, CompanyCodeTest,
    ::testing::Values(HostileCode{"parentFolder", "../fuera"},
                      HostileCode{"companyByAWayRound", "../datos/001"},
                      HostileCode{"downAndUp", "001/../../fuera"}, HostileCode{"twoDots", ".."},
                      HostileCode{"oneDot", "."}, HostileCode{"leadingDot", ".001"},
                      HostileCode{"absolute", "/fuera"}, HostileCode{"subfolder", "001/x"},
                      HostileCode{"backslashParent", "..\\fuera"},
                      HostileCode{"backslash", "001\\x"}, HostileCode{"server", "localhost:001"},
                      HostileCode{"nulThenParent", std::string("001\0/../../fuera", 16)},
                      HostileCode{"newline", "001\n"}),
    [](const ::testing::TestParamInfo<HostileCode>& code) { return code.param.name; });

} // namespace
} // namespace app
