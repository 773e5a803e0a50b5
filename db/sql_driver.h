#pragma once
// The boundary between the program and a database driver library: abstract
// classes with integer result codes, the option names and the binary forms of
// values. The program and the driver library share this header and nothing else.

#include "db/bcd.h"

#include <cstdint>
#include <string_view>

namespace db {

// Result of every driver call; 0 is success.
struct DriverResult {
    static constexpr int kSuccess = 0x0000;
    static constexpr int kWarning = 0x0001;
    static constexpr int kNoMemory = 0x0002;
    static constexpr int kInvalidFieldType = 0x0003;
    static constexpr int kInvalidHandle = 0x0004;
    static constexpr int kNotSupported = 0x0005;
    static constexpr int kInvalidTime = 0x0006;
    static constexpr int kInvalidTranslation = 0x0007;
    static constexpr int kOutOfRange = 0x0008;
    static constexpr int kInvalidParameter = 0x0009;
    static constexpr int kEndOfData = 0x000A;
    static constexpr int kParameterNotSet = 0x000B;
    static constexpr int kInvalidUserPassword = 0x000C;
    static constexpr int kInvalidPrecision = 0x000D;
    static constexpr int kInvalidLength = 0x000E;
    static constexpr int kInvalidIsolationLevel = 0x000F;
    static constexpr int kInvalidTransactionId = 0x0010;
    static constexpr int kDuplicateTransactionId = 0x0011;
    static constexpr int kLocalTransactionActive = 0x0013;
    static constexpr int kMultipleTransactionsNotEnabled = 0x0014;
    static constexpr int kConnectionFailed = 0x0015;
    static constexpr int kDriverInitFailed = 0x0016;
    static constexpr int kOptimisticLockFailed = 0x0017;
    static constexpr int kInvalidRef = 0x0018;
    static constexpr int kNoTableFound = 0x0019;
    static constexpr int kNoData = 0x0064;
    static constexpr int kSqlError = 0x0065;
};

// Types of columns and parameters as the driver names them.
struct DriverType {
    static constexpr int kUnknown = 0;
    static constexpr int kString = 1;
    static constexpr int kDate = 2;
    static constexpr int kBlob = 3;
    static constexpr int kBoolean = 4;
    static constexpr int kInt16 = 5;
    static constexpr int kInt32 = 6;
    static constexpr int kFloat = 7;
    static constexpr int kBcd = 8;
    static constexpr int kBytes = 9;
    static constexpr int kTime = 10;
    static constexpr int kDateTime = 11;
    static constexpr int kUInt16 = 12;
    static constexpr int kUInt32 = 13;
    static constexpr int kVarBytes = 15;
    static constexpr int kInt64 = 18;
    static constexpr int kSQLTimeStamp = 24;
    static constexpr int kFmtBcd = 25;
};

struct DriverSubType {
    static constexpr int kNone = 0;
    static constexpr int kMemo = 22;
    static constexpr int kBinary = 23;
    static constexpr int kAutoInc = 29;
    static constexpr int kFixed = 31;
};

enum class ParamDirection : int { Unknown = 0, In = 1, Out = 2, InOut = 3, Result = 4 };

// Isolation levels of a transaction descriptor.
struct IsolationLevel {
    static constexpr int kReadCommitted = 0;
    static constexpr int kRepeatableRead = 1;
    static constexpr int kDirtyRead = 2;
};

// A value's type as the driver tells it of a column or is told it of a
// parameter: the DriverType and DriverSubType codes and the sizes with them.
struct DriverTypeDesc {
    int type = DriverType::kUnknown;
    int subType = DriverSubType::kNone;
    // Characters of a string, digits of a decimal.
    int precision = 0;
    int scale = 0;
    // Bytes of the largest value.
    int length = 0;
};

struct TransactionDesc {
    std::uint32_t transactionId = 0;
    std::uint32_t globalId = 0;
    int isolationLevel = IsolationLevel::kReadCommitted;
    std::uint32_t customIsolation = 0;
};

// Binary forms of date and time values. Fractions are ten-thousandths of a
// second, the finest the Firebird server keeps.
struct SQLDate {
    int year = 0;
    int month = 0;
    int day = 0;
    friend bool operator==(const SQLDate&, const SQLDate&) = default;
};

struct SQLTime {
    int hour = 0;
    int minute = 0;
    int second = 0;
    int fraction = 0;
    friend bool operator==(const SQLTime&, const SQLTime&) = default;
};

struct SQLTimeStamp {
    int year = 0;
    int month = 0;
    int day = 0;
    int hour = 0;
    int minute = 0;
    int second = 0;
    int fraction = 0;
    friend bool operator==(const SQLTimeStamp&, const SQLTimeStamp&) = default;
};

enum class ConnectionOption {
    HostName,
    RoleName,
    WaitOnLocks,
    CommitRetain,
    AutoCommit,
    BlockingMode,
    ServerCharSet,
    TransIsolation,
    SqlDialect,
    OsAuthentication,
    ServerPort,
    MultipleTransactions,
    TrimChar,
    CustomString,
    ConnectionTimeout,
    BlobSize,
    MaxActiveCommands,
    QualifiedName,
    QuotedObjectName,
};

enum class CommandOption { RowsetSize, StoredProc, PackageName, BlobSize, TrimChar };

enum class MetaDataOption {
    SchemaName,
    PackageName,
    ObjectQuoteChar,
    SupportsTransaction,
    SupportsTransactions,
};

// Every driver object keeps the message of its last failure.
class ISQLErrorSource {
public:
    virtual ~ISQLErrorSource() = default;
    // The length of the message, without the terminating zero.
    virtual int getErrorMessageLen(int* length) = 0;
    // Copies the message and a terminating zero into a buffer of length + 1 bytes.
    virtual int getErrorMessage(char* buffer) = 0;
};

// The rows of one result. Columns count from 1. Each read reports a null
// value through isBlank.
class ISQLCursor : public ISQLErrorSource {
public:
    virtual int getColumnCount(int* count) = 0;
    // The name stays valid as long as the cursor.
    virtual int getColumnName(int column, const char** name) = 0;
    virtual int getColumnType(int column, int* type, int* subType) = 0;
    // The largest value in bytes (a string's buffer needs one more).
    virtual int getColumnLength(int column, int* length) = 0;
    // Characters of a string, digits of a decimal.
    virtual int getColumnPrecision(int column, int* precision) = 0;
    virtual int getColumnScale(int column, int* scale) = 0;
    virtual int isNullable(int column, bool* nullable) = 0;
    virtual int isReadOnly(int column, bool* readOnly) = 0;

