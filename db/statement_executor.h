#pragma once
// Runs the statements a connection is asked for directly (a resolver's
// inserts, updates and deletes), and keeps the last one it prepared inside a
// transaction for the next call with the same text.

#include "db/sql_driver.h"
#include "db/sql_param.h"

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>

namespace db {

class SQLCommand;
class SQLConnection;

class StatementExecutor {
public:
    explicit StatementExecutor(SQLConnection& connection);
    ~StatementExecutor();
    StatementExecutor(const StatementExecutor&) = delete;
    StatementExecutor& operator=(const StatementExecutor&) = delete;

    // Runs one statement with positional parameters and gives the number of
    // rows it changed.
    std::int64_t execute(const std::string& sql, const SQLParams& params);
    // Opens the statement as a query with the parameters P1, P2... and hands
    // it to the caller.
    void open(const std::string& sql, const SQLParams& params, std::unique_ptr<SQLCommand>* result);
    // Frees the kept statement: another transaction or session comes.
    void forget();

private:
    // The last statement execute prepared inside a transaction, kept for the
    // next call with the same text and parameter count (a resolver applying
    // many rows of one kind). Freed when another text comes, when the
    // transaction ends and when the connection closes.
    struct PreparedStatement {
        std::unique_ptr<ISQLCommand> command;
        // The text as given, and as prepared with its markers replaced.
        std::string source;
        std::string text;
        std::size_t paramCount = 0;
        std::int64_t rowsetSize = 0;
    };

    SQLConnection& connection_;
    PreparedStatement lastPrepared_;
};

} // namespace db
