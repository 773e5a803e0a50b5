#include "db/firebird/fb_types.h"

#include "db/sql_driver.h"

namespace db::firebird {

namespace {

constexpr unsigned kCharSetOctets = 1;
constexpr unsigned kCharSetUnicodeFss = 3;
constexpr unsigned kCharSetUtf8 = 4;

// Codes of RDB$FIELDS.RDB$FIELD_TYPE.
constexpr int kBlrShort = 7;
constexpr int kBlrLong = 8;
constexpr int kBlrFloat = 10;
constexpr int kBlrDate = 12;
constexpr int kBlrTime = 13;
constexpr int kBlrText = 14;
constexpr int kBlrInt64 = 16;
constexpr int kBlrBoolean = 23;
constexpr int kBlrDouble = 27;
constexpr int kBlrTimestamp = 35;
constexpr int kBlrVarying = 37;
constexpr int kBlrBlob = 261;

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
    case kCharSetUtf8:
        return 4;
    case kCharSetUnicodeFss:
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
        if (field.charSet == kCharSetOctets) {
            d.type = field.type == SQL_TEXT ? DriverType::kBytes : DriverType::kVarBytes;
            d.length = bytes;
            d.precision = bytes;
        } else {
            d.type = DriverType::kString;
            d.subType = field.type == SQL_TEXT ? DriverSubType::kFixed : DriverSubType::kNone;
            d.length = bytes;
            d.precision = bytes / bytesPerCharacter(field.charSet);
        }
        break;
    case SQL_SHORT:
    case SQL_LONG:
    case SQL_INT64:
        if (field.scale < 0) {
            d.type = DriverType::kBcd;
            d.scale = -field.scale;
            d.precision = declaredPrecision > 0 ? declaredPrecision : defaultPrecision(field.type);
            d.length = static_cast<int>(sizeof(Bcd));
        } else {
            d.type = field.type == SQL_SHORT  ? DriverType::kInt16
                     : field.type == SQL_LONG ? DriverType::kInt32
                                              : DriverType::kInt64;
            d.length = bytes;
        }
        break;
    case SQL_FLOAT:
    case SQL_DOUBLE:
    case SQL_D_FLOAT:
        d.type = DriverType::kFloat;
        d.length = sizeof(double);
        break;
    case SQL_BOOLEAN:
        d.type = DriverType::kBoolean;
        d.length = sizeof(std::int16_t);
        break;
    case SQL_TYPE_DATE:
        d.type = DriverType::kDate;
        d.length = sizeof(SQLDate);
        break;
    case SQL_TYPE_TIME:
        d.type = DriverType::kTime;
        d.length = sizeof(SQLTime);
        break;
    case SQL_TIMESTAMP:
        d.type = DriverType::kSQLTimeStamp;
        d.length = sizeof(SQLTimeStamp);
        break;
    case SQL_BLOB:
        d.type = DriverType::kBlob;
        d.subType = field.subType == 1 ? DriverSubType::kMemo : DriverSubType::kBinary;
        break;
    default:
        d.type = DriverType::kUnknown;
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
    case kBlrShort:
        field.type = SQL_SHORT;
        break;
    case kBlrLong:
        field.type = SQL_LONG;
        break;
    case kBlrInt64:
        field.type = SQL_INT64;
        break;
    case kBlrFloat:
        field.type = SQL_FLOAT;
        break;
    case kBlrDouble:
        field.type = SQL_DOUBLE;
        break;
    case kBlrDate:
        field.type = SQL_TYPE_DATE;
        break;
    case kBlrTime:
        field.type = SQL_TYPE_TIME;
        break;
    case kBlrTimestamp:
        field.type = SQL_TIMESTAMP;
        break;
    case kBlrText:
        field.type = SQL_TEXT;
        break;
    case kBlrVarying:
        field.type = SQL_VARYING;
        break;
    case kBlrBoolean:
        field.type = SQL_BOOLEAN;
        break;
    case kBlrBlob:
        field.type = SQL_BLOB;
        break;
    default:
        break;
    }
    ColumnDescription d = describe(field, precision);
    if (d.type == DriverType::kString && charLength > 0) {
        d.precision = charLength;
    }
    return d;
}

} // namespace db::firebird
