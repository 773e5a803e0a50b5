#pragma once
// Turns a value of a Firebird message into the driver interface's binary
// form. Each read answers InvalidFieldType when the column's type cannot
// give that form, so a mismatch is reported rather than guessed at.

#include "db/firebird/fb_message.h"
#include "db/sql_driver.h"

#include <cstdint>
#include <string>

namespace db::firebird {

class FbValueReader {
public:
    explicit FbValueReader(const FbClient& client) : client_(client) {}

    // CHAR and VARCHAR; trimBlanks drops the blanks Firebird pads CHAR with.
    int text(const FbField& field, const unsigned char* data, bool trimBlanks,
             std::string* value) const;
    // SMALLINT, INTEGER, BIGINT and BOOLEAN without decimals.
    int integer(const FbField& field, const unsigned char* data, std::int64_t* value) const;
    // Any exact number, decimals included.
    int bcd(const FbField& field, const unsigned char* data, Bcd* value) const;
    int real(const FbField& field, const unsigned char* data, double* value) const;
    int date(const FbField& field, const unsigned char* data, SQLDate* value) const;
    int time(const FbField& field, const unsigned char* data, SQLTime* value) const;
    int timeStamp(const FbField& field, const unsigned char* data, SQLTimeStamp* value) const;

    static bool isText(const FbField& field);
    static bool isExactNumber(const FbField& field);

private:
    const FbClient& client_;
};

} // namespace db::firebird
