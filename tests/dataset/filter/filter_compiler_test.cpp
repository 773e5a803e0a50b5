// The filter grammar, its messages and dates in the user's short date
// format, over the engine's rows without a database. The cases of the
// grammar are in filter_cases.txt.

#include "dataset/engine/engine_store.h"
#include "dataset/engine/packet_writer.h"
#include "dataset/filter/filter_compiler.h"
#include "dataset/filter/filter_constant.h"
#include "db/database_error.h"
#include "platform/short_date.h"

#include <cstdlib>
#include <fstream>
#include <gtest/gtest.h>

namespace dataset {
namespace {

struct FilterCase {
    int line;
    std::string mode;
    std::string text;
    std::string expected;
};

std::ostream& operator<<(std::ostream& out, const FilterCase& c) {
    return out << "line " << c.line << ": " << c.text;
}

std::vector<FilterCase> loadCases() {
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

std::vector<ColumnDesc> columns() {
    return {{"ID", FieldType::Integer, 0, 0, false, false, {}},
            {"NAME", FieldType::String, 20, 0, false, false, {}},
            {"RATE", FieldType::FMTBcd, 4, 15, false, false, {}},
            {"DAY", FieldType::Date, 0, 0, false, false, {}},
            {"CODE", FieldType::String, 4, 0, false, false, {}},
            {"FLAG", FieldType::Boolean, 0, 0, false, false, {}}};
}

std::unique_ptr<EngineStore> store() {
    PacketWriter writer(columns(), {});
    const std::vector<std::vector<Value>> rows{
        {std::int64_t{1}, "Bogota Centro", db::Bcd::fromScaled(160000, 4), db::SQLDate{2024, 3, 15},
         "BOGO", std::int64_t{1}},
        {std::int64_t{2}, "O'Brien", db::Bcd::fromScaled(50000, 4), db::SQLDate{2024, 3, 16},
         "OBRI", std::int64_t{0}},
        {std::int64_t{3}, "bogota norte", db::Bcd::fromScaled(0, 4), db::SQLDate{2024, 3, 15},
         "bogo", std::int64_t{1}},
        {std::int64_t{4}, {}, {}, {}, {}, {}}};
    for (const auto& row : rows) {
        writer.addRow(RowStatus::Unmodified, row);
    }
    return std::make_unique<EngineStore>(writer.finish());
}

FilterCompiler compiler(std::string format) {
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

// The IDs of the matching rows, or "error: " and the message.
std::string run(const FilterCompiler& c, const std::string& text) {
    static const std::unique_ptr<EngineStore> rows = store();
    try {
        const auto expression = c.compile(text);
        std::string ids;
        for (std::size_t r = 0; r < rows->size(); ++r) {
            if (expression->matches(rows->codec(), rows->record(rows->rowAt(r)))) {
                ids += (ids.empty() ? "" : ",") + std::to_string(r + 1);
            }
        }
        return ids;
    } catch (const db::DatabaseError& error) {
        return std::string("error: ") + error.what();
    }
}

class FilterGrammarTest : public ::testing::TestWithParam<FilterCase> {};

TEST_P(FilterGrammarTest, MatchesOrFailsWithItsMessage) {
    const FilterCase& c = GetParam();
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
    EXPECT_EQ(run(filter, c.text), c.expected);
}

INSTANTIATE_TEST_SUITE_P(Cases, FilterGrammarTest, ::testing::ValuesIn(loadCases()));

TEST(FilterCasesTest, DataFileIsRead) {
    EXPECT_GT(loadCases().size(), 40u);
}

// A date turned into text with a format selects that day when read back
// with the same format, day first or month first.
class ShortDateFilterTest : public ::testing::TestWithParam<const char*> {};

TEST_P(ShortDateFilterTest, DateTextRoundTrips) {
    const std::string format = GetParam();
    const FilterCompiler filter = compiler(format);
    const std::string day = platform::formatDate({2024, 3, 16}, format);
    EXPECT_EQ(run(filter, "DAY = '" + day + "'"), "2");
    const std::string ambiguous = platform::formatDate({2024, 3, 5}, format);
    EXPECT_EQ(run(filter, "DAY < '" + ambiguous + "'"), "") << "5 March, not 3 May";
    EXPECT_EQ(run(filter, "DAY = '16.03.2024x'"), "error: '16.03.2024x' is not a valid date");
}

INSTANTIATE_TEST_SUITE_P(Formats, ShortDateFilterTest, ::testing::Values("%d/%m/%Y", "%m/%d/%Y"));

TEST(FilterNumberTest, NumbersUseTheUsersDecimalSeparator) {
    FilterCompiler filter = compiler("%d/%m/%Y");
    filter.decimalSeparator = ',';
    EXPECT_EQ(run(filter, "RATE > 4,5"), "1,2");
}

TEST(FilterLikeTest, ManyWildcardsDoNotRunAway) {
    const std::string text(5000, 'a');
    EXPECT_FALSE(FilterExpression::like(text, "%a%a%a%a%a%a%a%a%a%a%b", false));
    EXPECT_TRUE(FilterExpression::like(text, "%a%a%a%a%a%a%a%a%a%a%", false));
}

TEST(FilterNestingTest, DeepNestingIsRefusedNotOverflowed) {
    const FilterCompiler filter = compiler("%d/%m/%Y");
    EXPECT_EQ(run(filter, std::string(100, '(') + "ID = 1" + std::string(100, ')')), "1");
    EXPECT_EQ(run(filter, std::string(100000, '(') + "ID = 1"),
              "error: Filter expression nested too deeply");
    std::string nots;
    for (int i = 0; i < 100000; ++i) {
        nots += "NOT ";
    }
    EXPECT_EQ(run(filter, nots + "ID = 1"), "error: Filter expression nested too deeply");
    std::string minus(100000, '-');
    EXPECT_EQ(run(filter, "ID = " + minus + "ID"), "error: Filter expression nested too deeply");
}

// Texts for time and date-time fields: the short date, then h:mm[:ss[.zzz]].
TEST(FilterConstantTest, TimesAndDateTimesFromText) {
    const FilterCompiler c = compiler("%d/%m/%Y");
    const FilterCompiler::FieldRef stamp{0, FieldType::DateTime, 0};
    EXPECT_EQ(std::get<db::SQLTimeStamp>(
                  FilterConstant::make(stamp, true, "16/03/2024 13:05:09.250", c.parseDate)),
              (db::SQLTimeStamp{2024, 3, 16, 13, 5, 9, 2500}));
    EXPECT_EQ(
        std::get<db::SQLTimeStamp>(FilterConstant::make(stamp, true, "16/03/2024", c.parseDate)),
        (db::SQLTimeStamp{2024, 3, 16, 0, 0, 0, 0}));
    const FilterCompiler::FieldRef time{0, FieldType::Time, 0};
    EXPECT_EQ(std::get<db::SQLTime>(FilterConstant::make(time, true, "7:30", c.parseDate)),
              (db::SQLTime{7, 30, 0, 0}));
    for (const char* bad : {"16/03/2024 25:00", "16/03/2024 10", "16/03/2024 1:2:3:4"}) {
        try {
            FilterConstant::make(stamp, true, bad, c.parseDate);
            ADD_FAILURE() << bad;
        } catch (const db::DatabaseError& error) {
            EXPECT_EQ(error.what(), "'" + std::string(bad) + "' is not a valid date");
        }
    }
    EXPECT_THROW(FilterConstant::make(time, false, "7", c.parseDate), db::DatabaseError);
}

} // namespace
} // namespace dataset
