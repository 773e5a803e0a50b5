// Values written into SQL text as literals: the exact text, and that the
// database reads every literal back as the very value it was made from.

#include "db/sql_literal.h"
#include "tests/test_database.h"

#include <gtest/gtest.h>
#include <memory>

namespace db::test {
namespace {

struct LiteralCase {
    const char* value;
    const char* literal;
};

class SqlLiteralText : public ::testing::TestWithParam<LiteralCase> {};

TEST_P(SqlLiteralText, QuotesAndDoublesInnerQuotes) {
    EXPECT_EQ(sqlLiteral(GetParam().value), GetParam().literal);
}

INSTANTIATE_TEST_SUITE_P(Values, SqlLiteralText,
                         ::testing::Values(LiteralCase{"", "''"}, LiteralCase{"FV01", "'FV01'"},
                                           LiteralCase{"D'9", "'D''9'"}, LiteralCase{"'", "''''"},
                                           LiteralCase{"''", "''''''"},
                                           LiteralCase{"a'b'c", "'a''b''c'"},
                                           LiteralCase{"x'; delete from facturas; --",
                                                       "'x''; delete from facturas; --'"},
                                           LiteralCase{"\"Contado\"", "'\"Contado\"'"},
                                           LiteralCase{"Tienda D'Ángelo", "'Tienda D''Ángelo'"}));

// Texts the database must read back unchanged from their literal.
const char* const kRoundTrips[] = {
    "",
    "'",
    "O'Neil",
    "''doble''",
    "x'; delete from t; --",
    "x' or '1'='1",
    "back\\slash \\' end",
    "31/07/2024",
    "line\nbreak\r\ttab",
    "Cafetería Usaquén ñ €",
    "?:name :IDCNT",
    "\"quoted\"",
};

class SqlLiteralRoundTrip : public ::testing::Test {
protected:
    static void SetUpTestSuite() { database_ = std::make_unique<TestDatabase>("sql_literal_test"); }
    static void TearDownTestSuite() { database_.reset(); }
    static std::unique_ptr<TestDatabase> database_;
};

std::unique_ptr<TestDatabase> SqlLiteralRoundTrip::database_;

TEST_F(SqlLiteralRoundTrip, TheDatabaseReadsBackTheSameText) {
    for (const char* value : kRoundTrips) {
        // A cast keeps the empty literal a text instead of a char(0).
        const std::string sql =
            "select cast(" + sqlLiteral(value) + " as varchar(100)) from rdb$database";
        EXPECT_EQ(database_->scalar(sql), value) << sql;
    }
}

} // namespace
} // namespace db::test
