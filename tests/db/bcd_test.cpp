// The database layer's pure helpers: decimals, parameter lists, markers and
// error texts.

#include "db/bcd.h"
#include "db/connection_params.h"
#include "db/driver_error_text.h"
#include "db/param_markers.h"

#include <gtest/gtest.h>
#include <limits>

namespace db {
namespace {

TEST(BcdTest, TextAndScaledIntegersRoundTripExactly) {
    const std::vector<std::pair<std::string, std::string>> cases{
        {"0.8", "0.8"},
        {"-12.3400", "-12.3400"},
        {"007", "7"},
        {".5", "0.5"},
        {"-0.000", "0.000"},
        {"16", "16"},
        {"+3.10", "3.10"},
        {"123456789012345678901234567890.1234", "123456789012345678901234567890.1234"}};
    for (const auto& [text, expected] : cases) {
        const auto bcd = Bcd::fromString(text);
        ASSERT_TRUE(bcd) << text;
        EXPECT_EQ(bcd->toString(), expected);
    }
    for (const char* bad : {"", "-", ".", "1.2.3", "12a", " 1"}) {
        EXPECT_FALSE(Bcd::fromString(bad)) << bad;
    }
    EXPECT_EQ(Bcd::fromScaled(8000, 4).toString(), "0.8000");
    EXPECT_EQ(Bcd::fromScaled(-5, 2).toString(), "-0.05");
    const auto lowest = std::numeric_limits<std::int64_t>::min();
    EXPECT_EQ(Bcd::fromScaled(lowest, 0).toScaled(), lowest);
    EXPECT_EQ(Bcd::fromString("9223372036854775807")->toScaled(),
              std::numeric_limits<std::int64_t>::max());
    EXPECT_FALSE(Bcd::fromString("9223372036854775808")->toScaled());
    EXPECT_EQ(Bcd::fromString("-922337203685477.5808")->toScaled(), lowest);
}

TEST(ConnectionParamsTest, NamesMatchWithoutCaseAndTheFirstLineWins) {
    ConnectionParams params{{"Password", "one"}, {"PASSWORD", "two"}, {"Empty", ""}};
    EXPECT_EQ(params.value("password"), "one");
    params.setValue("password", "three");
    EXPECT_EQ(params.lines()[0].second, "three");
    EXPECT_EQ(params.lines()[1].second, "two");
    EXPECT_EQ(params.value("Missing"), "");
    EXPECT_TRUE(params.contains("empty"));
    params.setValue("User_Name", "ana");
    EXPECT_EQ(params.lines().back(), (ConnectionParams::Line{"User_Name", "ana"}));
}

TEST(ParamMarkersTest, NamedMarkersOutsideQuotesBecomeQuestionMarks) {
    struct Case {
        std::string sql, quote, expected;
    };
    const std::vector<Case> cases{
        {"insert into t values (:A, :B)", "\"", "insert into t values ( ? ,  ? )"},
        {"select * from t where a=:A and b = ':X'", "\"",
         "select * from t where a= ?  and b = ':X'"},
        {"select \":Q\" from t where c >:C", "\"", "select \":Q\" from t where c > ? "},
        {"select 'it''s' from t where x = :X", "", "select 'it''s' from t where x =  ? "},
        {"select a:b, x from t", "\"", "select a:b, x from t"},
        {"update t set a = ?", "\"", "update t set a = ?"},
        {"where a = :\nand", "\"", "where a = :\nand"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(ParamMarkers::replace(c.sql, c.quote), c.expected) << c.sql;
    }
    EXPECT_EQ(ParamMarkers::names("values (:ID,:PORC)\r\n:LAST", "\""),
              (std::vector<std::string>{"ID", "PORC", "LAST"}));
}

class MessageSource : public ISQLErrorSource {
public:
    explicit MessageSource(std::string text) : text_(std::move(text)) {}
    int getErrorMessageLen(int* length) override {
        *length = static_cast<int>(text_.size());
        return 0;
    }
    int getErrorMessage(char* buffer) override {
        text_.copy(buffer, text_.size());
        buffer[text_.size()] = '\0';
        return 0;
    }

private:
    std::string text_;
};

TEST(DriverErrorTextTest, CombinesTheCodesTextWithTheDriversMessage) {
    MessageSource server("lock conflict");
    MessageSource silent("");
    EXPECT_EQ(DriverErrorText::build(0x0013, &server, "old"),
              "Driver Error: [0x0013]: Local Transaction already active\r\n"
              "SQL Server Error: lock conflict");
    EXPECT_EQ(DriverErrorText::build(0x000B, &silent, ""),
              "Driver Error: Driver Error [0x000B]: Parameter Not Set");
    EXPECT_EQ(DriverErrorText::build(0x0065, &server, ""), "SQL Server Error: lock conflict");
    EXPECT_EQ(DriverErrorText::build(0x0012, nullptr, "kept"), "kept");
    EXPECT_EQ(DriverErrorText::build(65535, &silent, ""),
              "Driver Error: Unknown Error Code '65535'");
}

} // namespace
} // namespace db
