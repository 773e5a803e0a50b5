// SQLConnection over the real driver library and the embedded engine.

#include "db/busy_cursor.h"
#include "db/database_error.h"
#include "tests/program_connection.h"

#include <gtest/gtest.h>

namespace db::test {
namespace {

class SQLConnectionTest : public ::testing::Test {
protected:
    SQLConnectionTest()
        : database_(::testing::UnitTest::GetInstance()->current_test_info()->name(),
                    {"create table ajuste (ajci_id integer not null, porc numeric(15,4))",
                     "create table noise (n integer)"}),
          connection_(programConnection(database_.path())) {}

    std::string errorOf(const std::function<void()>& action) {
        try {
            action();
        } catch (const DatabaseError& e) {
            return e.what();
        }
        return "<no error>";
    }

    TestDatabase database_;
    std::unique_ptr<SQLConnection> connection_;
};

TEST_F(SQLConnectionTest, ConnectsWithTheProgramsStoredSettings) {
    connection_->setConnected(true);
    ASSERT_TRUE(connection_->Connected());
    EXPECT_EQ(connection_->state(), ConnectionState::Open);
    EXPECT_EQ(connection_->quoteChar(), "\"");
    EXPECT_TRUE(connection_->transactionsSupported());
    EXPECT_EQ(connection_->isolationLevel(), IsolationLevel::kReadCommitted);
    EXPECT_EQ(connection_->statementLimit(), 0);

    ISQLConnection* session = connection_->serverConnection();
    connection_->setConnected(true);
    EXPECT_EQ(connection_->serverConnection(), session) << "connecting twice does nothing";

    connection_->setConnected(false);
    EXPECT_FALSE(connection_->Connected());
    EXPECT_EQ(connection_->state(), ConnectionState::Closed);
    connection_->setConnected(false);
    connection_->setConnected(true);
    EXPECT_TRUE(connection_->Connected());
}

TEST_F(SQLConnectionTest, MissingSettingsFailBeforeAnythingIsLoaded) {
    struct Case {
        std::function<void(SQLConnection&)> change;
        std::string text;
    };
    const std::vector<Case> cases{
        {[](SQLConnection& c) { c.DriverName.clear(); }, "Missing DriverName property"},
        {[](SQLConnection& c) { c.LibraryName = "  "; },
         "Pelmora: DLL/Shared Library Name not Set"},
        {[](SQLConnection& c) { c.VendorLib.clear(); }, "Pelmora: DLL/Shared Library Name not Set"},
        {[](SQLConnection& c) { c.Params.setValue("database", " "); }, "Missing Database property"},
        {[](SQLConnection& c) {
             c.ConnectionName.clear();
             c.Params.setValue("Database", "");
         },
         "Connection name missing"},
        {[](SQLConnection& c) { c.LibraryName = "libnosuchdriver.so"; },
         "Unable to Load libnosuchdriver.so"},
        {[](SQLConnection& c) { c.GetDriverFunc = "getSQLDriverNONE"; },
         "Unable to Find Procedure getSQLDriverNONE"},
        {[](SQLConnection& c) { c.VendorLib = "fbclient.dll"; }, "Unable to Load fbclient.dll"},
        {[](SQLConnection& c) { c.Params.setValue("SQLDialect", "tres"); },
         "'tres' is not a valid integer value"},
    };
    for (const Case& test : cases) {
        SCOPED_TRACE(test.text);
        auto c = programConnection(database_.path());
        test.change(*c);
        EXPECT_EQ(errorOf([&] { c->setConnected(true); }), test.text);
        EXPECT_FALSE(c->Connected());
        EXPECT_EQ(c->state(), ConnectionState::Closed);
    }
}

TEST_F(SQLConnectionTest, AFailedOpenLeavesTheParametersForTheNextAttempt) {
    connection_->Params.setValue("Database", database_.path() + ".missing");
    const std::string text = errorOf([&] { connection_->setConnected(true); });
    EXPECT_EQ(text.rfind("Driver Error: [0x0015]: Connection failed\r\nSQL Server Error: ", 0), 0u)
        << text;
    EXPECT_FALSE(connection_->Connected());
    EXPECT_EQ(connection_->Params.value("Database"), database_.path() + ".missing");
    connection_->Params.setValue("Database", database_.path());
    connection_->setConnected(true);
    EXPECT_TRUE(connection_->Connected());
}

TEST_F(SQLConnectionTest, IsolationComesFromTheDriverNamedParameter) {
    const std::vector<std::pair<std::string, int>> cases{
        {"ReadCommited", 0},    {"REPEATABLEREAD", 1}, {"repeatableRead", 1},
        {" RepeatableRead", 0}, {"DirtyRead", 2},      {"Snapshot", 0}};
    for (const auto& [value, level] : cases) {
        SCOPED_TRACE(value);
        connection_->setConnected(false);
        connection_->Params.setValue("Firebird TransIsolation", value);
        connection_->setConnected(true);
        EXPECT_EQ(connection_->isolationLevel(), level);
    }
}

TEST_F(SQLConnectionTest, ExecuteStatementReplacesMarkersAndCountsRows) {
    SQLParams params{{"ID", FieldType::Integer, ParamDirection::Unknown, std::int64_t{0}},
                     {"PORC", FieldType::FMTBcd, ParamDirection::In, *Bcd::fromString("0.8")}};
    EXPECT_EQ(connection_->executeStatement(
                  "insert into ajuste (ajci_id, porc) values (:ID, :PORC)", params),
              1);
    EXPECT_TRUE(connection_->Connected()) << "executing connects first";
    EXPECT_EQ(connection_->executeStatement(
                  "insert into ajuste (ajci_id, porc) values (?, ?)",
                  {{"P1", FieldType::Integer, ParamDirection::In, std::int64_t{0}},
                   {"P2", FieldType::BCD, ParamDirection::In, SQLValue{}}}),
              1);
    EXPECT_EQ(connection_->executeStatement("update ajuste set porc = 16 where ajci_id = 0"), 2);
    EXPECT_EQ(connection_->state(), ConnectionState::Open);
    // Outside a transaction the work is committed at once.
    EXPECT_EQ(database_.scalar("select sum(porc) from ajuste"), "32.0000");

    const std::string text = errorOf([&] { connection_->executeStatement("delete form ajuste"); });
    EXPECT_EQ(text.rfind("SQL Server Error: Dynamic SQL Error", 0), 0u) << text;
    EXPECT_EQ(connection_->lastErrorText(), text);
    EXPECT_EQ(connection_->state(), ConnectionState::Open);

    EXPECT_EQ(errorOf([&] {
                  connection_->executeStatement(
                      "delete from ajuste where ajci_id = :X",
                      {{"X", FieldType::Unknown, ParamDirection::In, SQLValue{}}});
              }),
              "No value for parameter 'X'");
}

TEST_F(SQLConnectionTest, TransactionsCommitRollBackAndGuardTheirOrder) {
    const TransactionDesc desc{1, 0, connection_->isolationLevel(), 0};
    EXPECT_EQ(errorOf([&] { connection_->commit(desc); }), "<no error>")
        << "closed: transaction support is not known yet, so nothing happens";
    connection_->startTransaction(desc);
    EXPECT_TRUE(connection_->Connected());
    EXPECT_TRUE(connection_->inTransaction());
    EXPECT_EQ(errorOf([&] { connection_->startTransaction(desc); }),
              "Pelmora: A transaction is already active");
    connection_->executeStatement("insert into noise values (1)");
    connection_->rollback(desc);
    EXPECT_FALSE(connection_->inTransaction());
    EXPECT_EQ(database_.scalar("select count(*) from noise"), "0");

    connection_->startTransaction(desc);
    connection_->executeStatement("insert into noise values (2)");
    EXPECT_EQ(database_.scalar("select count(*) from noise"), "0");
    connection_->commit(desc);
    EXPECT_EQ(database_.scalar("select count(*) from noise"), "1");
    EXPECT_EQ(errorOf([&] { connection_->commit(desc); }),
              "Pelmora: There is no active transaction");
    EXPECT_EQ(errorOf([&] { connection_->rollback(desc); }),
              "Pelmora: There is no active transaction");

    // Closing with a transaction open neither commits nor keeps it.
    connection_->startTransaction(desc);
    connection_->executeStatement("insert into noise values (3)");
    connection_->setConnected(false);
    EXPECT_EQ(connection_->transactionCount(), 0);
    EXPECT_EQ(database_.scalar("select count(*) from noise"), "1");
}

TEST_F(SQLConnectionTest, QuotedNamesAndBusyCursorFollowTheDriver) {
    std::vector<bool> cursor;
    BusyCursor::setHandler([&](bool busy) { cursor.push_back(busy); });
    connection_->setConnected(true);
    EXPECT_EQ(connection_->quotedObjectName("punto_venta"), "\"PUNTO_VENTA\"");
    connection_->executeStatement("insert into noise values (1)");
    BusyCursor::setHandler({});
    EXPECT_EQ(cursor, (std::vector<bool>{true, false, true, false, true, false}));
}

} // namespace
} // namespace db::test
