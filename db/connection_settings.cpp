#include "db/connection_settings.h"

#include "db/database_error.h"
#include "platform/text.h"

namespace db {

namespace {

int booleanValue(const std::string& value) {
    return platform::upper(platform::trim(value)) == "TRUE" ? 1 : 0;
}

std::int64_t integerValue(const std::string& value) {
    const std::string trimmed = platform::trim(value);
    const auto number = platform::toInteger(trimmed);
    if (!number) {
        throw DatabaseError(platform::fill(ConnectionSettings::kNotAnInteger, trimmed));
    }
    return *number;
}

} // namespace

int ConnectionSettings::apply(ISQLConnection& c, const ConnectionParams& params,
                              const std::string& driverName) {
    const auto text = [&](const char* name, ConnectionOption option) {
        if (const std::string value = params.value(name); !value.empty()) {
            c.SetOption(option, platform::trim(value));
        }
    };
    const auto boolean = [&](const char* name, ConnectionOption option) {
        if (const std::string value = params.value(name); !value.empty()) {
            c.SetOption(option, std::int64_t{booleanValue(value)});
        }
    };
    text("HostName", ConnectionOption::HostName);
    text("RoleName", ConnectionOption::RoleName);
    boolean("WaitOnLocks", ConnectionOption::WaitOnLocks);
    boolean("CommitRetain", ConnectionOption::CommitRetain);
    boolean("AutoCommit", ConnectionOption::AutoCommit);
    boolean("BlockingMode", ConnectionOption::BlockingMode);
    if (const std::string charSet = platform::trim(params.value("ServerCharSet"));
        !charSet.empty()) {
        c.SetOption(ConnectionOption::ServerCharSet, charSet);
    }
    int isolationLevel = IsolationLevel::kReadCommitted;
    if (const std::string value = params.value(driverName + " TransIsolation"); !value.empty()) {
        // Deliberately not trimmed: only the exact words select another level.
        const std::string level = platform::lower(value);
        isolationLevel = level == "repeatableread" ? IsolationLevel::kRepeatableRead
                         : level == "dirtyread"    ? IsolationLevel::kDirtyRead
                                                   : IsolationLevel::kReadCommitted;
        c.SetOption(ConnectionOption::TransIsolation, std::int64_t{isolationLevel});
    }
    if (const std::string value = params.value("SqlDialect"); !value.empty()) {
        c.SetOption(ConnectionOption::SqlDialect, integerValue(value));
    }
    boolean("OS Authentication", ConnectionOption::OsAuthentication);
    text("Server Port", ConnectionOption::ServerPort);
    boolean("Multiple Transaction", ConnectionOption::MultipleTransactions);
    boolean("Trim Char", ConnectionOption::TrimChar);
    text("Custom String", ConnectionOption::CustomString);
    if (const std::string value = params.value("Connection Timeout"); !value.empty()) {
        c.SetOption(ConnectionOption::ConnectionTimeout, integerValue(value));
    }
    return isolationLevel;
}

std::int64_t ConnectionSettings::blobSize(const ConnectionParams& params) {
    if (!params.contains("BlobSize")) {
        return -1;
    }
    return platform::toInteger(platform::trim(params.value("BlobSize"))).value_or(-1);
}

std::int64_t ConnectionSettings::rowsetSize(const ConnectionParams& params) {
    if (!params.contains("RowsetSize")) {
        return kDefaultRowsetSize;
    }
    return platform::toInteger(platform::trim(params.value("RowsetSize")))
        .value_or(kDefaultRowsetSize);
}

} // namespace db
