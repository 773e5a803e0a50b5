#pragma once
// Helpers of the command tests: the text of a failure, a company database
// in the test directory, and values as text.

#include "db/database_error.h"
#include "db/sql_command.h"
#include "tests/company_database.h"
#include "tests/test_database.h"

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

namespace db::test {

inline std::string errorOf(const std::function<void()>& action) {
    try {
        action();
    } catch (const DatabaseError& e) {
        return e.what();
    }
    return "<no error>";
}

// Demo companies under one server entry of the test directory, named after
// the test; their short dates are day/month/year. Gives the entry, or
// nothing when the script fails.
inline std::string createCompanies(const std::string& name,
                                   const std::vector<std::string>& companies) {
    const std::string entry = TestDatabase::tempDir() + "/" + name;
    std::filesystem::remove_all(entry);
    CompanyOptions options;
    options.dateOrder = "DMY";
    return createCompaniesIn(entry, companies, options) ? entry : std::string();
}

// The database of demo company 001 made as createCompanies makes it.
inline std::string createCompany(const std::string& name) {
    const std::string entry = createCompanies(name, {"001"});
    return entry.empty() ? entry : entry + "/datos/001/pelmora.fdb";
}

// A value as the tests compare it: text, numbers and decimals as text,
// dates as YYYY-MM-DD, null as "<null>".
inline std::string textOf(const SQLValue& value) {
    if (std::holds_alternative<std::monostate>(value)) {
        return "<null>";
    }
    if (const auto* s = std::get_if<std::string>(&value)) {
        return *s;
    }
    if (const auto* i = std::get_if<std::int64_t>(&value)) {
        return std::to_string(*i);
    }
    if (const auto* b = std::get_if<Bcd>(&value)) {
        return b->toString();
    }
    if (const auto* d = std::get_if<SQLDate>(&value)) {
        char text[16];
        std::snprintf(text, sizeof text, "%04d-%02d-%02d", d->year, d->month, d->day);
        return text;
    }
    return "<other>";
}

} // namespace db::test
