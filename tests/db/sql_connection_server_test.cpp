// SQLConnection against a Firebird server on the loopback interface, started
// by scripts/firebird-test-server.sh. Skipped when its variables are not set.

#include "db/database_error.h"
#include "tests/program_connection.h"

#include <cstdlib>
#include <functional>
#include <gtest/gtest.h>

namespace db::test {
namespace {

std::string env(const char* name) {
    const char* value = std::getenv(name);
    return value != nullptr ? value : "";
}

std::string errorOf(const std::function<void()>& action) {
    try {
        action();
    } catch (const DatabaseError& e) {
        return e.what();
    }
    return "<no error>";
}

class SQLConnectionServerTest : public ::testing::Test {
protected:
    void SetUp() override {
        if (env("PELMORA_FB_SERVER").empty() || env("PELMORA_FB_USER").empty()) {
            GTEST_SKIP() << "no test server: run scripts/firebird-test-server.sh start";
        }
        server_ = {env("PELMORA_FB_SERVER") + ":", env("PELMORA_FB_USER"),
                   env("PELMORA_FB_PASSWORD")};
        database_ = std::make_unique<TestDatabase>(
            std::string("server_") +
                ::testing::UnitTest::GetInstance()->current_test_info()->name(),
            std::vector<std::string>{"create table noise (n integer)"}, server_);
    }

    std::unique_ptr<SQLConnection> connection(const std::string& password) {
        return programConnection(database_->connectString(), server_.user, password);
    }

    static void serverScript(const std::string& action) {
        const std::string command = env("PELMORA_FB_SERVER_SCRIPT") + " " + action + " >/dev/null";
        ASSERT_EQ(std::system(command.c_str()), 0) << command;
    }

    TestServer server_;
    std::unique_ptr<TestDatabase> database_;
};

TEST_F(SQLConnectionServerTest, ConnectsOverTheNetworkAndCommitsStatements) {
    auto c = connection(server_.password);
    c->setConnected(true);
    ASSERT_TRUE(c->Connected());
    EXPECT_EQ(c->executeStatement("insert into noise values (1)"), 1);
    EXPECT_EQ(database_->scalar("select count(*) from noise"), "1");
}

TEST_F(SQLConnectionServerTest, AWrongPasswordGivesTheServersMessageAndCanBeRetried) {
    auto c = connection(server_.password + "-wrong");
    const std::string text = errorOf([&] { c->setConnected(true); });
    EXPECT_EQ(text.rfind("Driver Error: [0x000C] Invalid Username/Password\r\n"
                         "SQL Server Error: Your user name and password are not defined",
                         0),
              0u)
        << text;
    EXPECT_FALSE(c->Connected());
    EXPECT_EQ(c->state(), ConnectionState::Closed);

    c->Params.setValue("password", server_.password);
    c->setConnected(true);
    EXPECT_TRUE(c->Connected());
}

// Failures that end in connect: each is a connection failure with the
// server's (or the client's) own message as the second line, and leaves the
// connection closed and ready for another attempt.
TEST_F(SQLConnectionServerTest, AnUnknownDatabaseFileOrAnUnreachablePortEndsClosed) {
    const std::string missingFile =
        env("PELMORA_FB_SERVER") + ":" + env("PELMORA_TEST_TMP") + "/no/such/pelmora.fdb";
    // Nothing listens on port 9 of the loopback interface.
    const std::string deadPort = "127.0.0.1/9:" + env("PELMORA_TEST_TMP") + "/pelmora.fdb";
    for (const std::string& target : {missingFile, deadPort}) {
        SCOPED_TRACE(target);
        auto c = programConnection(target, server_.user, server_.password);
        const std::string text = errorOf([&] { c->setConnected(true); });
        EXPECT_EQ(text.rfind("Driver Error: [0x0015]: Connection failed\r\nSQL Server Error: ", 0),
                  0u)
            << text;
        EXPECT_GT(text.size(), std::string("Driver Error: [0x0015]: Connection failed\r\n"
                                           "SQL Server Error: ")
                                   .size());
        EXPECT_FALSE(c->Connected());
        EXPECT_EQ(c->state(), ConnectionState::Closed);
        EXPECT_EQ(c->Params.value("Database"), target);
    }
}

TEST_F(SQLConnectionServerTest, AServerThatGoesAwayIsReportedAndTheConnectionRecovers) {
    if (env("PELMORA_FB_SERVER_SCRIPT").empty()) {
        GTEST_SKIP() << "PELMORA_FB_SERVER_SCRIPT not set";
    }
    auto c = connection(server_.password);
    c->setConnected(true);
    serverScript("stop");
    const std::string text = errorOf([&] { c->executeStatement("insert into noise values (1)"); });
    serverScript("start");
    EXPECT_NE(text.find("SQL Server Error: "), std::string::npos) << text;
    // The dead session is no connection, though not yet closed.
    EXPECT_FALSE(c->Connected()) << text;
    EXPECT_TRUE(c->connectionLost());
    EXPECT_EQ(c->state(), ConnectionState::Open);

    c->setConnected(false);
    EXPECT_FALSE(c->Connected());
    c->setConnected(true);
    EXPECT_EQ(c->executeStatement("insert into noise values (2)"), 1);
    EXPECT_EQ(database_->scalar("select sum(n) from noise"), "2");
}

} // namespace
} // namespace db::test
