#pragma once
// Demo companies on the Firebird test server for the tests that cut the
// network: one company made by the project's script, then copied file by
// file for each case that writes, so that every case starts from the same
// ledger without the minutes the script takes. A connection of the test's
// own, straight to the server, looks into a copy; and a case waits there
// until the server has let go of the connections a cut left behind.

#include "app/form/connection_settings.h"
#include "app/post/calendar_day.h"
#include "db/sql_connection.h"
#include "db/sql_query.h"
#include "tests/command_testing.h"
#include "tests/company_database.h"
#include "tests/test_database.h"

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <vector>

namespace app::test {

class CutCompanies {
public:
    static bool serverGiven() {
        return !env("PELMORA_FB_SERVER").empty() && !env("PELMORA_FB_USER").empty();
    }

    // The company made once; nothing when there is no server or the script
    // fails.
    static std::unique_ptr<CutCompanies> make() {
        if (!serverGiven())
            return nullptr;
        auto companies = std::unique_ptr<CutCompanies>(new CutCompanies());
        std::filesystem::remove_all(companies->root_);
        std::filesystem::create_directories(companies->root_);
        db::test::CompanyOptions options;
        options.user = companies->user_;
        options.password = companies->password_;
        if (!db::test::createCompaniesIn(companies->serverPrefix() + companies->original(), {"001"},
                                         options))
            return nullptr;
        return companies;
    }

    ~CutCompanies() { printTally(); }
    CutCompanies(const CutCompanies&) = delete;
    CutCompanies& operator=(const CutCompanies&) = delete;

    int serverPort() const { return port_; }
    // "host/port:", the prefix of an entry straight to the server.
    std::string serverPrefix() const { return server_ + ":"; }
    const std::string& user() const { return user_; }
    const std::string& password() const { return password_; }

    // A directory of its own whose company 001 is a copy of the one made;
    // the name is the directory's.
    std::string freshCopy(const std::string& name) const {
        const std::string directory = root_ + "/" + name;
        std::filesystem::remove_all(directory);
        std::filesystem::create_directories(directory + "/datos/001");
        std::filesystem::copy_file(original() + "/datos/001/pelmora.fdb",
                                   directory + "/datos/001/pelmora.fdb");
        return directory;
    }

    // One copy that cases which write nothing share.
    const std::string& sharedCopy() {
        const std::lock_guard lock(mutex_);
        if (shared_.empty())
            shared_ = freshCopy("shared");
        return shared_;
    }

    // The last day of the demo sales.
    post::Day lastSalesDay() {
        const std::lock_guard lock(mutex_);
        if (!lastDay_) {
            Probe look = probe(freshCopy("look"));
            lastDay_ = post::parseIsoDay(look.value("select max(fact_fecha) from facturas"));
        }
        return lastDay_.value_or(post::Day{});
    }

    // A connection of the test's own to the company of a directory,
    // straight to the server.
    class Probe {
    public:
        Probe(const std::string& database, const std::string& user, const std::string& password)
            : connection_(makePelmoraConnection()) {
            db::test::connectTo(*connection_, database, user, password);
            query_.setConnection(connection_.get());
        }
        ~Probe() {
            query_.close();
            query_.setConnection(nullptr);
        }
        Probe(const Probe&) = delete;
        Probe& operator=(const Probe&) = delete;

        void execute(const std::string& sql) { connection_->executeStatement(sql); }

        // Every row as its values joined by "|".
        std::vector<std::string> rows(const std::string& sql) {
            query_.setSQL(sql);
            query_.open();
            std::vector<std::string> result;
            for (; !query_.eof(); query_.next()) {
                std::string row;
                for (std::size_t i = 0; i < query_.fieldDefs().size(); ++i)
                    row += (i == 0 ? "" : "|") + db::test::textOf(query_.value(i));
                result.push_back(row);
            }
            query_.close();
            return result;
        }
        std::string value(const std::string& sql) {
            const std::vector<std::string> found = rows(sql);
            return found.empty() ? std::string() : split(found.front()).front();
        }

    private:
        std::unique_ptr<db::SQLConnection> connection_;
        db::SQLQuery query_{"probe"};
    };

    Probe probe(const std::string& directory) const {
        return Probe(database(directory), user_, password_);
    }

    // Waits until the company has no connection but the probe's: the
    // server has ended, rolled back or committed what the cut connections
    // left, and a look into the ledger sees where it settled.
    void waitUntilLetGo(const std::string& directory) const {
        for (;;) {
            Probe look = probe(directory);
            if (look.value("select count(*) from mon$attachments where mon$system_flag = 0 and "
                           "mon$attachment_id <> current_connection") == "0")
                return;
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
        }
    }

    static std::vector<std::string> split(const std::string& row) {
        std::vector<std::string> parts;
        std::size_t start = 0;
        for (std::size_t bar = row.find('|'); bar != std::string::npos;
             bar = row.find('|', start)) {
            parts.push_back(row.substr(start, bar - start));
            start = bar + 1;
        }
        parts.push_back(row.substr(start));
        return parts;
    }

    // Counts how the cut runs ended, printed when the test ends.
    static void tally(const std::string& work, const std::string& outcome) {
        const std::lock_guard lock(tallyMutex());
        ++tallies()[work + ": " + outcome];
    }

private:
    CutCompanies()
        : server_(env("PELMORA_FB_SERVER")), user_(env("PELMORA_FB_USER")),
          password_(env("PELMORA_FB_PASSWORD")),
          root_(db::test::TestDatabase::tempDir() + "/connection_cut") {
        const std::size_t slash = server_.find('/');
        port_ = slash == std::string::npos ? 3050 : std::atoi(server_.c_str() + slash + 1);
    }

    static std::string env(const char* name) {
        const char* value = std::getenv(name);
        return value != nullptr ? value : "";
    }

    std::string original() const { return root_ + "/original"; }
    std::string database(const std::string& directory) const {
        return serverPrefix() + companyDatabase(directory, "001");
    }

    static std::map<std::string, int>& tallies() {
        static std::map<std::string, int> kTallies;
        return kTallies;
    }
    static std::mutex& tallyMutex() {
        static std::mutex kMutex;
        return kMutex;
    }
    static void printTally() {
        for (const auto& [outcome, count] : tallies())
            std::printf("  %s: %d\n", outcome.c_str(), count);
    }

    std::string server_;
    std::string user_;
    std::string password_;
    std::string root_;
    int port_ = 0;
    std::mutex mutex_;
    std::string shared_;
    std::optional<post::Day> lastDay_;
};

} // namespace app::test
