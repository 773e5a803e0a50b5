#pragma once
// The cases of filter_cases.txt and what they are written against: the
// columns and rows of the table, and a compiler set up for a case's mode.

#include "dataset/engine/column_desc.h"
#include "dataset/filter/filter_compiler.h"
#include "platform/short_date.h"

#include <cstdlib>
#include <fstream>
#include <ostream>
#include <string>
#include <vector>

namespace dataset::filter_table {

struct FilterCase {
    int line;
    std::string mode;
    std::string text;
    std::string expected;
};

inline std::ostream& operator<<(std::ostream& out, const FilterCase& c) {
    return out << "line " << c.line << ": " << c.text;
}

inline std::vector<FilterCase> loadCases() {
    std::vector<FilterCase> cases;
    const char* path = std::getenv("PELMORA_FILTER_CASES");
    std::ifstream in(path != nullptr ? path : "filter_cases.txt");
    std::string line;
    for (int number = 1; std::getline(in, line); ++number) {
        if (line.empty() || line[0] == '#') {
            continue;
        }
        const std::size_t a = line.find('\t');
        const std::size_t b = line.find('\t', a + 1);
        cases.push_back({number, line.substr(0, a), line.substr(a + 1, b - a - 1),
                         b == std::string::npos ? std::string() : line.substr(b + 1)});
    }
    return cases;
}

inline std::vector<ColumnDesc> columns() {
    return {{"ID", FieldType::Integer, 0, 0, false, false, {}},
            {"NAME", FieldType::String, 20, 0, false, false, {}},
            {"RATE", FieldType::FMTBcd, 4, 15, false, false, {}},
            {"DAY", FieldType::Date, 0, 0, false, false, {}},
            {"CODE", FieldType::String, 4, 0, false, false, {}},
            {"FLAG", FieldType::Boolean, 0, 0, false, false, {}}};
}

// The four rows the expected IDs of the cases refer to.
inline std::vector<std::vector<Value>> rows() {
    return {{std::int64_t{1}, "Bogota Centro", db::Bcd::fromScaled(160000, 4),
             db::SQLDate{2024, 3, 15}, "BOGO", std::int64_t{1}},
            {std::int64_t{2}, "O'Brien", db::Bcd::fromScaled(50000, 4), db::SQLDate{2024, 3, 16},
             "OBRI", std::int64_t{0}},
            {std::int64_t{3}, "bogota norte", db::Bcd::fromScaled(0, 4), db::SQLDate{2024, 3, 15},
             "bogo", std::int64_t{1}},
            {std::int64_t{4}, {}, {}, {}, {}, {}}};
}

// A compiler over columns(), reading dates in the given format.
inline FilterCompiler compiler(std::string format) {
    FilterCompiler c;
    c.lookup = [](std::string_view name) -> std::optional<FilterCompiler::FieldRef> {
        const std::vector<ColumnDesc> all = columns();
        for (std::size_t i = 0; i < all.size(); ++i) {
            if (all[i].name == name) {
                return FilterCompiler::FieldRef{i, all[i].type, all[i].size};
            }
        }
        return std::nullopt;
    };
    c.parseDate = [format](std::string_view text) -> std::optional<db::SQLDate> {
        const auto date = platform::parseDate(text, format);
        if (!date) {
            return std::nullopt;
        }
        return db::SQLDate{date->year, date->month, date->day};
    };
    return c;
}

// The compiler of a case's mode: filter, locate, nopartial, nocase or comma.
inline FilterCompiler compilerFor(const FilterCase& c) {
    FilterCompiler filter = compiler("%d/%m/%Y");
    filter.extendedSyntax = c.mode != "locate";
    if (c.mode == "nopartial" || c.mode == "locate") {
        filter.options = filter.options + FilterOption::NoPartialCompare;
    }
    if (c.mode == "nocase") {
        filter.options = filter.options + FilterOption::CaseInsensitive;
    }
    if (c.mode == "comma") {
        filter.decimalSeparator = ',';
    }
    return filter;
}

} // namespace dataset::filter_table
