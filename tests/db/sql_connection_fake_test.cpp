// SQLConnection over a fake driver library, for the driver answers a real
// server cannot be made to give, and for the exact calls the connection makes.

#include "db/database_error.h"
#include "db/sql_connection.h"
#include "platform/shared_library.h"
#include "tests/db/fake_driver/fake_driver_control.h"

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <gtest/gtest.h>
#include <memory>
#include <string>
#include <vector>

namespace db::test {
namespace {

using fake::FakeDriverControl;
using Calls = std::vector<std::string>;

std::string environment(const char* name) {
    const char* value = std::getenv(name);
    return value != nullptr ? value : "";
}

std::string fakeLibrary() {
    return environment("PELMORA_FAKE_DRIVER_LIB");
}

std::string errorOf(const std::function<void()>& action) {
    try {
        action();
    } catch (const DatabaseError& e) {
        return e.what();
    }
    return "<no error>";
}

class FakeDriverTest : public ::testing::Test {
protected:
    FakeDriverTest() {
        if (!library_.load(fakeLibrary())) {
            throw std::runtime_error(library_.lastError());
        }
        auto controlOf =
            reinterpret_cast<fake::FakeDriverControlFunction>(library_.symbol("fakeDriverControl"));
        control_ = controlOf();
        *control_ = FakeDriverControl{};
        connection_ = newConnection();
    }

    ~FakeDriverTest() override {
        connection_.reset();
        EXPECT_EQ(control_->liveObjects, 0) << "every driver object is released";
    }

    // Set up as the program's window sets up its connection.
    static std::unique_ptr<SQLConnection> newConnection() {
        auto c = std::make_unique<SQLConnection>("Pelmora");
        c->DriverName = "Firebird";
        c->GetDriverFunc = "getSQLDriverFIREBIRD";
        c->LibraryName = fakeLibrary();
        c->VendorLib = "libfbclient.so.2";
        c->Params = ConnectionParams{
            {"DriverName", "Firebird"},
            {"BlobSize", "-1"},
            {"CommitRetain", "False"},
            {"Database", "/data/pelmora.fdb"},
            {"ErrorResourceFile", ""},
            {"LocaleCode", "0000"},
            {"Password", "secret"},
            {"RoleName", "RoleName"},
            {"ServerCharSet", ""},
            {"SQLDialect", "3"},
            {"Firebird TransIsolation", "ReadCommited"},
            {"User_Name", "SYSDBA"},
            {"WaitOnLocks", "True"},
        };
        return c;
    }

    // The calls made since the last look.
    Calls takeCalls() { return std::exchange(control_->calls, {}); }

