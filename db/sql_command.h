#pragma once
// The base of the three command kinds: a forward-only, read-only row source
// over the connection that prepares one statement, runs it and hands out its
// rows one at a time. The base keeps every piece of state; a kind only says,
// through the protected hooks, how it prepares, binds and names itself.

#include "db/database_error.h"
#include "db/field_def.h"
#include "db/packet_attribute.h"
#include "db/registered_command.h"
#include "db/sql_driver.h"
#include "db/sql_param.h"

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace db {

class SQLConnection;

class SQLCommand : public RegisteredCommand {
public:
    static constexpr const char* kMissingCommandText =
        "Missing query, table name or procedure name";
    static constexpr const char* kConnectionRequired =
        "SQLConnection property required for this operation";
    static constexpr const char* kNoStatement = "No SQL statement available";
    static constexpr const char* kCursorNotReturned = "Cursor not returned from Query";
    static constexpr const char* kDataSetOpen = "Cannot perform this operation on an open dataset";
    static constexpr const char* kParameterNotFound = "Parameter '%s' not found";
    static constexpr const char* kErrorMappingFailed = "SQL Error: Error mapping failed";

    explicit SQLCommand(std::string name);
    ~SQLCommand() override;
    SQLCommand(const SQLCommand&) = delete;
    SQLCommand& operator=(const SQLCommand&) = delete;

    const std::string& name() const { return name_; }

    // Stored settings. -1 fetches blobs whole, 0 not at all, n reserves n KB.
    int MaxBlobSize = -1;
    bool GetMetadata = false;
    bool NumericMapping = false;
    bool ParamCheck = true;

    // Attaches the command to a connection (null detaches it).
    void setConnection(SQLConnection* connection);
    SQLConnection* connection() const { return connection_; }

    const std::string& commandText() const { return commandText_; }
    // Unchanged text keeps the prepared statement; any other text releases
    // it. Leading characters below code 33 are dropped.
    void setCommandText(std::string_view text);

    SQLParams& params() { return params_; }
    const SQLParams& params() const { return params_; }
    // The first parameter of that name, without regard to case.
    SQLParam& paramByName(std::string_view name);

    // Runs the statement and makes the first row current.
    void open();
    // Releases the result; the prepared statement stays for the next open.
    void close();
    bool active() const { return active_; }
    // True once the rows are used up.
    bool eof() const { return eof_; }
    void next();

    const std::vector<FieldDef>& fieldDefs() const { return fieldDefs_; }
    // The value of a field in the current row; null past the end.
    const SQLValue& value(std::size_t field) const;
    // The index of a field by name, -1 when none.
    int fieldIndex(std::string_view name) const;

    bool prepared() const { return prepared_; }
    // The text handed to the driver's prepare.
    const std::string& nativeText() const { return nativeText_; }
    const std::string& lastErrorText() const { return lastError_; }
    std::int64_t rowsAffected() const { return rowsAffected_; }
    // How many times a statement was prepared; tests read it.
    int prepareCount() const { return prepareCount_; }

    bool isActive() const override { return active_; }
    void closeForDisconnect() override;
    void connectionDestroyed() override;

    // Provider support: what the providers and their resolver ask of their
    // source command.
    bool psInTransaction() const;
    void psStartTransaction();
    void psEndTransaction(bool commit);
    // Runs a statement of the resolver and gives the rows it changed; with
    // a result place, opens it as a query handed to the caller instead.
    std::int64_t psExecuteStatement(const std::string& sql, const SQLParams& params,
                                    std::unique_ptr<SQLCommand>* result = nullptr);
    void psSetCommandText(std::string_view text);
    void psSetParams(const SQLParams& params);
    const SQLParams& psGetParams() const { return params_; }
    std::string psGetTableName() const { return providerTableName(); }
    std::string psGetQuoteChar() const;
    // Field names joined by ";".
    std::string psGetKeyFields() const;
    std::string psGetDefaultOrder() const { return defaultOrder(); }
    std::vector<PacketAttribute> psGetAttributes() const;
    // The error a failed resolver statement is reported with.
    DatabaseError psGetUpdateException(const std::exception* error,
                                       const DatabaseError* previous) const;
    // A forward-only command has nothing to rewind.
    void psReset() {}
    bool psIsSQLBased() const { return true; }
    bool psIsSQLSupported() const { return true; }

protected:
    // How the kind prepares: check its text, call setupStatement() and
    // prepareText(). Raises on failure.
    virtual void prepareStatement() = 0;
    // Step after a new text is stored, with a connection and parameter
    // checking on: the kind's parameter list.
    virtual void buildParams() {}
    virtual void bindParams();
    virtual void readBackParams() {}
    // The text raised when no statement could be prepared and none was given.
    virtual const char* notPreparedText() const = 0;
    // The kind forgets what it built for the old text.
    virtual void textReplaced() {}
    // The kind forgets what belongs to the released statement.
    virtual void statementReleased() {}
    virtual std::string providerTableName() const { return {}; }
    virtual std::string defaultOrder() const { return {}; }

    // Statement setup, the first part of every prepare.
    void setupStatement();
    void setNativeText(std::string text) { nativeText_ = std::move(text); }
    // Hands text to the driver's prepare.
    void prepareText(const std::string& text, int paramCount);
    ISQLCommand* statement() const { return statement_.get(); }
    // Opens the connection when closed; fails without one.
    void checkConnection();
    // Prepares when not prepared; raises the failure of the prepare.
    void ensurePrepared();
    // Binds, executes and reads parameters back; keeps the cursor, if any.
    void executePrepared();
    bool hasCursor() const { return cursor_ != nullptr; }
    void releaseCursor() { cursor_.reset(); }
    void releaseStatement();
    void setRowsAffected(std::int64_t rows) { rowsAffected_ = rows; }
    std::string prefixed(const std::string& text) const;
    // Raises a driver failure of the statement or cursor as this command's error.
    [[noreturn]] void raiseDriverError(int code, ISQLErrorSource* source);

private:
    void readRow();
    std::int64_t rowsetSize() const;

    std::string name_;
    SQLConnection* connection_ = nullptr;
    std::unique_ptr<ISQLCommand> statement_;
    std::unique_ptr<ISQLCursor> cursor_;
    std::string commandText_;
    std::string nativeText_;
    SQLParams params_;
    std::vector<FieldDef> fieldDefs_;
    std::vector<SQLValue> row_;
    std::vector<std::uint8_t> blobBuffer_;
    std::string lastError_;
    std::int64_t rowsAffected_ = -1;
    bool prepared_ = false;
    bool active_ = false;
    bool eof_ = true;
    int prepareCount_ = 0;
};

} // namespace db
