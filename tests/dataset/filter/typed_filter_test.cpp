// A filter bound to the row layout answers exactly as the expression's own
// evaluation through Values: every case of filter_cases.txt over its rows
// and over rows with nulls in other places, and comparisons, lists and
// arithmetic over every kind of column, with values at the edges.

#include "dataset/engine/engine_store.h"
#include "dataset/engine/packet_writer.h"
#include "dataset/filter/filter_compiler.h"
#include "dataset/filter/typed_filter.h"
#include "db/database_error.h"
#include "tests/dataset/filter/filter_case_table.h"

#include <cmath>
#include <gtest/gtest.h>
#include <limits>
#include <random>

namespace dataset {
namespace {

using filter_table::FilterCase;

db::Bcd decimal(const char* text) {
    return *db::Bcd::fromString(text);
}

db::Bcd negativeZero() {
    db::Bcd zero = db::Bcd::fromScaled(0, 2);
    zero.signSpecialPlaces |= db::Bcd::kNegativeBit;
    return zero;
}

std::unique_ptr<EngineStore> storeOf(const std::vector<ColumnDesc>& columns,
                                     const std::vector<std::vector<Value>>& rows,
                                     const std::vector<std::vector<bool>>& unchanged = {}) {
    PacketWriter writer(columns, {});
    for (std::size_t r = 0; r < rows.size(); ++r) {
        const bool partly = r < unchanged.size() && !unchanged[r].empty();
        writer.addRow(partly ? RowStatus::Modified : RowStatus::Unmodified, rows[r],
                      partly ? &unchanged[r] : nullptr);
    }
    return std::make_unique<EngineStore>(writer.finish());
}

// The rows, by number from 1, that each way of evaluating selects.
struct Selection {
    std::string typed;
    std::string general;
    int generalConditions = 0;
};

Selection select(const FilterExpression& expression, const EngineStore& store,
                 std::size_t rowLimit = ~std::size_t{0}) {
    const TypedFilter typed(expression, store.codec());
    Selection selection;
    selection.generalConditions = typed.generalCount();
    for (std::size_t r = 0; r < std::min(rowLimit, store.size()); ++r) {
        const RowBytes row = store.record(store.rowAt(r));
        const std::string id = std::to_string(r + 1);
        if (typed.matches(row)) {
            selection.typed += (selection.typed.empty() ? "" : ",") + id;
        }
        if (expression.matches(store.codec(), row)) {
            selection.general += (selection.general.empty() ? "" : ",") + id;
        }
    }
    return selection;
}

// The table's rows, then rows with nulls before the columns a filter reads,
// decimals of other scales and beyond 64 bits, a text past 127 bytes, and
// columns not sent (not changed).
const EngineStore& tableStore() {
    static const std::unique_ptr<EngineStore> store = [] {
        std::vector<std::vector<Value>> rows = filter_table::rows();
        const std::string longName = "Bogota " + std::string(200, 'x');
        rows.push_back({std::int64_t{5},
                        {},
                        db::Bcd::fromScaled(-25000, 4),
                        db::SQLDate{2024, 3, 15},
                        "BOGO",
                        {}});
        rows.push_back(
            {{}, longName, decimal("123456789012345678901234.5678"), {}, "", std::int64_t{0}});
        rows.push_back({std::int64_t{-7}, "bogota NORTE", db::Bcd::fromScaled(1600, 2),
                        db::SQLDate{2023, 12, 31}, "bogo", std::int64_t{1}});
        rows.push_back({std::int64_t{2147483647},
                        "O'Brien",
                        decimal("0.00005"),
                        db::SQLDate{2024, 3, 16},
                        {},
                        std::int64_t{0}});
        rows.push_back({std::int64_t{0}, "", decimal("5.00000000000000000001"),
                        db::SQLDate{2024, 2, 29}, "OBRI", std::int64_t{1}});
        rows.push_back({std::int64_t{3}, "Bogota", negativeZero(), db::SQLDate{-5, 1, 1}, "BOG",
                        std::int64_t{0}});
        rows.push_back({std::int64_t{2}, "Bogota Centro", decimal("16"), db::SQLDate{2024, 3, 15},
                        "BOGO", std::int64_t{1}});
        std::vector<std::vector<bool>> unchanged(rows.size());
        unchanged.back() = {false, true, false, true, false, true};
        return storeOf(filter_table::columns(), rows, unchanged);
    }();
    return *store;
}

class TypedFilterTableTest : public ::testing::TestWithParam<FilterCase> {};

TEST_P(TypedFilterTableTest, SelectsWhatTheExpressionSelects) {
    const FilterCase& c = GetParam();
    std::unique_ptr<FilterExpression> expression;
    try {
        expression = filter_table::compilerFor(c).compile(c.text);
    } catch (const db::DatabaseError& error) {
        EXPECT_EQ("error: " + std::string(error.what()), c.expected);
        return;
    }
    const std::size_t tableRows = filter_table::rows().size();
    EXPECT_EQ(select(*expression, tableStore(), tableRows).typed, c.expected);
    const Selection all = select(*expression, tableStore());
    EXPECT_EQ(all.typed, all.general);
}

INSTANTIATE_TEST_SUITE_P(Cases, TypedFilterTableTest,
                         ::testing::ValuesIn(filter_table::loadCases()));

// Every kind of column, and fields bound to columns of another type of
// their family; a Blob and a Memo early, so that reaching the others walks
// over values of varying sizes.
std::vector<ColumnDesc> kindColumns() {
    return {{"SMALL", FieldType::SmallInt, 0, 0, false, false, {}},
            {"RAW", FieldType::Blob, 0, 0, false, false, {}},
            {"NOTE", FieldType::Memo, 0, 0, false, false, {}},
            {"BIG", FieldType::LargeInt, 0, 0, false, false, {}},
            {"AMOUNT", FieldType::BCD, 2, 18, false, false, {}},
            {"REAL", FieldType::Float, 0, 0, false, false, {}},
            {"MONEY", FieldType::Currency, 0, 0, false, false, {}},
            {"AT", FieldType::Time, 0, 0, false, false, {}},
            {"STAMP", FieldType::DateTime, 0, 0, false, false, {}},
            {"DONE", FieldType::Boolean, 0, 0, false, false, {}},
            {"DAY", FieldType::Date, 0, 0, false, false, {}},
            {"LABEL", FieldType::FixedChar, 3, 0, false, false, {}}};
}

FilterCompiler kindCompiler() {
    FilterCompiler c = filter_table::compiler("%d/%m/%Y");
    c.lookup = [](std::string_view name) -> std::optional<FilterCompiler::FieldRef> {
        static const std::vector<std::pair<std::string, FilterCompiler::FieldRef>> kBound{
            {"BIG_AS_INT", {3, FieldType::Integer, 0}},
            {"SMALL_AS_BIG", {0, FieldType::LargeInt, 0}},
            {"MONEY_AS_REAL", {6, FieldType::Float, 0}},
            {"STAMP_AS_DAY", {8, FieldType::Date, 0}},
            {"DAY_AS_STAMP", {10, FieldType::DateTime, 0}},
            {"RAW_AS_MEMO", {1, FieldType::Memo, 0}}};
        for (const auto& [alias, ref] : kBound) {
            if (alias == name) {
                return ref;
            }
        }
        const std::vector<ColumnDesc> all = kindColumns();
        for (std::size_t i = 0; i < all.size(); ++i) {
            if (all[i].name == name) {
                return FilterCompiler::FieldRef{i, all[i].type, all[i].size};
            }
        }
        return std::nullopt;
    };
    return c;
}

// Values at the edges of each kind, nulls among them; rows pick from them
// at random with a fixed seed, some with columns not sent.
const EngineStore& kindStore() {
    static const std::unique_ptr<EngineStore> store = [] {
        constexpr std::int64_t kMax = std::numeric_limits<std::int64_t>::max();
        constexpr std::int64_t kMin = std::numeric_limits<std::int64_t>::min();
        const std::vector<std::vector<Value>> pools{
            {{},
             std::int64_t{0},
             std::int64_t{1},
             std::int64_t{-1},
             std::int64_t{32767},
             std::int64_t{-32768},
             std::int64_t{2}},
            {{},
             std::vector<std::uint8_t>{},
             std::vector<std::uint8_t>(200, 7),
             std::vector<std::uint8_t>{1, 2, 3}},
            {{},
             "",
             "abc",
             "ABC",
             std::string(300, 'a'),
             "\xc3\x91"
             "and\xc3\xba",
             "abc*"},
            {{},
             std::int64_t{0},
             std::int64_t{1},
             std::int64_t{-1},
             kMax,
             kMin,
             std::int64_t{4611686018427387904},
             std::int64_t{3037000500}},
            {{},
             db::Bcd::fromScaled(0, 2),
             db::Bcd::fromScaled(150, 2),
             decimal("-1.5"),
             decimal("0.0001"),
             decimal("99999999999999999999.99"),
             decimal("5.00000000000000000001"),
             decimal("1.5000"),
             negativeZero(),
             db::Bcd::fromScaled(kMax, 4),
             db::Bcd::fromScaled(kMin, 0)},
            {{}, 0.0, 1.5, -1.5, 1e300, -0.0, std::numeric_limits<double>::quiet_NaN(), 0.1, 3.0},
            {{}, 0.0, 1.5, 12.34},
            {{},
             db::SQLTime{0, 0, 0, 0},
             db::SQLTime{13, 5, 9, 2500},
             db::SQLTime{23, 59, 59, 9999},
             db::SQLTime{7, 30, 0, 0}},
            {{},
             db::SQLTimeStamp{2024, 3, 16, 0, 0, 0, 0},
             db::SQLTimeStamp{2024, 3, 16, 13, 5, 9, 2500},
             db::SQLTimeStamp{1999, 12, 31, 23, 59, 59, 0}},
            {{}, std::int64_t{0}, std::int64_t{1}},
            {{},
             db::SQLDate{2024, 3, 15},
             db::SQLDate{2024, 3, 16},
             db::SQLDate{1900, 1, 1},
             db::SQLDate{9999, 12, 31},
             db::SQLDate{-5, 1, 1},
             db::SQLDate{2024, 2, 29}},
            {{}, "ABC", "AB", "abc", ""}};
        constexpr int kRows = 80;
        constexpr unsigned kSeed = 20240315;
        std::mt19937 random(kSeed);
        std::vector<std::vector<Value>> rows;
        std::vector<std::vector<bool>> unchanged;
        for (int r = 0; r < kRows; ++r) {
            std::vector<Value> row;
            std::vector<bool> notSent;
            const bool partly = r % 7 == 6;
            for (const std::vector<Value>& pool : pools) {
                row.push_back(pool[random() % pool.size()]);
                notSent.push_back(partly && random() % 3 == 0);
            }
            rows.push_back(std::move(row));
            unchanged.push_back(partly ? notSent : std::vector<bool>{});
        }
        return storeOf(kindColumns(), rows, unchanged);
    }();
    return *store;
}

struct KindCase {
    const char* text;
    // Whether every condition of it reads stored forms.
    bool typed;
};

std::ostream& operator<<(std::ostream& out, const KindCase& c) {
    return out << c.text;
}

const KindCase kKindCases[] = {
    {"SMALL = 1", true},
    {"SMALL <> 1", true},
    {"SMALL < 0", true},
    {"SMALL >= -1 AND SMALL IS NOT NULL", true},
    {"SMALL IN (0, 2, 32767)", true},
    {"NOT SMALL IS NULL OR DAY IS NULL", true},
    {"BIG > 3037000499", true},
    {"BIG = 9223372036854775807", true},
    {"BIG * BIG > 0", true},
    {"BIG + 1 > BIG", true},
    {"-BIG < 0", true},
    {"BIG / 2 = 0.5", true},
    {"BIG - SMALL = 0", true},
    {"BIG / BIG = 1", true},
    {"BIG_AS_INT = 1", true},
    {"SMALL_AS_BIG = 2", true},
    {"AMOUNT = 1.5", true},
    {"AMOUNT > 0", true},
    {"AMOUNT <= -0.00001", true},
    {"AMOUNT IN (1.5, 0.0001, 0)", true},
    {"AMOUNT * 3 = 4.5", true},
    {"AMOUNT / 3 > 0.3333", true},
    {"AMOUNT * AMOUNT > 1", true},
    {"AMOUNT * AMOUNT = 2.25", true},
    {"AMOUNT * 1.5 = 2.25", true},
    {"AMOUNT + REAL > 1", true},
    {"AMOUNT * 1000000000000 > 100", true},
    {"AMOUNT - BIG < 0", true},
    {"AMOUNT * 0.0000000001 * 0.0000000001 > 0", true},
    {"AMOUNT * 0.0000000001 * 0.0000000001 = AMOUNT * 0.00000000000000000001", true},
    {"AMOUNT + 0.5 >= SMALL", true},
    {"AMOUNT = 5.00000000000000000001", false},
    {"AMOUNT > 99999999999999999999", false},
    {"REAL > 1", true},
    {"REAL = 1.5", true},
    {"REAL < 0", true},
    {"REAL IN (1.5, 3)", true},
    {"REAL * 2 = 3", true},
    {"REAL / 0 = 1", true},
    {"REAL + BIG > 0", true},
    {"REAL = REAL", true},
    {"REAL <> 0.1", true},
    {"MONEY >= 1.5", true},
    {"MONEY_AS_REAL = 12.34", true},
    {"AT = '13:05:09.250'", true},
    {"AT > '7:30'", true},
    {"AT IN ('7:30', '0:00')", true},
    {"AT <= '23:59:59.999'", true},
    {"STAMP = '16/03/2024'", true},
    {"STAMP > '16/03/2024 13:05'", true},
    {"STAMP IN ('16/03/2024 13:05:09.250', '31/12/1999 23:59:59')", true},
    {"STAMP_AS_DAY = '16/03/2024'", false},
    {"DAY_AS_STAMP >= '15/03/2024 00:00'", false},
    {"NOTE = 'abc'", true},
    {"NOTE = 'abc*'", true},
    {"NOTE <> 'ab*'", true},
    {"NOTE > 'ABC'", true},
    {"NOTE LIKE '%b%'", true},
    {"NOTE IN ('abc', '')", true},
    {"NOTE = 'aaaaaaaa*'", true},
    {"NOTE = NOTE", false},
    {"RAW_AS_MEMO = 'abc'", false},
    {"DONE = True", true},
    {"DONE <> False", true},
    {"DONE IN (True)", true},
    {"DONE = DONE", true},
    {"DAY = '29/02/2024'", true},
    {"DAY < '01/01/2000'", true},
    {"DAY >= '15/03/2024'", true},
    {"DAY IN ('15/03/2024', '31/12/9999')", true},
    {"DAY = DAY", false},
    {"LABEL = 'ABCD'", true},
    {"LABEL = 'AB*'", true},
    {"LABEL > 'AB'", true},
    {"SMALL = 1 OR AMOUNT > 1 AND DAY >= '01/01/2024'", true},
    {"NOT (NOTE IS NULL OR REAL < 0) AND LABEL IN ('ABC', 'abc')", true},
};

class TypedFilterKindsTest : public ::testing::TestWithParam<KindCase> {};

TEST_P(TypedFilterKindsTest, SelectsWhatTheExpressionSelects) {
    for (const bool ignoringCase : {false, true}) {
        FilterCompiler compiler = kindCompiler();
        if (ignoringCase) {
            compiler.options =
                compiler.options + FilterOption::CaseInsensitive + FilterOption::NoPartialCompare;
        }
        const auto expression = compiler.compile(GetParam().text);
        const Selection selection = select(*expression, kindStore());
        EXPECT_EQ(selection.typed, selection.general) << "ignoring case: " << ignoringCase;
        EXPECT_EQ(selection.generalConditions == 0, GetParam().typed);
    }
}

INSTANTIATE_TEST_SUITE_P(Kinds, TypedFilterKindsTest, ::testing::ValuesIn(kKindCases));

} // namespace
} // namespace dataset
