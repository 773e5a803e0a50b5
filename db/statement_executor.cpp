#include "db/statement_executor.h"

#include "db/busy_cursor.h"
#include "db/param_binder.h"
#include "db/param_markers.h"
#include "db/sql_connection.h"
#include "db/sql_query.h"

namespace db {

StatementExecutor::StatementExecutor(SQLConnection& connection) : connection_(connection) {}

StatementExecutor::~StatementExecutor() = default;

void StatementExecutor::forget() {
    lastPrepared_ = {};
}

std::int64_t StatementExecutor::execute(const std::string& sql, const SQLParams& params) {
    connection_.checkConnection();
    const BusyCursor busy;
    const SQLConnection::ExecutingScope executing(connection_);

    // The same text with the same parameter count replaces its markers the
    // same way: the kept statement's prepared text serves again.
    const bool sameSource = lastPrepared_.command != nullptr && lastPrepared_.source == sql &&
                            lastPrepared_.paramCount == params.size();
    std::string text = sameSource       ? std::move(lastPrepared_.text)
                       : params.empty() ? sql
                                        : ParamMarkers::replace(sql, connection_.quoteChar());
    const std::int64_t rowset = connection_.rowsetSize();
    std::unique_ptr<ISQLCommand> command;
    if (lastPrepared_.command != nullptr && (sameSource || lastPrepared_.text == text) &&
        lastPrepared_.paramCount == params.size() && lastPrepared_.rowsetSize == rowset) {
        command = std::move(lastPrepared_.command);
    } else {
        lastPrepared_ = {};
        command = connection_.newDriverCommand();
        command->SetOption(CommandOption::RowsetSize, rowset);
        if (const int r = command->prepare(text.c_str(), static_cast<int>(params.size())); r != 0) {
            connection_.raiseDriverError(r, command.get());
        }
    }
    if (!params.empty()) {
        if (const auto failure = ParamBinder::bind(*command, params); failure.code != 0) {
            connection_.raiseDriverError(failure.code, connection_.serverConnection());
        }
    }
    ISQLCursor* cursor = nullptr;
    const int executed = command->execute(&cursor);
    // A statement that gives rows anyway has nothing to hand them to.
    delete cursor;
    if (executed != 0) {
        connection_.raiseDriverError(executed, command.get());
    }
    std::int64_t rows = 0;
    if (const int r = command->getRowsAffected(&rows); r != 0) {
        connection_.raiseDriverError(r, command.get());
    }
    // Outside a transaction every statement is freed at once, as the driver's
    // automatic transactions expect.
    if (connection_.inTransaction()) {
        if (lastPrepared_.source != sql) {
            lastPrepared_.source = sql;
        }
        lastPrepared_.command = std::move(command);
        lastPrepared_.text = std::move(text);
        lastPrepared_.paramCount = params.size();
        lastPrepared_.rowsetSize = rowset;
    }
    return rows;
}

void StatementExecutor::open(const std::string& sql, const SQLParams& params,
                             std::unique_ptr<SQLCommand>* result) {
    auto command = std::make_unique<SQLQuery>();
    command->ParamCheck = false;
    command->setConnection(&connection_);
    connection_.checkConnection();
    const BusyCursor busy;
    const SQLConnection::ExecutingScope executing(connection_);
    command->setSQL(params.empty() ? sql : ParamMarkers::replace(sql, connection_.quoteChar()));
    for (std::size_t i = 0; i < params.size(); ++i) {
        SQLParam param = params[i];
        param.name = "P" + std::to_string(i + 1);
        param.direction = ParamDirection::In;
        command->params().push_back(std::move(param));
    }
    command->MaxBlobSize = -1;
    command->open();
    *result = std::move(command);
}

} // namespace db
