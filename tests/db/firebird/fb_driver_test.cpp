// The Firebird driver library through its interface, on the embedded engine.

#include "tests/db/firebird/driver_fixture.h"

#include <cstring>
#include <utility>
#include <vector>

namespace db::test {
namespace {

class FirebirdDriverTest : public ::testing::Test {
protected:
    FirebirdDriverTest()
        : database_(::testing::UnitTest::GetInstance()->current_test_info()->name(),
                    {"create table items (id integer not null primary key, code char(3),"
                     " name varchar(20), small smallint, big bigint, porc numeric(15,4),"
                     " narrow numeric(14,4), fine numeric(9,5), dia date, hora time,"
                     " momento timestamp, ratio double precision, note blob sub_type text,"
                     " flag boolean)",
                     "create table log (n integer)",
                     "create procedure fill (howmany integer) returns (n integer) as"
                     " begin n = 0; while (n < howmany) do begin n = n + 1;"
                     " insert into log values (:n); suspend; end end",
                     "create procedure double_it (idcnt integer, label varchar(10))"
                     " returns (twice integer, echoed varchar(10)) as"
                     " begin twice = idcnt * 2; echoed = label; end"}),
          driver_(database_.path()) {}

    std::string scalar(const std::string& sql) { return database_.scalar(sql); }

