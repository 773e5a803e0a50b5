#pragma once
// Loads the Firebird driver library from the build and connects it to a test
// database with the embedded engine.

#include "db/sql_driver.h"
#include "platform/shared_library.h"
#include "tests/test_database.h"

#include <gtest/gtest.h>
#include <memory>
#include <string>

namespace db::test {

inline constexpr const char* kVendorLib = "libfbclient.so.2";

class DriverFixture {
public:
    explicit DriverFixture(const std::string& database) {
        if (!library_.load(TestDatabase::driverLibrary())) {
            throw std::runtime_error(library_.lastError());
        }
        auto entry = reinterpret_cast<GetDriverFunction>(library_.symbol("getSQLDriverFIREBIRD"));
        ISQLDriver* driver = nullptr;
        if (entry == nullptr || entry(kVendorLib, "", &driver) != 0) {
            throw std::runtime_error("driver entry failed");
        }
        driver_.reset(driver);
        ISQLConnection* connection = nullptr;
        driver_->getSQLConnection(&connection);
        connection_.reset(connection);
        if (!database.empty() && connection_->connect(database.c_str(), "SYSDBA", "") != 0) {
            throw std::runtime_error("connect failed: " + message(connection_.get()));
        }
    }
    ~DriverFixture() {
        connection_.reset();
        driver_.reset();
    }

    ISQLConnection& connection() { return *connection_; }

    std::unique_ptr<ISQLCommand> prepared(const std::string& sql, int params = 0) {
        ISQLCommand* command = nullptr;
        EXPECT_EQ(connection_->getSQLCommand(&command), 0);
        const int r = command->prepare(sql.c_str(), params);
        EXPECT_EQ(r, 0) << message(command);
        return std::unique_ptr<ISQLCommand>(command);
    }

    // Runs a statement that gives no rows.
    void run(const std::string& sql) {
        auto command = prepared(sql);
        ISQLCursor* cursor = nullptr;
        ASSERT_EQ(command->execute(&cursor), 0) << message(command.get());
        delete cursor;
    }

    std::unique_ptr<ISQLCursor> open(ISQLCommand& command) {
        ISQLCursor* cursor = nullptr;
        EXPECT_EQ(command.execute(&cursor), 0) << message(&command);
        return std::unique_ptr<ISQLCursor>(cursor);
    }

    static std::string message(ISQLErrorSource* source) {
        int length = 0;
        source->getErrorMessageLen(&length);
        std::string text(static_cast<std::size_t>(length) + 1, '\0');
        source->getErrorMessage(text.data());
        text.resize(static_cast<std::size_t>(length));
        return text;
    }

private:
    platform::SharedLibrary library_;
    std::unique_ptr<ISQLDriver> driver_;
    std::unique_ptr<ISQLConnection> connection_;
};

} // namespace db::test
