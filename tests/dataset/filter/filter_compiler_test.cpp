// The filter grammar, its messages and dates in the user's short date
// format, over the engine's rows without a database. The cases of the
// grammar are in filter_cases.txt.

#include "dataset/engine/engine_store.h"
#include "dataset/engine/packet_writer.h"
#include "dataset/filter/filter_compiler.h"
#include "dataset/filter/filter_constant.h"
#include "db/database_error.h"
#include "platform/short_date.h"
#include "tests/dataset/filter/filter_case_table.h"

#include <gtest/gtest.h>

namespace dataset {
namespace {

using filter_table::compiler;
using filter_table::FilterCase;

std::unique_ptr<EngineStore> store() {
    PacketWriter writer(filter_table::columns(), {});
    for (const auto& row : filter_table::rows()) {
        writer.addRow(RowStatus::Unmodified, row);
    }
    return std::make_unique<EngineStore>(writer.finish());
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
    EXPECT_EQ(run(filter_table::compilerFor(c), c.text), c.expected);
}

INSTANTIATE_TEST_SUITE_P(Cases, FilterGrammarTest, ::testing::ValuesIn(filter_table::loadCases()));

TEST(FilterCasesTest, DataFileIsRead) {
    EXPECT_GT(filter_table::loadCases().size(), 40u);
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
