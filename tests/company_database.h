#pragma once
// Demo company databases made by the project's own script
// (PELMORA_CREATE_COMPANY), and a connection signed in to one of them: the
// one helper of the test fixtures that work on a company database.

#include "db/sql_connection.h"

#include <cstdlib>
#include <string>
#include <vector>

namespace db::test {

struct CompanyOptions {
    // The short date order of the company's texts ("DMY", "MDY", ...);
    // empty for that of the test's own locale.
    std::string dateOrder;
    // The credentials of a Firebird server, for an entry on one.
    std::string user;
    std::string password;
};

// A word for the shell, in single quotes.
inline std::string shellWord(const std::string& text) {
    std::string quoted = "'";
    for (const char c : text) {
        quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
    }
    return quoted + "'";
}

// Creates each company with demo data under the server entry; false when
// the script is not named or fails.
inline bool createCompaniesIn(const std::string& entry, const std::vector<std::string>& companies,
                              const CompanyOptions& options = {}) {
    const char* script = std::getenv("PELMORA_CREATE_COMPANY");
    if (script == nullptr) {
        return false;
    }
    std::string command = shellWord(script) + " --demo --force";
    if (!options.dateOrder.empty()) {
        command += " --date-order " + shellWord(options.dateOrder);
    }
    if (!options.user.empty()) {
        command +=
            " --user " + shellWord(options.user) + " --password " + shellWord(options.password);
    }
    for (const std::string& company : companies) {
        if (std::system(
                (command + " " + shellWord(entry) + " " + shellWord(company) + " > /dev/null")
                    .c_str()) != 0) {
            return false;
        }
    }
    return true;
}

// Signs the connection in to a company's database as the sign-in does.
inline void connectTo(SQLConnection& connection, const std::string& database,
                      const std::string& user = "SYSDBA",
                      const std::string& password = "masterkey") {
    connection.Params.setValue("Database", database);
    connection.Params.setValue("User_Name", user);
    connection.Params.setValue("password", password);
    connection.setConnected(true);
}

} // namespace db::test
