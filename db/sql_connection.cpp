#include "db/sql_connection.h"

#include "db/busy_cursor.h"
#include "db/database_error.h"
#include "db/driver_error_text.h"
#include "db/driver_libraries.h"
#include "platform/text.h"

#include <algorithm>

namespace db {

namespace {

constexpr std::size_t kQuotedNameBuffer = 256;

} // namespace

SQLConnection::SQLConnection(std::string connectionName)
    : ConnectionName(std::move(connectionName)) {}

SQLConnection::~SQLConnection() {
    try {
        close();
    } catch (...) {
        // A destructor cannot report; the session is gone either way.
    }
    for (RegisteredCommand* command : std::vector<RegisteredCommand*>(commands_)) {
        command->connectionDestroyed();
    }
}

bool SQLConnection::Connected() const {
    return serverConnection_ != nullptr && !lost_ &&
           (state_ == ConnectionState::Open || state_ == ConnectionState::Executing);
}

void SQLConnection::setConnected(bool connected) {
    if (connected == Connected() && !lost_) {
        return;
    }
    if (connected) {
        open();
    } else {
        close();
    }
}

void SQLConnection::checkConnection() {
    if (!Connected()) {
        open();
    }
}

std::string SQLConnection::prefixed(const std::string& text) const {
    return ConnectionName.empty() ? text : ConnectionName + ": " + text;
}

void SQLConnection::raise(const std::string& text) {
    lastError_ = text;
    throw DatabaseError(text);
}

void SQLConnection::driverCallFailed(int code) {
    if (code == DriverResult::kConnectionFailed &&
        (state_ == ConnectionState::Open || state_ == ConnectionState::Executing)) {
        // The session and its transaction are gone on the server's side.
        lost_ = true;
        transactionCount_ = 0;
    }
}

void SQLConnection::raiseDriverError(int code, ISQLErrorSource* source) {
    driverCallFailed(code);
    raise(DriverErrorText::build(code, source, lastError_));
}

void SQLConnection::open() {
    if (platform::trim(DriverName).empty()) {
        throw DatabaseError(kMissingDriverName);
    }
    if (platform::trim(LibraryName).empty() || platform::trim(VendorLib).empty()) {
        throw DatabaseError(prefixed(kMissingLibraryName));
    }
    if (platform::trim(Params.value("Database")).empty()) {
        throw DatabaseError(ConnectionName.empty() ? kMissingConnectionName : kMissingDatabase);
    }
    if (lost_) {
        close();
    }
    state_ = ConnectionState::Connecting;
    try {
        if (!libraryLoaded_) {
            const BusyCursor busy;
            std::string error;
            const std::string libraryName = platform::trim(LibraryName);
            platform::SharedLibrary* library = DriverLibraries::load(libraryName, &error);
            if (library == nullptr) {
                throw DatabaseError(platform::fill(kUnableToLoad, LibraryName));
            }
            entry_ =
                reinterpret_cast<GetDriverFunction>(library->symbol(platform::trim(GetDriverFunc)));
            if (entry_ == nullptr) {
                throw DatabaseError(platform::fill(kUnableToFindProcedure, GetDriverFunc));
            }
            libraryLoaded_ = true;
        }
        const BusyCursor busy;
        ISQLDriver* driver = nullptr;
        const std::string errorResourceFile = platform::trim(Params.value("ErrorResourceFile"));
        if (entry_(VendorLib.c_str(), errorResourceFile.c_str(), &driver) != 0 ||
            driver == nullptr) {
            throw DatabaseError(platform::fill(kUnableToLoad, VendorLib));
        }
        driver_.reset(driver);

        ISQLConnection* connection = nullptr;
        if (const int r = driver_->getSQLConnection(&connection); r != 0 || connection == nullptr) {
            raiseDriverError(r, nullptr);
        }
        serverConnection_.reset(connection);

        // The login values live only for the length of this sequence.
        const std::string database = platform::trim(Params.value("Database"));
        const std::string user = Params.value("USER_NAME");
        const std::string password = Params.value("PASSWORD");
        isolationLevel_ = ConnectionSettings::apply(*serverConnection_, Params, DriverName);
        if (const int r =
                serverConnection_->connect(database.c_str(), user.c_str(), password.c_str());
            r != 0) {
            raiseDriverError(r, serverConnection_.get());
        }
        std::int64_t limit = 0;
        if (serverConnection_->GetOption(ConnectionOption::MaxActiveCommands, &limit) == 0) {
            statementLimit_ = static_cast<int>(limit);
        }
        ISQLMetaData* metaData = nullptr;
        if (const int r = serverConnection_->getSQLMetaData(&metaData); r != 0 || !metaData) {
            raiseDriverError(r, serverConnection_.get());
        }
        metaData_.reset(metaData);
        if (const std::string schema = platform::trim(user); !schema.empty()) {
            metaData_->SetOption(MetaDataOption::SchemaName, schema);
        }
        quoteChar_.clear();
        std::int64_t quote = 0;
        if (metaData_->GetOption(MetaDataOption::ObjectQuoteChar, &quote) == 0 && quote != 0) {
            quoteChar_ = std::string(1, static_cast<char>(quote));
        }
        serverConnection_->SetOption(ConnectionOption::BlobSize,
                                     ConnectionSettings::blobSize(Params));
        std::int64_t flag = 0;
        transactionsSupported_ =
            metaData_->GetOption(MetaDataOption::SupportsTransaction, &flag) == 0 && flag != 0;
        flag = 0;
        multipleTransactionsSupported_ =
            metaData_->GetOption(MetaDataOption::SupportsTransactions, &flag) == 0 && flag != 0;
        transactionCount_ = 0;
        state_ = ConnectionState::Open;
    } catch (...) {
        releaseServerObjects();
        libraryLoaded_ = false;
        state_ = ConnectionState::Closed;
        throw;
    }
}

void SQLConnection::releaseServerObjects() {
    statements_.forget();
    metaData_.reset();
    if (serverConnection_ != nullptr) {
        serverConnection_->disconnect();
        transactionCount_ = 0;
        serverConnection_.reset();
    }
    driver_.reset();
}

void SQLConnection::close() {
    if (state_ == ConnectionState::Closed && serverConnection_ == nullptr) {
        return;
    }
    state_ = ConnectionState::Disconnecting;
    for (RegisteredCommand* command : std::vector<RegisteredCommand*>(commands_)) {
        command->closeForDisconnect();
    }
    releaseServerObjects();
    transactionCount_ = 0;
    libraryLoaded_ = false;
    lost_ = false;
    state_ = ConnectionState::Closed;
}

void SQLConnection::startTransaction(const TransactionDesc& desc) {
    checkConnection();
    if (!Connected()) {
        throw DatabaseError(prefixed(kClosedConnection));
    }
    if (!transactionsSupported_) {
        return;
    }
    if (inTransaction() && !multipleTransactionsSupported_) {
        throw DatabaseError(prefixed(kTransactionActive));
    }
    const int r = serverConnection_->beginTransaction(desc);
    if (r != DriverResult::kSuccess && r != DriverResult::kNotSupported) {
        raiseDriverError(r, serverConnection_.get());
    }
    ++transactionCount_;
}

void SQLConnection::commit(const TransactionDesc& desc) {
    endTransaction(desc, &ISQLConnection::commit);
}

void SQLConnection::rollback(const TransactionDesc& desc) {
    endTransaction(desc, &ISQLConnection::rollback);
}

void SQLConnection::endTransaction(const TransactionDesc& desc, EndTransactionCall call) {
    if (!transactionsSupported_) {
        return;
    }
    if (transactionCount_ == 0) {
        throw DatabaseError(prefixed(kNoActiveTransaction));
    }
    if (serverConnection_ == nullptr) {
        throw DatabaseError(prefixed(kClosedConnection));
    }
    statements_.forget();
    const int r = (serverConnection_.get()->*call)(desc);
    if (r != DriverResult::kSuccess && r != DriverResult::kNotSupported) {
        raiseDriverError(r, serverConnection_.get());
    }
    --transactionCount_;
    const bool anyActive = std::any_of(commands_.begin(), commands_.end(),
                                       [](RegisteredCommand* c) { return c->isActive(); });
    if (Connected() && !KeepConnection && !inTransaction() && !anyActive) {
        close();
    }
}

std::int64_t SQLConnection::rowsetSize() const {
    return ConnectionSettings::rowsetSize(Params);
}

std::unique_ptr<ISQLCommand> SQLConnection::newDriverCommand() {
    ISQLCommand* command = nullptr;
    if (const int r = serverConnection_->getSQLCommand(&command); r != 0 || command == nullptr) {
        raiseDriverError(r, serverConnection_.get());
    }
    return std::unique_ptr<ISQLCommand>(command);
}

std::string SQLConnection::quotedObjectName(const std::string& name) {
    checkConnection();
    std::vector<char> buffer(kQuotedNameBuffer, '\0');
    int length = 0;
    int r = serverConnection_->SetOption(ConnectionOption::QualifiedName, name);
    if (r == DriverResult::kSuccess) {
        r = serverConnection_->GetOption(ConnectionOption::QuotedObjectName, buffer.data(),
                                         static_cast<int>(buffer.size()), &length);
    }
    if (r != DriverResult::kSuccess) {
        raiseDriverError(r, nullptr);
    }
    buffer.back() = '\0';
    return std::string(buffer.data());
}

SQLConnection::ExecutingScope::ExecutingScope(SQLConnection& connection) : connection_(connection) {
    connection_.state_ = ConnectionState::Executing;
}

SQLConnection::ExecutingScope::~ExecutingScope() {
    if (connection_.state_ == ConnectionState::Executing) {
        connection_.state_ = ConnectionState::Open;
    }
}

std::int64_t SQLConnection::executeStatement(const std::string& sql, const SQLParams& params) {
    return statements_.execute(sql, params);
}

std::int64_t SQLConnection::executeStatement(const std::string& sql, const SQLParams& params,
                                             std::unique_ptr<SQLCommand>* result) {
    if (result == nullptr) {
        return statements_.execute(sql, params);
    }
    statements_.open(sql, params, result);
    return 0;
}

void SQLConnection::registerCommand(RegisteredCommand* command) {
    if (std::find(commands_.begin(), commands_.end(), command) == commands_.end()) {
        commands_.push_back(command);
    }
}

void SQLConnection::unregisterCommand(RegisteredCommand* command) {
    commands_.erase(std::remove(commands_.begin(), commands_.end(), command), commands_.end());
}

} // namespace db
