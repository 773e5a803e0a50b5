#pragma once
// A fresh Firebird database file for one test, created and dropped through
// the Firebird client directly, so the code under test plays no part in it.

#include <string>
#include <vector>

namespace db::test {

// Where a test database lives: the embedded engine by default, or a server.
struct TestServer {
    std::string prefix; // "host/port:", empty for the embedded engine
    std::string user = "SYSDBA";
    std::string password;
};

class TestDatabase {
public:
    // Creates <PELMORA_TEST_TMP>/<name>.fdb (replacing an old one) and runs
    // the statements, each committed on its own.
    explicit TestDatabase(const std::string& name, const std::vector<std::string>& setup = {},
                          TestServer server = {});
    ~TestDatabase();
    TestDatabase(const TestDatabase&) = delete;
    TestDatabase& operator=(const TestDatabase&) = delete;

    const std::string& path() const { return path_; }
    // The database string a connection uses: the server prefix and the path.
    std::string connectString() const { return server_.prefix + path_; }

    // Runs statements on a connection of the test's own.
    void execute(const std::vector<std::string>& statements) const;
    // The first column of the first row as text, "<null>" for null, "<none>" without rows.
    std::string scalar(const std::string& sql) const;

    static std::string tempDir();
    // The driver library built beside the tests.
    static std::string driverLibrary();

private:
    std::string path_;
    TestServer server_;
};

} // namespace db::test