    platform::SharedLibrary library_;
    FakeDriverControl* control_ = nullptr;
    std::unique_ptr<SQLConnection> connection_;
};

const Calls OpenCalls{
    "entry('libfbclient.so.2', '')",
    "getSQLConnection",
    "SetOption(RoleName, 'RoleName')",
    "SetOption(WaitOnLocks, 1)",
    "SetOption(CommitRetain, 0)",
    "SetOption(TransIsolation, 0)",
    "SetOption(SqlDialect, 3)",
    "connect('/data/pelmora.fdb', 'SYSDBA', 'secret')",
    "GetOption(MaxActiveCommands)",
    "getSQLMetaData",
    "MetaData.SetOption(SchemaName, 'SYSDBA')",
    "MetaData.GetOption(ObjectQuoteChar)",
    "SetOption(BlobSize, -1)",
    "MetaData.GetOption(SupportsTransaction)",
    "MetaData.GetOption(SupportsTransactions)",
};

TEST_F(FakeDriverTest, OpenAndCloseCallTheDriverInTheirOrder) {
    connection_->setConnected(true);
    EXPECT_EQ(takeCalls(), OpenCalls);
    EXPECT_EQ(connection_->state(), ConnectionState::Open);
    EXPECT_EQ(connection_->quoteChar(), "\"");

    connection_->setConnected(true);
    EXPECT_EQ(takeCalls(), Calls{}) << "writing the current value does nothing";

    connection_->setConnected(false);
    EXPECT_EQ(takeCalls(), (Calls{"~MetaData", "disconnect", "~Connection", "~Driver"}));
    EXPECT_EQ(control_->liveObjects, 0);
    connection_->setConnected(false);
    EXPECT_EQ(takeCalls(), Calls{});

    // The library stays loaded; the next open starts again from the entry function.
    connection_->setConnected(true);
    EXPECT_EQ(takeCalls(), OpenCalls);
}

TEST_F(FakeDriverTest, ParametersAreHandedOverInTheOrderOfTheTable) {
    struct Case {
        ConnectionParams extra;
        Calls options;
    };
    const std::vector<Case> cases{
        {{{"WaitOnLocks", " true "}}, {"SetOption(WaitOnLocks, 1)"}},
        {{{"WaitOnLocks", "yes"}}, {"SetOption(WaitOnLocks, 0)"}},
        {{{"WaitOnLocks", ""}}, {}},
        {{{"waitonlocks", "False"}, {"WaitOnLocks", "True"}}, {"SetOption(WaitOnLocks, 0)"}},
        {{{"ServerCharSet", ""}}, {}},
        {{{"ServerCharSet", "   "}}, {}},
        {{{"ServerCharSet", " WIN1252 "}}, {"SetOption(ServerCharSet, 'WIN1252')"}},
        {{{"RoleName", "RoleName"}}, {"SetOption(RoleName, 'RoleName')"}},
        {{{"Firebird TransIsolation", "ReadCommited"}}, {"SetOption(TransIsolation, 0)"}},
        {{{"Firebird TransIsolation", "REPEATABLEREAD"}}, {"SetOption(TransIsolation, 1)"}},
        {{{"firebird transisolation", "DirtyRead"}}, {"SetOption(TransIsolation, 2)"}},
        {{{"Firebird TransIsolation", " RepeatableRead"}}, {"SetOption(TransIsolation, 0)"}},
        {{{"Quillmark TransIsolation", "RepeatableRead"}}, {}},
        {{{"SqlDialect", " 1 "}}, {"SetOption(SqlDialect, 1)"}},
        {{{"Connection Timeout", "30"}}, {"SetOption(ConnectionTimeout, 30)"}},
        // Every line at once, listed backwards: the table's order still holds.
        {{{"Connection Timeout", "5"},
          {"Custom String", " a=b "},
          {"Trim Char", "true"},
          {"Multiple Transaction", "FALSE"},
          {"Server Port", " 3051 "},
          {"OS Authentication", "x"},
          {"SqlDialect", "3"},
          {"Firebird TransIsolation", "RepeatableRead"},
          {"ServerCharSet", "UTF8"},
          {"BlockingMode", "True"},
          {"AutoCommit", "True"},
          {"CommitRetain", "False"},
          {"WaitOnLocks", "True"},
          {"RoleName", " R "},
          {"HostName", " server "}},
         {"SetOption(HostName, 'server')", "SetOption(RoleName, 'R')", "SetOption(WaitOnLocks, 1)",
          "SetOption(CommitRetain, 0)", "SetOption(AutoCommit, 1)", "SetOption(BlockingMode, 1)",
          "SetOption(ServerCharSet, 'UTF8')", "SetOption(TransIsolation, 1)",
          "SetOption(SqlDialect, 3)", "SetOption(OsAuthentication, 0)",
          "SetOption(ServerPort, '3051')", "SetOption(MultipleTransactions, 0)",
          "SetOption(TrimChar, 1)", "SetOption(CustomString, 'a=b')",
          "SetOption(ConnectionTimeout, 5)"}},
    };
    for (const Case& test : cases) {
        SCOPED_TRACE(test.extra.lines().front().first + "=" + test.extra.lines().front().second);
        takeCalls();
        auto c = newConnection();
        c->Params = test.extra;
        c->Params.add("Database", "db");
        c->Params.add("User_Name", " ");
        c->Params.add("password", "p");
        c->setConnected(true);
        Calls expected{"entry('libfbclient.so.2', '')", "getSQLConnection"};
        expected.insert(expected.end(), test.options.begin(), test.options.end());
        expected.push_back("connect('db', ' ', 'p')");
        Calls calls = takeCalls();
        calls.resize(std::min(calls.size(), expected.size()));
        EXPECT_EQ(calls, expected);
    }
}

TEST_F(FakeDriverTest, BlobSizeIsMinusOneUnlessTheParameterSaysOtherwise) {
    const std::vector<std::pair<ConnectionParams, std::string>> cases{
        {{}, "SetOption(BlobSize, -1)"},
        {{{"BlobSize", "-1"}}, "SetOption(BlobSize, -1)"},
        {{{"blobsize", " 4096 "}}, "SetOption(BlobSize, 4096)"},
    };
    for (const auto& [params, expected] : cases) {
        takeCalls();
        auto c = newConnection();
        c->Params = params;
        c->Params.add("Database", "db");
        c->setConnected(true);
        const Calls calls = takeCalls();
        EXPECT_EQ(std::count(calls.begin(), calls.end(), expected), 1) << expected;
        EXPECT_EQ(std::count(calls.begin(), calls.end(), "MetaData.SetOption(SchemaName, '')"), 0)
            << "a blank user name sets no schema";
    }
}

TEST_F(FakeDriverTest, SettingsAreCheckedInOrderBeforeAnythingIsCalled) {
    const std::string garbage =
        (std::filesystem::temp_directory_path() / "pelmora-not-a-library.so").string();
    std::ofstream(garbage) << "not a shared library";
    struct Case {
        std::function<void(SQLConnection&)> change;
        std::string text;
        Calls calls;
    };
    const auto noDriverName = [](SQLConnection& c) { c.DriverName.clear(); };
    const auto noLibrary = [](SQLConnection& c) { c.LibraryName = " "; };
    const auto noVendor = [](SQLConnection& c) { c.VendorLib.clear(); };
    const auto noDatabase = [](SQLConnection& c) { c.Params.setValue("Database", "  "); };
    const auto badLibrary = [](SQLConnection& c) { c.LibraryName = "libpelmora-missing.so"; };
    const auto noEntry = [](SQLConnection& c) {
        c.LibraryName = environment("PELMORA_NO_ENTRY_LIB");
    };
    const auto badFunction = [](SQLConnection& c) { c.GetDriverFunc = "getSQLDriverNONE"; };
    const auto all = [](auto... changes) { return [=](SQLConnection& c) { (changes(c), ...); }; };
    const std::vector<Case> cases{
        {all(noDriverName, noLibrary, noVendor, noDatabase), "Missing DriverName property", {}},
        {all(noLibrary, noVendor, noDatabase), "Pelmora: DLL/Shared Library Name not Set", {}},
        {all(noVendor, noDatabase, badLibrary), "Pelmora: DLL/Shared Library Name not Set", {}},
        {all(noDatabase, badLibrary), "Missing Database property", {}},
        {all(noDatabase, [](SQLConnection& c) { c.ConnectionName.clear(); }),
         "Connection name missing",
         {}},
        {all(badLibrary, badFunction), "Unable to Load libpelmora-missing.so", {}},
        {[&](SQLConnection& c) { c.LibraryName = garbage; }, "Unable to Load " + garbage, {}},
        {noEntry, "Unable to Find Procedure getSQLDriverFIREBIRD", {}},
        {badFunction, "Unable to Find Procedure getSQLDriverNONE", {}},
    };
    for (const Case& test : cases) {
        SCOPED_TRACE(test.text);
        takeCalls();
        auto c = newConnection();
        test.change(*c);
        EXPECT_EQ(errorOf([&] { c->setConnected(true); }), test.text);
        EXPECT_EQ(c->state(), ConnectionState::Closed);
        EXPECT_EQ(takeCalls(), test.calls);
    }
    std::filesystem::remove(garbage);

    // Blanks around the library and function names do not matter.
    connection_->LibraryName = " " + fakeLibrary() + " ";
    connection_->GetDriverFunc = "\tgetSQLDriverFIREBIRD ";
    connection_->setConnected(true);
    EXPECT_TRUE(connection_->Connected());
}

TEST_F(FakeDriverTest, AFailingStepEndsClosedWithEverythingReleased) {
    struct Case {
        std::string name;
        std::function<void(FakeDriverControl&)> fail;
        std::string text;
        Calls lastCalls;
    };
    const std::vector<Case> cases{
        {"entry",
         [](FakeDriverControl& f) { f.entryResult = DriverResult::kDriverInitFailed; },
         "Unable to Load libfbclient.so.2",
         {"entry('libfbclient.so.2', '')"}},
        {"getSQLConnection",
         [](FakeDriverControl& f) { f.getConnectionResult = DriverResult::kNoMemory; },
         "Driver Error: [0x0002]: Insufficient Memory for Operation",
         {"getSQLConnection", "~Driver"}},
        {"connect",
         [](FakeDriverControl& f) {
             f.connectResult = DriverResult::kInvalidUserPassword;
             f.connectionMessage = "Your user name and password are not defined.";
         },
         "Driver Error: [0x000C] Invalid Username/Password\r\n"
         "SQL Server Error: Your user name and password are not defined.",
         {"connect('/data/pelmora.fdb', 'SYSDBA', 'secret')", "disconnect", "~Connection",
          "~Driver"}},
        {"getSQLMetaData",
         [](FakeDriverControl& f) {
             f.metaDataResult = DriverResult::kInvalidHandle;
             f.connectionMessage = "no metadata";
             f.metaDataMessage = "not asked";
         },
         "Driver Error: [0x0004]: Invalid Handle\r\nSQL Server Error: no metadata",
         {"getSQLMetaData", "disconnect", "~Connection", "~Driver"}},
    };
    for (const Case& test : cases) {
        SCOPED_TRACE(test.name);
        *control_ = FakeDriverControl{};
        test.fail(*control_);
        auto c = newConnection();
        EXPECT_EQ(errorOf([&] { c->setConnected(true); }), test.text);
        EXPECT_FALSE(c->Connected());
        EXPECT_EQ(c->state(), ConnectionState::Closed);
        EXPECT_EQ(c->serverConnection(), nullptr);
        EXPECT_EQ(control_->liveObjects, 0);
        const Calls calls = takeCalls();
        ASSERT_GE(calls.size(), test.lastCalls.size());
        EXPECT_EQ(
            Calls(calls.end() - static_cast<std::ptrdiff_t>(test.lastCalls.size()), calls.end()),
            test.lastCalls);

        // Once the driver answers again, the same connection opens.
        *control_ = FakeDriverControl{};
        c->setConnected(true);
        EXPECT_TRUE(c->Connected());
        EXPECT_EQ(takeCalls(), OpenCalls);
    }
}

struct ErrorCase {
    int code;
    std::string message;
    std::string text;
};

class DriverErrorTextTest : public FakeDriverTest,
                            public ::testing::WithParamInterface<ErrorCase> {};

TEST_P(DriverErrorTextTest, ConnectFailureGivesTheTextOfCodeAndMessage) {
    control_->connectResult = GetParam().code;
    control_->connectionMessage = GetParam().message;
    EXPECT_EQ(errorOf([&] { connection_->setConnected(true); }), GetParam().text);
    EXPECT_EQ(connection_->lastErrorText(), GetParam().text);
    EXPECT_EQ(connection_->state(), ConnectionState::Closed);
}

std::vector<ErrorCase> errorTableCases() {
    const std::vector<std::pair<int, std::string>> table{
        {0x0001, "[0x0001]: Warning"},
        {0x0002, "[0x0002]: Insufficient Memory for Operation"},
        {0x0003, "[0x0003]: Invalid Field Type"},
        {0x0004, "[0x0004]: Invalid Handle"},
        {0x0005, "[0x0005]: Operation Not Supported"},
        {0x0006, "[0x0006]: Invalid Time"},
        {0x0007, "[0x0007]: Invalid Data Translation"},
        {0x0008, "[0x0008]: Parameter/Column out of Range"},
        {0x0009, "[0x0009]: Invalid Parameter"},
        {0x000A, "[0x000A]: Result set at EOF"},
        {0x000B, "Driver Error [0x000B]: Parameter Not Set"},
        {0x000C, "[0x000C] Invalid Username/Password"},
        {0x000D, "[0x000D]: Invalid Precision"},
        {0x000E, "[0x000E]: Invalid Length"},
        {0x000F, "[0x000F]: Invalid Transaction Isolation Level"},
        {0x0010, "[0x0010]: Invalid Transaction ID"},
        {0x0011, "[0x0011]: Duplicate Transaction ID"},
        {0x0013, "[0x0013]: Local Transaction already active"},
        {0x0014, "[0x0014]: Multiple Transactions not Enabled"},
        {0x0015, "[0x0015]: Connection failed"},
        {0x0016, "[0x0016]: Driver initialization failed"},
        {0x0017, "[0x0017]: Optimistic Locking failed"},
        {0x0018, "[0x0018]: Invalid REF"},
        {0x0019, "[0x0019]: No table found"},
    };
    std::vector<ErrorCase> cases;
    for (const auto& [code, text] : table) {
        cases.push_back({code, "", "Driver Error: " + text});
    }
    return cases;
}

INSTANTIATE_TEST_SUITE_P(ErrorTable, DriverErrorTextTest, ::testing::ValuesIn(errorTableCases()));

INSTANTIATE_TEST_SUITE_P(
    MessagesAndUnknownCodes, DriverErrorTextTest,
    ::testing::Values(
        ErrorCase{0x0015, "unavailable database",
                  "Driver Error: [0x0015]: Connection failed\r\nSQL Server Error: unavailable "
                  "database"},
        ErrorCase{0x0012, "lock conflict", "SQL Server Error: lock conflict"},
        ErrorCase{0x0065, "Dynamic SQL Error", "SQL Server Error: Dynamic SQL Error"},
        ErrorCase{0x0012, "", "Driver Error: Unknown Error Code '18'"},
        ErrorCase{0x001A, "", "Driver Error: Unknown Error Code '26'"},
        ErrorCase{-1, "", "Driver Error: Unknown Error Code '-1'"},
        ErrorCase{0x0064, "", "Driver Error: Unknown Error Code '100'"}));

TEST_F(FakeDriverTest, AMessageIsReadOnlyWhenItsLengthIsReported) {
    control_->connectResult = DriverResult::kConnectionFailed;
    control_->connectionMessage = "unavailable database";
    control_->messageLengthResult = DriverResult::kInvalidHandle;
    EXPECT_EQ(errorOf([&] { connection_->setConnected(true); }),
              "Driver Error: [0x0015]: Connection failed");

    // An unknown code without a message repeats the last error text.
    control_->connectResult = 0x0012;
    EXPECT_EQ(errorOf([&] { connection_->setConnected(true); }),
              "Driver Error: [0x0015]: Connection failed");
}

const TransactionDesc Desc{1, 0, IsolationLevel::kReadCommitted, 0};

TEST_F(FakeDriverTest, NotSupportedAnswersStillBeginAndEndTransactions) {
    control_->beginResult = DriverResult::kNotSupported;
    control_->commitResult = DriverResult::kNotSupported;
    control_->rollbackResult = DriverResult::kNotSupported;
    connection_->setConnected(true);
    takeCalls();

    connection_->startTransaction(Desc);
    EXPECT_TRUE(connection_->inTransaction());
    connection_->commit(Desc);
    EXPECT_FALSE(connection_->inTransaction());
    connection_->startTransaction({1, 0, IsolationLevel::kRepeatableRead, 0});
    connection_->rollback(Desc);
    EXPECT_EQ(connection_->transactionCount(), 0);
    EXPECT_EQ(takeCalls(), (Calls{"beginTransaction(1, 0)", "commit(1, 0)",
                                  "beginTransaction(1, 1)", "rollback(1, 0)"}));
}

TEST_F(FakeDriverTest, WithoutTransactionSupportNothingIsBegun) {
    control_->supportsTransaction = 0;
    connection_->startTransaction(Desc);
    EXPECT_TRUE(connection_->Connected()) << "starting a transaction connects first";
    EXPECT_FALSE(connection_->inTransaction());
    connection_->startTransaction(Desc);
    connection_->commit(Desc);
    connection_->rollback(Desc);
    const Calls calls = takeCalls();
    EXPECT_EQ(calls, OpenCalls) << "no begin, commit or rollback reaches the driver";
}

TEST_F(FakeDriverTest, TransactionsAreGuardedByTheirCount) {
    EXPECT_EQ(errorOf([&] { connection_->commit(Desc); }), "<no error>")
        << "closed: transaction support is not known yet";
    connection_->setConnected(true);
    EXPECT_EQ(errorOf([&] { connection_->commit(Desc); }),
              "Pelmora: There is no active transaction");
    EXPECT_EQ(errorOf([&] { connection_->rollback(Desc); }),
              "Pelmora: There is no active transaction");
    connection_->startTransaction(Desc);
    EXPECT_EQ(errorOf([&] { connection_->startTransaction(Desc); }),
              "Pelmora: A transaction is already active");
    EXPECT_EQ(connection_->transactionCount(), 1);

    // A refusal other than "not supported" leaves the count as it was.
    control_->commitResult = DriverResult::kInvalidTransactionId;
    control_->connectionMessage = "transaction is not active";
    EXPECT_EQ(errorOf([&] { connection_->commit(Desc); }),
              "Driver Error: [0x0010]: Invalid Transaction ID\r\n"
              "SQL Server Error: transaction is not active");
    EXPECT_EQ(connection_->transactionCount(), 1);
    control_->commitResult = 0;
    connection_->commit(Desc);

    control_->beginResult = DriverResult::kLocalTransactionActive;
    control_->connectionMessage.clear();
    EXPECT_EQ(errorOf([&] { connection_->startTransaction(Desc); }),
              "Driver Error: [0x0013]: Local Transaction already active");
    EXPECT_EQ(connection_->transactionCount(), 0);
}

TEST_F(FakeDriverTest, SeveralTransactionsWhenTheDriverAllowsThem) {
    control_->supportsTransactions = 1;
    connection_->startTransaction(Desc);
    connection_->startTransaction({2, 0, IsolationLevel::kReadCommitted, 0});
    EXPECT_EQ(connection_->transactionCount(), 2);
}

TEST_F(FakeDriverTest, ClosingWithATransactionActiveNeitherCommitsNorRollsBack) {
    connection_->startTransaction(Desc);
    takeCalls();
    connection_->setConnected(false);
    EXPECT_EQ(connection_->transactionCount(), 0);
    EXPECT_FALSE(connection_->inTransaction());
    EXPECT_EQ(takeCalls(), (Calls{"~MetaData", "disconnect", "~Connection", "~Driver"}));
}

TEST_F(FakeDriverTest, WithoutKeepConnectionTheLastCommitCloses) {
    connection_->KeepConnection = false;
    connection_->startTransaction(Desc);
    connection_->commit(Desc);
    EXPECT_FALSE(connection_->Connected());
    EXPECT_EQ(connection_->state(), ConnectionState::Closed);
}

TEST_F(FakeDriverTest, ExecuteStatementRunsOneDriverStatement) {
    control_->rowsAffected = 3;
    const SQLParams params{
        {"CIA", FieldType::String, ParamDirection::Unknown, std::string("01")},
        {"ID", FieldType::Integer, ParamDirection::In, SQLValue{}},
    };
    EXPECT_EQ(
        connection_->executeStatement("update t set a = 1 where cia = :CIA and id=:ID", params), 3);
    const Calls calls = takeCalls();
    const Calls statement(calls.begin() + static_cast<std::ptrdiff_t>(OpenCalls.size()),
                          calls.end());
    EXPECT_EQ(statement, (Calls{"getSQLCommand", "Command.SetOption(RowsetSize, 20)",
                                "prepare('update t set a = 1 where cia =  ?  and id= ? ', 2)",
                                "setParameter(1, 0, 1, 1, 0, 2, 0, 3, buffer, 0)",
                                "setParameter(2, 0, 1, 6, 0, 0, 0, 0, none, 1)", "execute",
                                "getRowsAffected", "~Command"}));
    EXPECT_EQ(connection_->state(), ConnectionState::Open);
}

TEST_F(FakeDriverTest, ExecuteStatementErrorsCarryTheFailingObjectsMessage) {
    control_->connectionMessage = "from the connection";
    control_->commandMessage = "from the statement";
    const SQLParams one{{"P1", FieldType::Integer, ParamDirection::In, std::int64_t{7}}};
    struct Case {
        std::function<void(FakeDriverControl&)> fail;
        std::string text;
    };
    const std::vector<Case> cases{
        {[](FakeDriverControl& f) { f.prepareResult = DriverResult::kSqlError; },
         "SQL Server Error: from the statement"},
        {[](FakeDriverControl& f) { f.executeResult = DriverResult::kInvalidParameter; },
         "Driver Error: [0x0009]: Invalid Parameter\r\nSQL Server Error: from the statement"},
        {[](FakeDriverControl& f) { f.setParameterResult = DriverResult::kInvalidFieldType; },
         "Driver Error: [0x0003]: Invalid Field Type\r\nSQL Server Error: from the connection"},
    };
    for (const Case& test : cases) {
        SCOPED_TRACE(test.text);
        control_->prepareResult = control_->executeResult = control_->setParameterResult = 0;
        test.fail(*control_);
        EXPECT_EQ(
            errorOf([&] { connection_->executeStatement("delete from t where id = ?", one); }),
            test.text);
        EXPECT_EQ(connection_->lastErrorText(), test.text);
        EXPECT_EQ(connection_->state(), ConnectionState::Open);
        EXPECT_EQ(control_->calls.back(), "~Command") << "the temporary statement is freed";
    }
}

// Inside a transaction the same text runs again on the statement prepared
// for it; another text, a failure or the end of the transaction frees it.
TEST_F(FakeDriverTest, ATransactionKeepsTheStatementOfARepeatedText) {
    const SQLParams one{{"P1", FieldType::Integer, ParamDirection::In, std::int64_t{7}}};
    const auto count = [](const Calls& calls, const std::string& prefix) {
        return std::count_if(calls.begin(), calls.end(),
                             [&](const std::string& call) { return call.rfind(prefix, 0) == 0; });
    };
    connection_->setConnected(true);
    connection_->startTransaction({1, 0, 0, 0});
    takeCalls();

    for (int i = 0; i < 3; ++i) {
        connection_->executeStatement("delete from t where id = ?", one);
    }
    Calls calls = takeCalls();
    EXPECT_EQ(count(calls, "prepare("), 1);
    EXPECT_EQ(count(calls, "execute"), 3);
    EXPECT_EQ(count(calls, "~Command"), 0);

    connection_->executeStatement("delete from u where id = ?", one);
    calls = takeCalls();
    EXPECT_EQ(count(calls, "prepare("), 1) << "another text is prepared anew";
    EXPECT_EQ(count(calls, "~Command"), 1) << "and the old statement freed";

    control_->executeResult = DriverResult::kInvalidParameter;
    EXPECT_NE(errorOf([&] { connection_->executeStatement("delete from u where id = ?", one); }),
              "<no error>");
    control_->executeResult = 0;
    connection_->executeStatement("delete from u where id = ?", one);
    calls = takeCalls();
    EXPECT_EQ(count(calls, "prepare("), 1) << "a failed statement is not kept";

    for (int i = 0; i < 2; ++i) {
        connection_->executeStatement("delete from v where id = :id", one);
    }
    calls = takeCalls();
    EXPECT_EQ(count(calls, "prepare('delete from v where id =  ? ', 1)"), 1)
        << "named markers are replaced once for the kept statement";
    EXPECT_EQ(count(calls, "execute"), 2);

    // The same text without parameters keeps its markers: it is another
    // statement, and so is the converted one after it.
    connection_->executeStatement("delete from v where id = :id", {});
    connection_->executeStatement("delete from v where id = :id", one);
    calls = takeCalls();
    EXPECT_EQ(count(calls, "prepare('delete from v where id = :id', 0)"), 1);
    EXPECT_EQ(count(calls, "prepare('delete from v where id =  ? ', 1)"), 1);

    connection_->commit({1, 0, 0, 0});
    calls = takeCalls();
    ASSERT_FALSE(calls.empty());
    EXPECT_EQ(calls.front(), "~Command") << "freed before the transaction ends";
    EXPECT_EQ(count(calls, "commit"), 1);

    connection_->executeStatement("delete from u where id = ?", one);
    calls = takeCalls();
    EXPECT_EQ(count(calls, "prepare("), 1);
    EXPECT_EQ(calls.back(), "~Command") << "outside a transaction nothing is kept";
}

} // namespace
} // namespace db::test
