#pragma once
// The one object through which the program talks to its database: it loads
// the driver library, opens and closes the server session with the settings
// of its parameter list, runs transactions and statements for the providers,
// and turns every driver failure into a DatabaseError. The parameters reach
// the driver through ConnectionSettings; the statements run directly go
// through StatementExecutor.

#include "db/connection_params.h"
#include "db/connection_settings.h"
#include "db/registered_command.h"
#include "db/sql_driver.h"
#include "db/sql_param.h"
#include "db/statement_executor.h"

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace db {

class SQLCommand;

enum class ConnectionState { Closed, Connecting, Open, Executing, Disconnecting };

class SQLConnection {
public:
    static constexpr const char* kMissingDriverName = "Missing DriverName property";
    static constexpr const char* kMissingLibraryName = "DLL/Shared Library Name not Set";
    static constexpr const char* kMissingDatabase = "Missing Database property";
    static constexpr const char* kMissingConnectionName = "Connection name missing";
    static constexpr const char* kUnableToLoad = "Unable to Load %s";
    static constexpr const char* kUnableToFindProcedure = "Unable to Find Procedure %s";
    static constexpr const char* kClosedConnection =
        "Cannot perform this operation on a closed connection";
    static constexpr const char* kTransactionActive = "A transaction is already active";
    static constexpr const char* kNoActiveTransaction = "There is no active transaction";

    explicit SQLConnection(std::string connectionName = {});
    ~SQLConnection();
    SQLConnection(const SQLConnection&) = delete;
    SQLConnection& operator=(const SQLConnection&) = delete;

    // Stored settings.
    std::string ConnectionName;
    std::string DriverName;
    std::string LibraryName;
    std::string GetDriverFunc;
    std::string VendorLib;
    ConnectionParams Params;
    bool LoginPrompt = false;
    bool KeepConnection = true;
    bool LoadParamsOnConnect = false;

    // False once the server stopped answering: a driver call failed because
    // the connection is gone. The next open drops the dead session first.
    bool Connected() const;
    void setConnected(bool connected);
    // The last driver failure found the connection gone.
    bool connectionLost() const { return lost_; }
    // Opens the connection when it is not connected.
    void checkConnection();

    void startTransaction(const TransactionDesc& desc);
    void commit(const TransactionDesc& desc);
    void rollback(const TransactionDesc& desc);
    bool inTransaction() const { return transactionCount_ > 0; }
    int transactionCount() const { return transactionCount_; }

    // Runs one statement of a resolver with positional parameters and gives
    // the number of rows it changed.
    std::int64_t executeStatement(const std::string& sql, const SQLParams& params = {});
    // The same with a place for the result: the statement is opened as a
    // query with the parameters P1, P2... and handed to the caller. Gives 0.
    std::int64_t executeStatement(const std::string& sql, const SQLParams& params,
                                  std::unique_ptr<SQLCommand>* result);

    void registerCommand(RegisteredCommand* command);
    void unregisterCommand(RegisteredCommand* command);

    // What the commands use.
    ConnectionState state() const { return state_; }
    ISQLConnection* serverConnection() const { return serverConnection_.get(); }
    ISQLMetaData* metaData() const { return metaData_.get(); }
    int isolationLevel() const { return isolationLevel_; }
    const std::string& quoteChar() const { return quoteChar_; }
    bool transactionsSupported() const { return transactionsSupported_; }
    bool multipleTransactionsSupported() const { return multipleTransactionsSupported_; }
    // The Firebird driver reports no limit of active statements per server
    // connection, so every statement runs on this connection and no clone
    // connection is ever made.
    int statementLimit() const { return statementLimit_; }
    const std::string& lastErrorText() const { return lastError_; }

    static constexpr int kDefaultRowsetSize = ConnectionSettings::kDefaultRowsetSize;
    // The rowset size a new statement is given: the "RowsetSize" parameter,
    // else the default.
    std::int64_t rowsetSize() const;
    // A fresh driver statement on this connection's server connection.
    std::unique_ptr<ISQLCommand> newDriverCommand();
    // The driver's quoted form of a table or procedure name.
    std::string quotedObjectName(const std::string& name);

    // Raises the error text of a driver failure and keeps it as the last
    // error text of this connection.
    [[noreturn]] void raiseDriverError(int code, ISQLErrorSource* source);
    // A driver call on this connection failed with the code: a connection
    // found gone marks itself lost. The commands tell it of their own calls.
    void driverCallFailed(int code);

private:
    // The executor marks the connection Executing while a statement runs.
    friend class StatementExecutor;

    // The state is Executing while a statement runs, and Open again after
    // it, also when it fails.
    class ExecutingScope {
    public:
        explicit ExecutingScope(SQLConnection& connection);
        ~ExecutingScope();
        ExecutingScope(const ExecutingScope&) = delete;
        ExecutingScope& operator=(const ExecutingScope&) = delete;

    private:
        SQLConnection& connection_;
    };

    using EndTransactionCall = int (ISQLConnection::*)(const TransactionDesc&);
    // Commit and rollback: the checks, the driver call and the tidy-up.
    void endTransaction(const TransactionDesc& desc, EndTransactionCall call);
    void open();
    void close();
    void releaseServerObjects();
    std::string prefixed(const std::string& text) const;
    [[noreturn]] void raise(const std::string& text);

    ConnectionState state_ = ConnectionState::Closed;
    GetDriverFunction entry_ = nullptr;
    bool libraryLoaded_ = false;
    std::unique_ptr<ISQLDriver> driver_;
    std::unique_ptr<ISQLConnection> serverConnection_;
    std::unique_ptr<ISQLMetaData> metaData_;
    int transactionCount_ = 0;
    bool transactionsSupported_ = false;
    bool multipleTransactionsSupported_ = false;
    int isolationLevel_ = IsolationLevel::kReadCommitted;
    std::string quoteChar_;
    int statementLimit_ = 0;
    bool lost_ = false;
    std::string lastError_;
    std::vector<RegisteredCommand*> commands_;
    // Runs the statements asked for directly and keeps the last one prepared.
    StatementExecutor statements_{*this};
};

} // namespace db
