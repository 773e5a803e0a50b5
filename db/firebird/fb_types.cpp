#include "db/firebird/fb_types.h"

#include "db/sql_driver.h"

namespace db::firebird {

namespace {

constexpr unsigned CharSetOctets = 1;
constexpr unsigned CharSetUnicodeFss = 3;
constexpr unsigned CharSetUtf8 = 4;

// Codes of RDB$FIELDS.RDB$FIELD_TYPE.
constexpr int BlrShort = 7;
constexpr int BlrLong = 8;
constexpr int BlrFloat = 10;
constexpr int BlrDate = 12;
constexpr int BlrTime = 13;
constexpr int BlrText = 14;
constexpr int BlrInt64 = 16;
constexpr int BlrBoolean = 23;
constexpr int BlrDouble = 27;
constexpr int BlrTimestamp = 35;
constexpr int BlrVarying = 37;
constexpr int BlrBlob = 261;

int defaultPrecision(unsigned type) {
    switch (type) {
    case SQL_SHORT:
        return 4;
    case SQL_LONG:
        return 9;
    default:
        return 18;
    }
}

} // namespace

int FbTypes::bytesPerCharacter(unsigned charSet) {
    switch (charSet) {
    case CharSetUtf8:
        return 4;
    case CharSetUnicodeFss:
        return 3;
    default:
        return 1;
    }
}

ColumnDescription FbTypes::describe(const FbField& field, int declaredPrecision) {
    ColumnDescription d;
    const int bytes = static_cast<int>(field.length);
    switch (field.type) {
    case SQL_TEXT:
    case SQL_VARYING:
        if (field.charSet == CharSetOctets) {
            d.type = field.type == SQL_TEXT ? DriverType::Bytes : DriverType::VarBytes;
            d.length = bytes;
            d.precision = bytes;
        } else {
            d.type = DriverType::String;
            d.subType = field.type == SQL_TEXT ? DriverSubType::Fixed : DriverSubType::None;
            d.length = bytes;
            d.precision = bytes / bytesPerCharacter(field.charSet);
        }
        break;
    case SQL_SHORT:
    case SQL_LONG:
    case SQL_INT64:
        if (field.scale < 0) {
            d.type = DriverType::Bcd;
            d.scale = -field.scale;
            d.precision = declaredPrecision > 0 ? declaredPrecision : defaultPrecision(field.type);
            d.length = static_cast<int>(sizeof(Bcd));
        } else {
            d.type = field.type == SQL_SHORT  ? DriverType::Int16
                     : field.type == SQL_LONG ? DriverType::Int32
                                              : DriverType::Int64;
            d.length = bytes;
        }
        break;
    case SQL_FLOAT:
    case SQL_DOUBLE:
    case SQL_D_FLOAT:
        d.type = DriverType::Float;
        d.length = sizeof(double);
        break;
    case SQL_BOOLEAN:
        d.type = DriverType::Boolean;
        d.length = sizeof(std::int16_t);
        break;
    case SQL_TYPE_DATE:
        d.type = DriverType::Date;
        d.length = sizeof(SQLDate);
        break;
    case SQL_TYPE_TIME:
        d.type = DriverType::Time;
        d.length = sizeof(SQLTime);
        break;
    case SQL_TIMESTAMP:
        d.type = DriverType::SQLTimeStamp;
        d.length = sizeof(SQLTimeStamp);
        break;
    case SQL_BLOB:
        d.type = DriverType::Blob;
        d.subType = field.subType == 1 ? DriverSubType::Memo : DriverSubType::Binary;
        break;
    default:
        d.type = DriverType::Unknown;
        break;
    }
    return d;
}

ColumnDescription FbTypes::describeCatalogue(int fieldType, int subType, int scale, int byteLength,
                                             int charLength, int precision, int charSet) {
    FbField field;
    field.subType = subType;
    field.scale = scale;
    field.length = static_cast<unsigned>(byteLength);
    field.charSet = static_cast<unsigned>(charSet);
    switch (fieldType) {
    case BlrShort:
        field.type = SQL_SHORT;
        break;
    case BlrLong:
        field.type = SQL_LONG;
        break;
    case BlrInt64:
        field.type = SQL_INT64;
        break;
    case BlrFloat:
        field.type = SQL_FLOAT;
        break;
    case BlrDouble:
        field.type = SQL_DOUBLE;
        break;
    case BlrDate:
        field.type = SQL_TYPE_DATE;
        break;
    case BlrTime:
        field.type = SQL_TYPE_TIME;
        break;
    case BlrTimestamp:
        field.type = SQL_TIMESTAMP;
        break;
    case BlrText:
        field.type = SQL_TEXT;
        break;
    case BlrVarying:
        field.type = SQL_VARYING;
        break;
    case BlrBoolean:
        field.type = SQL_BOOLEAN;
        break;
    case BlrBlob:
        field.type = SQL_BLOB;
        break;
    default:
        break;
    }
    ColumnDescription d = describe(field, precision);
    if (d.type == DriverType::String && charLength > 0) {
        d.precision = charLength;
    }
    return d;
}

} // namespace db::firebird
