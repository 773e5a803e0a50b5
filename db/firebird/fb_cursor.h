#pragma once
// The rows of one executed statement, read forward once. A cursor that runs
// in a transaction of its own commits it when the rows end or the cursor goes.

#include "db/firebird/described_cursor.h"
#include "db/firebird/fb_session.h"
#include "db/firebird/fb_value_reader.h"

#include <memory>
#include <vector>

namespace db::firebird {

class FbCursor final : public DescribedCursor, private FbSessionUser {
public:
    // Takes over the result set and, when given, the auto-commit transaction.
    FbCursor(std::shared_ptr<FbSession> session, Firebird::IResultSet* resultSet,
             Firebird::IMessageMetadata* metadata, Firebird::ITransaction* autoTransaction);
    ~FbCursor() override;

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
    // Checks the column number and that a row is current; sets isBlank.
    int checkValue(int column, bool* isBlank) const;
    template <typename T>
    using ReadValue = int (FbValueReader::*)(const FbField&, const unsigned char*, T*) const;
    // The current row's value of a column as the value reader gives it.
    template <typename T>
    int readValue(int column, ReadValue<T> read, T* value, bool* isBlank) const;
    // An integer of a SQL_SHORT column or of one of otherType, narrowed to T.
    template <typename T>
    int readInteger(int column, unsigned otherType, T* value, bool* isBlank) const;
    // Checks that the column is a blob and reads it into blob_.
    int loadBlob(int column, bool* isBlank);
    int readBlob(int column);

    std::shared_ptr<FbSession> session_;
    Firebird::IResultSet* resultSet_;
    Firebird::ITransaction* autoTransaction_;
    FbMessage row_;
    bool onRow_ = false;
    bool ended_ = false;
    int blobColumn_ = 0;
    std::vector<unsigned char> blob_;
};

} // namespace db::firebird
