#pragma once
// A server connection that records every option and call it receives and
// answers with the results the test chose.

#include "db/sql_driver.h"
#include "tests/db/fake_driver/fake_driver_control.h"

namespace db::fake {

class FakeConnection final : public ISQLConnection {
public:
    explicit FakeConnection(FakeDriverControl& control);
    ~FakeConnection() override;

    int getErrorMessageLen(int* length) override;
    int getErrorMessage(char* buffer) override;
    int SetOption(ConnectionOption option, std::int64_t value) override;
    int SetOption(ConnectionOption option, std::string_view value) override;
    int GetOption(ConnectionOption option, std::int64_t* value) override;
    int GetOption(ConnectionOption option, char* buffer, int bufferLength, int* length) override;
    int connect(const char* database, const char* user, const char* password) override;
    int disconnect() override;
    int getSQLCommand(ISQLCommand** command) override;
    int getSQLMetaData(ISQLMetaData** metaData) override;
    int beginTransaction(const TransactionDesc& desc) override;
    int commit(const TransactionDesc& desc) override;
    int rollback(const TransactionDesc& desc) override;

private:
    FakeDriverControl& control_;
};

} // namespace db::fake
