#pragma once
// The driver's server connection: collects the options the program hands
// over, opens a session with them and answers for its transactions.

#include "db/firebird/error_slot.h"
#include "db/firebird/fb_session.h"
#include "db/sql_driver.h"

#include <memory>
#include <string>

namespace db::firebird {

class FbConnection final : public ReportsErrors<ISQLConnection> {
public:
    explicit FbConnection(FbClient& client) : client_(client) {}
    ~FbConnection() override;

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
    int fail(const FbFailure& failure) { return errors_.fail(failure.code, failure.message); }
    int notConnected() { return errors_.fail(DriverResult::kInvalidHandle, "not connected"); }

    FbClient& client_;
    FbSessionOptions options_;
    std::shared_ptr<FbSession> session_;
    std::string qualifiedName_;
};

} // namespace db::firebird
