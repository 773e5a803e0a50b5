#pragma once
// The rows of one executed statement, read forward once. A cursor that runs
// in a transaction of its own commits it when the rows end or the cursor goes.

#include "db/firebird/error_slot.h"
#include "db/firebird/fb_session.h"
#include "db/firebird/fb_types.h"
#include "db/sql_driver.h"

#include <memory>
#include <vector>

namespace db::firebird {

class FbCursor final : public ISQLCursor, private FbSessionUser {
public:
    // Takes over the result set and, when given, the auto-commit transaction.
    FbCursor(std::shared_ptr<FbSession> session, Firebird::IResultSet* resultSet,
             Firebird::IMessageMetadata* metadata, Firebird::ITransaction* autoTransaction);
    ~FbCursor() override;

    int getErrorMessageLen(int* length) override { return errors_.lengthTo(length); }
    int getErrorMessage(char* buffer) override { return errors_.copyTo(buffer); }

    int getColumnCount(int* count) override;
    int getColumnName(int column, const char** name) override;
    int getColumnType(int column, int* type, int* subType) override;
    int getColumnLength(int column, int* length) override;
    int getColumnPrecision(int column, int* precision) override;
    int getColumnScale(int column, int* scale) override;
    int isNullable(int column, bool* nullable) override;
    int isReadOnly(int column, bool* readOnly) override;

    int next() override;

    int getString(int column, char* buffer, int bufferLength, bool* isBlank) override;
    int getShort(int column, std::int16_t* value, bool* isBlank) override;
    int getLong(int column, std::int32_t* value, bool* isBlank) override;
    int getInt64(int column, std::int64_t* value, bool* isBlank) override;
    int getDouble(int column, double* value, bool* isBlank) override;
    int getBcd(int column, Bcd* value, bool* isBlank) override;
    int getDate(int column, SQLDate* value, bool* isBlank) override;
    int getTime(int column, SQLTime* value, bool* isBlank) override;
    int getTimeStamp(int column, SQLTimeStamp* value, bool* isBlank) override;
    int getBytes(int column, std::uint8_t* buffer, int bufferLength, int* length,
                 bool* isBlank) override;
    int getBlobSize(int column, std::uint32_t* size, bool* isBlank) override;
    int getBlob(int column, void* buffer, std::uint32_t bufferLength, bool* isBlank) override;

private:
    void sessionClosing() override;
    // Closes the result set and ends the auto-commit transaction.
    int finish(bool commit);
    bool hasColumn(int column) const;
    // Checks the column number and that a row is current; sets isBlank.
    int checkValue(int column, bool* isBlank) const;
    int readBlob(int column);

    std::shared_ptr<FbSession> session_;
    Firebird::IResultSet* resultSet_;
    Firebird::ITransaction* autoTransaction_;
    FbMessage row_;
    std::vector<ColumnDescription> columns_;
    bool onRow_ = false;
    bool ended_ = false;
    int blobColumn_ = 0;
    std::vector<unsigned char> blob_;
    ErrorSlot errors_;
};

} // namespace db::firebird