    TestDatabase database_;
    DriverFixture driver_;
};

template <typename T>
int setValue(ISQLCommand& c, int position, int type, const T& value, int subType = 0) {
    return c.setParameter(position, 0, ParamDirection::In, type, subType, 0, 0,
                          static_cast<int>(sizeof value), &value, false);
}

int setText(ISQLCommand& c, int position, const std::string& text) {
    return c.setParameter(position, 0, ParamDirection::In, DriverType::kString, 0,
                          static_cast<int>(text.size()), 0, static_cast<int>(text.size()) + 1,
                          text.c_str(), false);
}

TEST_F(FirebirdDriverTest, ValuesRoundTripThroughParametersAndCursor) {
    auto insert = driver_.prepared(
        "insert into items (id, code, name, small, big, porc, narrow, fine, dia, hora, momento,"
        " ratio, note, flag) values (?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?)",
        14);
    ASSERT_EQ(setValue(*insert, 1, DriverType::kInt32, std::int32_t{7}), 0);
    ASSERT_EQ(setText(*insert, 2, "ñu"), 0);
    ASSERT_EQ(setText(*insert, 3, "Caja 'uno'"), 0);
    ASSERT_EQ(setValue(*insert, 4, DriverType::kInt16, std::int16_t{-12}), 0);
    ASSERT_EQ(setValue(*insert, 5, DriverType::kInt64, std::int64_t{9000000000}), 0);
    ASSERT_EQ(setValue(*insert, 6, DriverType::kBcd, *Bcd::fromString("-0.8")), 0);
    ASSERT_EQ(setValue(*insert, 7, DriverType::kBcd, *Bcd::fromString("1234567890.1234")), 0);
    ASSERT_EQ(setValue(*insert, 8, DriverType::kBcd, *Bcd::fromString("0.00001")), 0);
    ASSERT_EQ(setValue(*insert, 9, DriverType::kDate, SQLDate{2024, 2, 29}), 0);
    ASSERT_EQ(setValue(*insert, 10, DriverType::kTime, SQLTime{23, 59, 58, 1234}), 0);
    ASSERT_EQ(
        setValue(*insert, 11, DriverType::kSQLTimeStamp, SQLTimeStamp{1999, 12, 31, 1, 2, 3, 5000}),
        0);
    ASSERT_EQ(setValue(*insert, 12, DriverType::kFloat, 2.5), 0);
    const std::string note(70000, 'x');
    ASSERT_EQ(insert->setParameter(13, 0, ParamDirection::In, DriverType::kBlob,
                                   DriverSubType::kMemo, 0, 0, static_cast<int>(note.size()),
                                   note.data(), false),
              0);
    ASSERT_EQ(setValue(*insert, 14, DriverType::kBoolean, std::int16_t{1}), 0);
    ISQLCursor* none = nullptr;
    ASSERT_EQ(insert->execute(&none), 0) << DriverFixture::message(insert.get());
    EXPECT_EQ(none, nullptr);
    std::int64_t rows = 0;
    insert->getRowsAffected(&rows);
    EXPECT_EQ(rows, 1);

    auto select = driver_.prepared("select * from items");
    auto cursor = driver_.open(*select);
    ASSERT_NE(cursor, nullptr);
    ASSERT_EQ(cursor->next(), 0);
    bool blank = true;
    std::int32_t id = 0;
    EXPECT_EQ(cursor->getLong(1, &id, &blank), 0);
    EXPECT_EQ(id, 7);
    char text[100];
    EXPECT_EQ(cursor->getString(2, text, sizeof text, &blank), 0);
    EXPECT_STREQ(text, "ñu ") << "CHAR keeps its padding unless Trim Char is set";
    EXPECT_EQ(cursor->getString(3, text, sizeof text, &blank), 0);
    EXPECT_STREQ(text, "Caja 'uno'");
    EXPECT_EQ(cursor->getString(3, text, 5, &blank), DriverResult::kInvalidLength);
    std::int16_t small = 0;
    EXPECT_EQ(cursor->getShort(4, &small, &blank), 0);
    EXPECT_EQ(small, -12);
    std::int64_t big = 0;
    EXPECT_EQ(cursor->getInt64(5, &big, &blank), 0);
    EXPECT_EQ(big, 9000000000);
    Bcd bcd;
    EXPECT_EQ(cursor->getBcd(6, &bcd, &blank), 0);
    EXPECT_EQ(bcd.toString(), "-0.8000");
    EXPECT_EQ(cursor->getBcd(7, &bcd, &blank), 0);
    EXPECT_EQ(bcd.toString(), "1234567890.1234");
    EXPECT_EQ(cursor->getBcd(8, &bcd, &blank), 0);
    EXPECT_EQ(bcd.toString(), "0.00001");
    SQLDate day;
    EXPECT_EQ(cursor->getDate(9, &day, &blank), 0);
    EXPECT_EQ(day, (SQLDate{2024, 2, 29}));
    SQLTime at;
    EXPECT_EQ(cursor->getTime(10, &at, &blank), 0);
    EXPECT_EQ(at, (SQLTime{23, 59, 58, 1234}));
    SQLTimeStamp stamp;
    EXPECT_EQ(cursor->getTimeStamp(11, &stamp, &blank), 0);
    EXPECT_EQ(stamp, (SQLTimeStamp{1999, 12, 31, 1, 2, 3, 5000}));
    double ratio = 0;
    EXPECT_EQ(cursor->getDouble(12, &ratio, &blank), 0);
    EXPECT_EQ(ratio, 2.5);
    std::uint32_t size = 0;
    EXPECT_EQ(cursor->getBlobSize(13, &size, &blank), 0);
    ASSERT_EQ(size, note.size());
    std::string read(size, '\0');
    EXPECT_EQ(cursor->getBlob(13, read.data(), size, &blank), 0);
    EXPECT_EQ(read, note);
    std::int16_t flag = 0;
    EXPECT_EQ(cursor->getShort(14, &flag, &blank), 0);
    EXPECT_EQ(flag, 1);
    EXPECT_FALSE(blank);
    EXPECT_EQ(cursor->getLong(3, &id, &blank), DriverResult::kInvalidFieldType);
    EXPECT_EQ(cursor->getLong(99, &id, &blank), DriverResult::kOutOfRange);
    EXPECT_EQ(cursor->next(), DriverResult::kEndOfData);
    EXPECT_EQ(cursor->next(), DriverResult::kEndOfData);
}

// One prepared statement run again and again, its values changing type,
// length, scale and nullness from run to run, and keeping them.
TEST_F(FirebirdDriverTest, AStatementRunsAgainWithValuesOfOtherTypesAndLengths) {
    auto insert = driver_.prepared("insert into items (id, name, porc) values (?, ?, ?)", 3);
    const auto run = [&](int id) {
        ISQLCursor* none = nullptr;
        ASSERT_EQ(setValue(*insert, 1, DriverType::kInt32, std::int32_t{id}), 0);
        ASSERT_EQ(insert->execute(&none), 0) << DriverFixture::message(insert.get());
    };
    setText(*insert, 2, "a");
    setValue(*insert, 3, DriverType::kBcd, *Bcd::fromString("1.5"));
    run(1);
    setText(*insert, 2, "a longer name");
    setValue(*insert, 3, DriverType::kBcd, *Bcd::fromString("-2.25"));
    run(2);
    insert->setParameter(2, 0, ParamDirection::In, DriverType::kString, 0, 0, 0, 0, nullptr, true);
    setValue(*insert, 3, DriverType::kInt64, std::int64_t{3});
    run(3);
    setText(*insert, 2, "b");
    setValue(*insert, 3, DriverType::kBcd, *Bcd::fromString("4.0"));
    run(4);
    setText(*insert, 2, "c");
    setValue(*insert, 3, DriverType::kBcd, *Bcd::fromString("5.5"));
    run(5);
    insert->setParameter(3, 0, ParamDirection::In, DriverType::kBcd, 0, 0, 0, 0, nullptr, true);
    run(6);

    auto select = driver_.prepared("select id, name, porc from items order by id");
    auto cursor = driver_.open(*select);
    ASSERT_NE(cursor, nullptr);
    const std::vector<std::pair<const char*, const char*>> expected = {
        {"a", "1.5000"},     {"a longer name", "-2.2500"},
        {nullptr, "3.0000"}, {"b", "4.0000"},
        {"c", "5.5000"},     {"c", nullptr}};
    for (std::size_t i = 0; i < expected.size(); ++i) {
        SCOPED_TRACE(i);
        ASSERT_EQ(cursor->next(), 0);
        bool blank = false;
        char text[100];
        EXPECT_EQ(cursor->getString(2, text, sizeof text, &blank), 0);
        EXPECT_EQ(blank, expected[i].first == nullptr);
        if (!blank) {
            EXPECT_STREQ(text, expected[i].first);
        }
        Bcd porc;
        EXPECT_EQ(cursor->getBcd(3, &porc, &blank), 0);
        EXPECT_EQ(blank, expected[i].second == nullptr);
        if (!blank) {
            EXPECT_EQ(porc.toString(), expected[i].second);
        }
    }
    EXPECT_EQ(cursor->next(), DriverResult::kEndOfData);
}

// A text blob written again on each run, each run in a transaction of its
// own; then the same command prepared with another text and other inputs.
TEST_F(FirebirdDriverTest, BlobsAreWrittenForEachRunAndAPrepareStartsAfresh) {
    auto insert = driver_.prepared("insert into items (id, note) values (?, ?)", 2);
    const std::vector<std::string> notes = {std::string(40000, 'a'), "short", std::string(9, 'c')};
    for (std::size_t i = 0; i < notes.size(); ++i) {
        ASSERT_EQ(setValue(*insert, 1, DriverType::kInt32, static_cast<std::int32_t>(i + 1)), 0);
        ASSERT_EQ(insert->setParameter(2, 0, ParamDirection::In, DriverType::kBlob,
                                       DriverSubType::kMemo, 0, 0,
                                       static_cast<int>(notes[i].size()), notes[i].data(), false),
                  0);
        ISQLCursor* none = nullptr;
        ASSERT_EQ(insert->execute(&none), 0) << DriverFixture::message(insert.get());
    }
    for (std::size_t i = 0; i < notes.size(); ++i) {
        EXPECT_EQ(scalar("select char_length(note) from items where id = " + std::to_string(i + 1)),
                  std::to_string(notes[i].size()));
    }

    ASSERT_EQ(insert->prepare("update items set name = ? where id = ?", 2), 0)
        << DriverFixture::message(insert.get());
    ASSERT_EQ(setText(*insert, 1, "renamed"), 0);
    ASSERT_EQ(setValue(*insert, 2, DriverType::kInt32, std::int32_t{2}), 0);
    ISQLCursor* none = nullptr;
    ASSERT_EQ(insert->execute(&none), 0) << DriverFixture::message(insert.get());
    EXPECT_EQ(scalar("select name from items where id = 2"), "renamed");
    EXPECT_EQ(scalar("select char_length(note) from items where id = 2"), "5");
}

TEST_F(FirebirdDriverTest, ColumnsDescribeTypesPrecisionAndNullability) {
    auto select = driver_.prepared("select id, code, name, porc, narrow, fine, small, dia,"
                                   " max(id) as \"MAX\", max(small) as \"MAX\" from items"
                                   " group by id, code, name, porc, narrow, fine, small, dia");
    auto cursor = driver_.open(*select);
    ASSERT_NE(cursor, nullptr);
    struct Expected {
        const char* name;
        int type, subType, precision, scale;
        bool nullable;
    };
    const Expected expected[] = {
        {"ID", DriverType::kInt32, 0, 0, 0, false},
        {"CODE", DriverType::kString, DriverSubType::kFixed, 3, 0, true},
        {"NAME", DriverType::kString, 0, 20, 0, true},
        {"PORC", DriverType::kBcd, 0, 15, 4, true},
        {"NARROW", DriverType::kBcd, 0, 14, 4, true},
        {"FINE", DriverType::kBcd, 0, 9, 5, true},
        {"SMALL", DriverType::kInt16, 0, 0, 0, true},
        {"DIA", DriverType::kDate, 0, 0, 0, true},
        {"MAX", DriverType::kInt32, 0, 0, 0, true},
        {"MAX", DriverType::kInt16, 0, 0, 0, true},
    };
    int count = 0;
    cursor->getColumnCount(&count);
    ASSERT_EQ(count, 10);
    for (int i = 0; i < count; ++i) {
        SCOPED_TRACE(expected[i].name);
        const char* name = nullptr;
        int type = -1, subType = -1, precision = -1, scale = -1;
        bool nullable = false;
        cursor->getColumnName(i + 1, &name);
        cursor->getColumnType(i + 1, &type, &subType);
        cursor->getColumnPrecision(i + 1, &precision);
        cursor->getColumnScale(i + 1, &scale);
        cursor->isNullable(i + 1, &nullable);
        EXPECT_STREQ(name, expected[i].name);
        EXPECT_EQ(type, expected[i].type);
        EXPECT_EQ(subType, expected[i].subType);
        if (expected[i].type == DriverType::kString || expected[i].type == DriverType::kBcd) {
            EXPECT_EQ(precision, expected[i].precision);
        }
        EXPECT_EQ(scale, expected[i].scale);
        EXPECT_EQ(nullable, expected[i].nullable);
    }
    bool readOnly = false;
    cursor->isReadOnly(9, &readOnly);
    EXPECT_TRUE(readOnly);
    cursor->isReadOnly(1, &readOnly);
    EXPECT_FALSE(readOnly);
}

TEST_F(FirebirdDriverTest, StatementsOutsideATransactionCommitOnTheirOwn) {
    driver_.run("insert into log values (1)");
    EXPECT_EQ(scalar("select count(*) from log"), "1");

    // A selectable procedure that writes: its work is kept once the rows are read.
    auto fill = driver_.prepared("select n from fill(3)");
    auto cursor = driver_.open(*fill);
    int rows = 0;
    while (cursor->next() == 0) {
        ++rows;
    }
    EXPECT_EQ(rows, 3);
    EXPECT_EQ(scalar("select count(*) from log"), "4");

    // ... and also when the cursor is dropped before its end.
    auto again = driver_.open(*fill);
    ASSERT_EQ(again->next(), 0);
    again.reset();
    EXPECT_EQ(scalar("select count(*) from log"), "5");
}

TEST_F(FirebirdDriverTest, ExplicitTransactionsCommitAndRollBack) {
    ISQLConnection& c = driver_.connection();
    TransactionDesc desc;
    desc.transactionId = 1;
    ASSERT_EQ(c.beginTransaction(desc), 0);
    EXPECT_EQ(c.beginTransaction(desc), DriverResult::kDuplicateTransactionId);
    TransactionDesc other = desc;
    other.transactionId = 2;
    EXPECT_EQ(c.beginTransaction(other), DriverResult::kLocalTransactionActive);
    driver_.run("insert into log values (1)");
    EXPECT_EQ(scalar("select count(*) from log"), "0");
    ASSERT_EQ(c.rollback(desc), 0);
    EXPECT_EQ(scalar("select count(*) from log"), "0");

    ASSERT_EQ(c.beginTransaction(desc), 0);
    driver_.run("insert into log values (2)");
    driver_.run("insert into log values (3)");
    ASSERT_EQ(c.commit(desc), 0);
    EXPECT_EQ(scalar("select sum(n) from log"), "5");
    EXPECT_EQ(c.commit(desc), DriverResult::kInvalidTransactionId);
}

TEST_F(FirebirdDriverTest, FailuresGiveACodeAndTheServersMessage) {
    ISQLCommand* command = nullptr;
    ASSERT_EQ(driver_.connection().getSQLCommand(&command), 0);
    std::unique_ptr<ISQLCommand> owned(command);
    EXPECT_EQ(command->prepare("selec * from items", 0), DriverResult::kSqlError);
    EXPECT_NE(DriverFixture::message(command).find("Token unknown"), std::string::npos);
    ISQLCursor* cursor = nullptr;
    EXPECT_EQ(command->execute(&cursor), DriverResult::kInvalidHandle);

    auto insert = driver_.prepared("insert into log values (?)", 1);
    EXPECT_EQ(insert->execute(&cursor), DriverResult::kParameterNotSet);

    auto duplicate = driver_.prepared("insert into items (id) values (1)");
    ASSERT_EQ(duplicate->execute(&cursor), 0);
    EXPECT_EQ(duplicate->execute(&cursor), DriverResult::kSqlError);
    EXPECT_NE(DriverFixture::message(duplicate.get()).find("PRIMARY"), std::string::npos);
}

TEST_F(FirebirdDriverTest, StoredProcedureRunsWithDescribedParameters) {
    ISQLMetaData* raw = nullptr;
    ASSERT_EQ(driver_.connection().getSQLMetaData(&raw), 0);
    std::unique_ptr<ISQLMetaData> meta(raw);
    ISQLCursor* list = nullptr;
    ASSERT_EQ(meta->getProcedureParams("double_it", &list), 0);
    std::unique_ptr<ISQLCursor> params(list);
    std::vector<std::string> seen;
    while (params->next() == 0) {
        std::int32_t position = 0, direction = 0, type = 0, length = 0;
        char name[64];
        bool blank = false;
        params->getLong(1, &position, &blank);
        params->getLong(2, &direction, &blank);
        params->getLong(3, &type, &blank);
        params->getLong(7, &length, &blank);
        params->getString(8, name, sizeof name, &blank);
        seen.push_back(std::to_string(position) + " " + name + " " + std::to_string(direction) +
                       " " + std::to_string(type) + " " + std::to_string(length));
    }
    EXPECT_EQ(seen, (std::vector<std::string>{"1 IDCNT 1 6 4", "2 LABEL 1 1 10", "3 TWICE 2 6 4",
                                              "4 ECHOED 2 1 10"}));

    ISQLCommand* command = nullptr;
    ASSERT_EQ(driver_.connection().getSQLCommand(&command), 0);
    std::unique_ptr<ISQLCommand> call(command);
    ASSERT_EQ(call->SetOption(CommandOption::StoredProc, 1), 0);
    ASSERT_EQ(call->prepare("\"DOUBLE_IT\"", 4), 0) << DriverFixture::message(command);
    ASSERT_EQ(setValue(*call, 1, DriverType::kInt32, std::int32_t{21}), 0);
    ASSERT_EQ(setText(*call, 2, "hola"), 0);
    call->setParameter(3, 0, ParamDirection::Out, DriverType::kInt32, 0, 0, 0, 4, nullptr, true);
    call->setParameter(4, 0, ParamDirection::Out, DriverType::kString, 0, 10, 0, 11, nullptr, true);
    ISQLCursor* cursor = nullptr;
    ASSERT_EQ(call->execute(&cursor), 0) << DriverFixture::message(command);
    EXPECT_EQ(cursor, nullptr);
    std::int32_t twice = 0;
    bool isNull = true;
    ASSERT_EQ(call->getParameter(3, 0, &twice, sizeof twice, &isNull), 0);
    EXPECT_EQ(twice, 42);
    char echoed[11];
    ASSERT_EQ(call->getParameter(4, 0, echoed, sizeof echoed, &isNull), 0);
    EXPECT_STREQ(echoed, "hola");
}

TEST_F(FirebirdDriverTest, QuotesObjectNamesForDialectThree) {
    ISQLConnection& c = driver_.connection();
    const auto quoted = [&](const std::string& name) {
        c.SetOption(ConnectionOption::QualifiedName, name);
        char buffer[256];
        int length = 0;
        EXPECT_EQ(c.GetOption(ConnectionOption::QuotedObjectName, buffer, sizeof buffer, &length),
                  0);
        return std::string(buffer);
    };
    EXPECT_EQ(quoted("PUNTO_VENTA"), "\"PUNTO_VENTA\"");
    EXPECT_EQ(quoted("punto_venta"), "\"PUNTO_VENTA\"");
    EXPECT_EQ(quoted("\"Mixed Case\""), "\"Mixed Case\"");
    EXPECT_EQ(quoted("odd\"name"), "\"odd\"\"name\"");
    driver_.run("create table \"ORDER\" (\"Value\" integer)");
    auto select = driver_.prepared(" select * from " + quoted("order"));
    EXPECT_NE(driver_.open(*select), nullptr);
}

TEST_F(FirebirdDriverTest, ObjectsLeftOverAfterDisconnectFailSafely) {
    driver_.run("insert into log values (1)");
    auto select = driver_.prepared("select n from log");
    auto cursor = driver_.open(*select);
    ASSERT_EQ(driver_.connection().disconnect(), 0);
    EXPECT_NE(cursor->next(), 0);
    ISQLCursor* again = nullptr;
    EXPECT_EQ(select->execute(&again), DriverResult::kInvalidHandle);
    EXPECT_EQ(select->prepare("select 1 from rdb$database", 0), DriverResult::kInvalidHandle);
}

} // namespace
} // namespace db::test