    // Moves to the next row; EndOfData or NoData after the last one.
    virtual int next() = 0;

    virtual int getString(int column, char* buffer, int bufferLength, bool* isBlank) = 0;
    virtual int getShort(int column, std::int16_t* value, bool* isBlank) = 0;
    virtual int getLong(int column, std::int32_t* value, bool* isBlank) = 0;
    virtual int getInt64(int column, std::int64_t* value, bool* isBlank) = 0;
    virtual int getDouble(int column, double* value, bool* isBlank) = 0;
    virtual int getBcd(int column, Bcd* value, bool* isBlank) = 0;
    virtual int getDate(int column, SQLDate* value, bool* isBlank) = 0;
    virtual int getTime(int column, SQLTime* value, bool* isBlank) = 0;
    virtual int getTimeStamp(int column, SQLTimeStamp* value, bool* isBlank) = 0;
    virtual int getBytes(int column, std::uint8_t* buffer, int bufferLength, int* length,
                         bool* isBlank) = 0;
    virtual int getBlobSize(int column, std::uint32_t* size, bool* isBlank) = 0;
    virtual int getBlob(int column, void* buffer, std::uint32_t bufferLength, bool* isBlank) = 0;
};

// One statement: prepared once, executed any number of times.
class ISQLCommand : public ISQLErrorSource {
public:
    virtual int SetOption(CommandOption option, std::int64_t value) = 0;
    virtual int SetOption(CommandOption option, std::string_view value) = 0;
    virtual int GetOption(CommandOption option, std::int64_t* value) = 0;

    virtual int prepare(const char* sql, int paramCount) = 0;
    // Positions count from 1; a null value has no buffer and isNull set.
    virtual int setParameter(int position, int childPosition, ParamDirection direction, int type,
                             int subType, int precision, int scale, int length, const void* buffer,
                             bool isNull) = 0;
    virtual int getParameter(int position, int childPosition, void* buffer, int bufferLength,
                             bool* isNull) = 0;
    // Runs the statement; the cursor is null when it gives no rows. The
    // caller owns the cursor and releases it before the command.
    virtual int execute(ISQLCursor** cursor) = 0;
    virtual int getRowsAffected(std::int64_t* rows) = 0;
    // Ends the current run; the statement stays prepared.
    virtual int close() = 0;
};

class ISQLMetaData : public ISQLErrorSource {
public:
    virtual int SetOption(MetaDataOption option, std::string_view value) = 0;
    virtual int GetOption(MetaDataOption option, std::int64_t* value) = 0;
    // Columns PARAM_POSITION, PARAM_TYPE, PARAM_DATATYPE, PARAM_SUBTYPE,
    // PARAM_PRECISION, PARAM_SCALE, PARAM_LENGTH, PARAM_NAME; inputs first.
    virtual int getProcedureParams(const char* procedureName, ISQLCursor** cursor) = 0;
};

class ISQLConnection : public ISQLErrorSource {
public:
    virtual int SetOption(ConnectionOption option, std::int64_t value) = 0;
    virtual int SetOption(ConnectionOption option, std::string_view value) = 0;
    virtual int GetOption(ConnectionOption option, std::int64_t* value) = 0;
    // Copies a text option and a terminating zero; length excludes the zero.
    virtual int GetOption(ConnectionOption option, char* buffer, int bufferLength, int* length) = 0;

    virtual int connect(const char* database, const char* user, const char* password) = 0;
    virtual int disconnect() = 0;

    // The caller owns the objects handed out and releases them before the connection.
    virtual int getSQLCommand(ISQLCommand** command) = 0;
    virtual int getSQLMetaData(ISQLMetaData** metaData) = 0;

    virtual int beginTransaction(const TransactionDesc& desc) = 0;
    virtual int commit(const TransactionDesc& desc) = 0;
    virtual int rollback(const TransactionDesc& desc) = 0;
};

class ISQLDriver {
public:
    virtual ~ISQLDriver() = default;
    virtual int getSQLConnection(ISQLConnection** connection) = 0;
};

// The entry function a driver library exports under the name the connection's
// GetDriverFunc setting gives. It loads the client library named by vendorLib.
using GetDriverFunction = int (*)(const char* vendorLib, const char* errorResourceFile,
                                  ISQLDriver** driver);

} // namespace db
