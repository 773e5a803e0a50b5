#include "db/firebird/fb_connection.h"

#include "db/firebird/fb_command.h"
#include "db/firebird/fb_metadata.h"
#include "db/firebird/fb_names.h"

#include <cstring>

namespace db::firebird {

namespace {

std::string text(std::string_view value) {
    return std::string(value);
}

} // namespace

FbConnection::~FbConnection() {
    disconnect();
}

int FbConnection::SetOption(ConnectionOption option, std::int64_t value) {
    switch (option) {
    case ConnectionOption::WaitOnLocks:
        options_.waitOnLocks = value != 0;
        return DriverResult::kSuccess;
    case ConnectionOption::TransIsolation:
        options_.isolation = static_cast<int>(value);
        return DriverResult::kSuccess;
    case ConnectionOption::SqlDialect:
        if (value != 1 && value != 3) {
            return errors_.fail(DriverResult::kInvalidParameter, "SQL dialect must be 1 or 3");
        }
        options_.dialect = static_cast<int>(value);
        return DriverResult::kSuccess;
    case ConnectionOption::MultipleTransactions:
        options_.multipleTransactions = value != 0;
        return DriverResult::kSuccess;
    case ConnectionOption::TrimChar:
        options_.trimChar = value != 0;
        return DriverResult::kSuccess;
    case ConnectionOption::ConnectionTimeout:
        options_.connectTimeout = static_cast<int>(value);
        return DriverResult::kSuccess;
    case ConnectionOption::BlobSize:
        options_.blobSize = value;
        return DriverResult::kSuccess;
    case ConnectionOption::CommitRetain:
    case ConnectionOption::AutoCommit:
    case ConnectionOption::BlockingMode:
    case ConnectionOption::OsAuthentication:
        // Statements outside a transaction always commit on their own, every
        // commit is a full one, and calls always block.
        return DriverResult::kSuccess;
    default:
        return DriverResult::kNotSupported;
    }
}

int FbConnection::SetOption(ConnectionOption option, std::string_view value) {
    switch (option) {
    case ConnectionOption::HostName:
        options_.hostName = text(value);
        return DriverResult::kSuccess;
    case ConnectionOption::ServerPort:
        options_.serverPort = text(value);
        return DriverResult::kSuccess;
    case ConnectionOption::RoleName:
        options_.roleName = text(value);
        return DriverResult::kSuccess;
    case ConnectionOption::ServerCharSet:
        options_.serverCharSet = text(value);
        return DriverResult::kSuccess;
    case ConnectionOption::QualifiedName:
        qualifiedName_ = text(value);
        return DriverResult::kSuccess;
    case ConnectionOption::CustomString:
        return DriverResult::kSuccess;
    default:
        return DriverResult::kNotSupported;
    }
}

int FbConnection::GetOption(ConnectionOption option, std::int64_t* value) {
    switch (option) {
    case ConnectionOption::MaxActiveCommands:
        *value = 0; // no limit of statements per connection
        return DriverResult::kSuccess;
    case ConnectionOption::TransIsolation:
        *value = options_.isolation;
        return DriverResult::kSuccess;
    case ConnectionOption::SqlDialect:
        *value = options_.dialect;
        return DriverResult::kSuccess;
    case ConnectionOption::BlobSize:
        *value = options_.blobSize;
        return DriverResult::kSuccess;
    default:
        return DriverResult::kNotSupported;
    }
}

int FbConnection::GetOption(ConnectionOption option, char* buffer, int bufferLength, int* length) {
    std::string value;
    switch (option) {
    case ConnectionOption::QuotedObjectName:
        value = FbNames::quote(qualifiedName_);
        break;
    case ConnectionOption::ServerCharSet:
        value = options_.serverCharSet;
        break;
    case ConnectionOption::RoleName:
        value = options_.roleName;
        break;
    default:
        return DriverResult::kNotSupported;
    }
    if (length != nullptr) {
        *length = static_cast<int>(value.size());
    }
    if (buffer == nullptr || bufferLength < static_cast<int>(value.size()) + 1) {
        return DriverResult::kInvalidLength;
    }
    std::memcpy(buffer, value.c_str(), value.size() + 1);
    return DriverResult::kSuccess;
}

int FbConnection::connect(const char* database, const char* user, const char* password) {
    errors_.clear();
    disconnect();
    auto session = std::make_shared<FbSession>(client_, options_);
    if (auto failure =
            session->attach(database != nullptr ? database : "", user != nullptr ? user : "",
                            password != nullptr ? password : "")) {
        return fail(*failure);
    }
    session_ = std::move(session);
    return DriverResult::kSuccess;
}

int FbConnection::disconnect() {
    if (session_ != nullptr) {
        session_->detach();
        session_.reset();
    }
    return DriverResult::kSuccess;
}

int FbConnection::getSQLCommand(ISQLCommand** command) {
    *command = nullptr;
    if (session_ == nullptr || !session_->attached()) {
        return notConnected();
    }
    *command = new FbCommand(session_);
    return DriverResult::kSuccess;
}

int FbConnection::getSQLMetaData(ISQLMetaData** metaData) {
    *metaData = nullptr;
    if (session_ == nullptr || !session_->attached()) {
        return notConnected();
    }
    *metaData = new FbMetaData(session_);
    return DriverResult::kSuccess;
}

int FbConnection::beginTransaction(const TransactionDesc& desc) {
    if (session_ == nullptr || !session_->attached()) {
        return notConnected();
    }
    if (auto failure = session_->begin(desc.transactionId, desc.isolationLevel)) {
        return fail(*failure);
    }
    return DriverResult::kSuccess;
}

int FbConnection::commit(const TransactionDesc& desc) {
    if (session_ == nullptr || !session_->attached()) {
        return notConnected();
    }
    if (auto failure = session_->commit(desc.transactionId)) {
        return fail(*failure);
    }
    return DriverResult::kSuccess;
}

int FbConnection::rollback(const TransactionDesc& desc) {
    if (session_ == nullptr || !session_->attached()) {
        return notConnected();
    }
    if (auto failure = session_->rollback(desc.transactionId)) {
        return fail(*failure);
    }
    return DriverResult::kSuccess;
}

} // namespace db::firebird
