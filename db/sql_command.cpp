#include "db/sql_command.h"

#include "db/cursor_value_reader.h"
#include "db/driver_error_text.h"
#include "db/field_def_builder.h"
#include "db/param_binder.h"
#include "db/param_markers.h"
#include "db/sql_connection.h"
#include "platform/text.h"

#include <algorithm>

namespace db {

namespace {

const SQLValue kNullValue;

std::int64_t hexValue(const std::string& text) {
    const std::string digits = platform::trim(text);
    std::int64_t value = 0;
    for (const char c : digits) {
        int d = 0;
        if (c >= '0' && c <= '9') {
            d = c - '0';
        } else if (c >= 'a' && c <= 'f') {
            d = c - 'a' + 10;
        } else if (c >= 'A' && c <= 'F') {
            d = c - 'A' + 10;
        } else {
            return 0;
        }
        value = value * 16 + d;
        if (value > 0x7FFFFFFF) {
            return 0;
        }
    }
    return value;
}

} // namespace

SQLCommand::SQLCommand(std::string name) : name_(std::move(name)) {}

SQLCommand::~SQLCommand() {
    close();
    releaseStatement();
    if (connection_ != nullptr) {
        connection_->unregisterCommand(this);
    }
}

void SQLCommand::setConnection(SQLConnection* connection) {
    if (connection == connection_) {
        return;
    }
    close();
    releaseStatement();
    if (connection_ != nullptr) {
        connection_->unregisterCommand(this);
    }
    connection_ = connection;
    if (connection_ != nullptr) {
        connection_->registerCommand(this);
        if (MaxBlobSize == 0) {
            MaxBlobSize = static_cast<int>(
                platform::toInteger(platform::trim(connection_->Params.value("BlobSize")))
                    .value_or(-1));
        }
    }
}

void SQLCommand::setCommandText(std::string_view text) {
    const std::string stripped = platform::trimLeft(text);
    if (stripped == commandText_) {
        return;
    }
    if (active_) {
        throw DatabaseError(kDataSetOpen);
    }
    releaseStatement();
    textReplaced();
    commandText_.clear();
    params_.clear();
    commandText_ = stripped;
    if (connection_ != nullptr && !commandText_.empty() && ParamCheck) {
        buildParams();
    }
}

SQLParam& SQLCommand::paramByName(std::string_view name) {
    for (SQLParam& param : params_) {
        if (platform::equalsIgnoreCase(param.name, name)) {
            return param;
        }
    }
    throw DatabaseError(prefixed(platform::fill(kParameterNotFound, name)));
}

void SQLCommand::checkConnection() {
    if (connection_ == nullptr) {
        throw DatabaseError(kConnectionRequired);
    }
    connection_->checkConnection();
}

void SQLCommand::open() {
    if (active_) {
        return;
    }
    if (commandText_.empty()) {
        throw DatabaseError(kMissingCommandText);
    }
    checkConnection();
    try {
        ensurePrepared();
        executePrepared();
        if (cursor_ == nullptr) {
            // The statement has run; there is just nothing to read.
            statement_->close();
            throw DatabaseError(prefixed(kCursorNotReturned));
        }
        if (const int r = FieldDefBuilder::build(*cursor_, NumericMapping, &fieldDefs_); r != 0) {
            raiseDriverError(r, cursor_.get());
        }
        if (MaxBlobSize > 0) {
            blobBuffer_.reserve(static_cast<std::size_t>(MaxBlobSize) * 1024);
        }
        active_ = true;
        eof_ = false;
        row_.assign(fieldDefs_.size(), SQLValue{});
        next();
    } catch (...) {
        close();
        throw;
    }
}

void SQLCommand::close() {
    active_ = false;
    eof_ = true;
    row_.clear();
    cursor_.reset();
}

void SQLCommand::next() {
    if (!active_ || eof_) {
        return;
    }
    const int r = cursor_->next();
    if (r == DriverResult::kEndOfData || r == DriverResult::kNoData) {
        eof_ = true;
        std::fill(row_.begin(), row_.end(), SQLValue{});
        return;
    }
    if (r != 0) {
        raiseDriverError(r, cursor_.get());
    }
    readRow();
}

void SQLCommand::readRow() {
    for (std::size_t i = 0; i < fieldDefs_.size(); ++i) {
        if (const int r = CursorValueReader::read(*cursor_, static_cast<int>(i) + 1, fieldDefs_[i],
                                                  MaxBlobSize, &row_[i]);
            r != 0) {
            raiseDriverError(r, cursor_.get());
        }
    }
}

const SQLValue& SQLCommand::value(std::size_t field) const {
    return field < row_.size() ? row_[field] : kNullValue;
}

int SQLCommand::fieldIndex(std::string_view name) const {
    for (std::size_t i = 0; i < fieldDefs_.size(); ++i) {
        if (platform::equalsIgnoreCase(fieldDefs_[i].name, name)) {
            return static_cast<int>(i);
        }
    }
    return -1;
}

void SQLCommand::ensurePrepared() {
    if (!prepared_) {
        try {
            prepareStatement();
            prepared_ = true;
        } catch (const DatabaseError& e) {
            releaseStatement();
            lastError_ = e.what();
        }
    }
    if (statement_ == nullptr) {
        throw DatabaseError(!lastError_.empty() ? lastError_ : notPreparedText());
    }
}

void SQLCommand::setupStatement() {
    lastError_.clear();
    if (connection_ == nullptr) {
        throw DatabaseError(kConnectionRequired);
    }
    statement_.reset();
    statement_ = connection_->newDriverCommand();
    statement_->SetOption(CommandOption::RowsetSize, rowsetSize());
    if (nativeText_.empty()) {
        nativeText_ = params_.empty()
                          ? commandText_
                          : ParamMarkers::replace(commandText_, connection_->quoteChar());
    }
}

std::int64_t SQLCommand::rowsetSize() const {
    return connection_ != nullptr ? connection_->rowsetSize() : SQLConnection::kDefaultRowsetSize;
}

void SQLCommand::prepareText(const std::string& text, int paramCount) {
    ++prepareCount_;
    if (const int r = statement_->prepare(text.c_str(), paramCount); r != 0) {
        raiseDriverError(r, statement_.get());
    }
}

void SQLCommand::bindParams() {
    if (params_.empty()) {
        return;
    }
    if (const auto failure = ParamBinder::bind(*statement_, params_); failure.code != 0) {
        connection_->raiseDriverError(failure.code, connection_->serverConnection());
    }
}

void SQLCommand::executePrepared() {
    bindParams();
    ISQLCursor* cursor = nullptr;
    const int r = statement_->execute(&cursor);
    cursor_.reset(cursor);
    if (r != 0) {
        cursor_.reset();
        raiseDriverError(r, statement_.get());
    }
    readBackParams();
}

void SQLCommand::releaseStatement() {
    cursor_.reset();
    statement_.reset();
    prepared_ = false;
    nativeText_.clear();
    statementReleased();
}

void SQLCommand::closeForDisconnect() {
    close();
    releaseStatement();
}

void SQLCommand::connectionDestroyed() {
    closeForDisconnect();
    connection_ = nullptr;
}

std::string SQLCommand::prefixed(const std::string& text) const {
    return name_.empty() ? text : name_ + ": " + text;
}

void SQLCommand::raiseDriverError(int code, ISQLErrorSource* source) {
    lastError_ = DriverErrorText::build(code, source, lastError_);
    // A statement or a fetch that finds the server gone loses the
    // connection as a commit would.
    if (connection_ != nullptr) {
        connection_->driverCallFailed(code);
    }
    throw DatabaseError(lastError_);
}

bool SQLCommand::psInTransaction() const {
    return connection_ != nullptr && connection_->inTransaction();
}

void SQLCommand::psStartTransaction() {
    checkConnection();
    TransactionDesc desc;
    desc.transactionId = 1;
    desc.isolationLevel = connection_->isolationLevel();
    connection_->startTransaction(desc);
}

void SQLCommand::psEndTransaction(bool commit) {
    checkConnection();
    TransactionDesc desc;
    desc.transactionId = 1;
    desc.isolationLevel = connection_->isolationLevel();
    if (commit) {
        connection_->commit(desc);
    } else {
        connection_->rollback(desc);
    }
}

std::int64_t SQLCommand::psExecuteStatement(const std::string& sql, const SQLParams& params,
                                            std::unique_ptr<SQLCommand>* result) {
    if (connection_ == nullptr) {
        throw DatabaseError(kConnectionRequired);
    }
    if (result == nullptr) {
        return connection_->executeStatement(sql, params);
    }
    return connection_->executeStatement(sql, params, result);
}

void SQLCommand::psSetCommandText(std::string_view text) {
    if (!text.empty()) {
        setCommandText(text);
    }
}

void SQLCommand::psSetParams(const SQLParams& params) {
    if (!params.empty()) {
        params_ = params;
        if (prepared_ && nativeText_.find('?') == std::string::npos) {
            releaseStatement();
        }
    }
    close();
}

std::string SQLCommand::psGetQuoteChar() const {
    return connection_ != nullptr ? connection_->quoteChar() : std::string();
}

std::string SQLCommand::psGetKeyFields() const {
    std::string keys;
    for (const FieldDef& def : fieldDefs_) {
        if (def.inKey) {
            keys += keys.empty() ? def.name : ";" + def.name;
        }
    }
    return keys;
}

std::vector<PacketAttribute> SQLCommand::psGetAttributes() const {
    std::int64_t locale = 0;
    if (connection_ != nullptr) {
        locale = hexValue(connection_->Params.value("LocaleCode"));
    }
    return {PacketAttribute{"LCID", locale, false}};
}

DatabaseError SQLCommand::psGetUpdateException(const std::exception* error,
                                               const DatabaseError* /*previous*/) const {
    if (error == nullptr) {
        return DatabaseError(kErrorMappingFailed);
    }
    if (const auto* database = dynamic_cast<const DatabaseError*>(error)) {
        return *database;
    }
    return DatabaseError(error->what());
}

} // namespace db
