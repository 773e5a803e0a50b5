#include "db/firebird/fb_types.h"

#include "db/sql_driver.h"

namespace db::firebird {

namespace {

constexpr unsigned kCharSetOctets = 1;
constexpr unsigned kCharSetUnicodeFss = 3;
constexpr unsigned kCharSetUtf8 = 4;

// Codes of RDB$FIELDS.RDB$FIELD_TYPE and the message types they stand for.
struct CatalogueType {
    int code;
    unsigned sqlType;
};
constexpr CatalogueType kCatalogueTypes[] = {
    {7, SQL_SHORT},      {8, SQL_LONG},       {10, SQL_FLOAT},   {12, SQL_TYPE_DATE},
    {13, SQL_TYPE_TIME}, {14, SQL_TEXT},      {16, SQL_INT64},   {23, SQL_BOOLEAN},
    {27, SQL_DOUBLE},    {35, SQL_TIMESTAMP}, {37, SQL_VARYING}, {261, SQL_BLOB},
};

// The types whose values have one size, the driver's type and that size.
struct FixedSizeType {
    unsigned sqlType;
    int driverType;
    int length;
};
constexpr FixedSizeType kFixedSizeTypes[] = {
    {SQL_FLOAT, DriverType::kFloat, sizeof(double)},
    {SQL_DOUBLE, DriverType::kFloat, sizeof(double)},
    {SQL_D_FLOAT, DriverType::kFloat, sizeof(double)},
    {SQL_BOOLEAN, DriverType::kBoolean, sizeof(std::int16_t)},
    {SQL_TYPE_DATE, DriverType::kDate, sizeof(SQLDate)},
    {SQL_TYPE_TIME, DriverType::kTime, sizeof(SQLTime)},
    {SQL_TIMESTAMP, DriverType::kSQLTimeStamp, sizeof(SQLTimeStamp)},
};

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
    case SQL_BLOB:
        d.type = DriverType::kBlob;
        d.subType = field.subType == 1 ? DriverSubType::kMemo : DriverSubType::kBinary;
        break;
    default:
        d.type = DriverType::kUnknown;
        for (const FixedSizeType& fixed : kFixedSizeTypes) {
            if (fixed.sqlType == field.type) {
                d.type = fixed.driverType;
                d.length = fixed.length;
            }
        }
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
    for (const CatalogueType& known : kCatalogueTypes) {
        if (known.code == fieldType) {
            field.type = known.sqlType;
        }
    }
    ColumnDescription d = describe(field, precision);
    if (d.type == DriverType::kString && charLength > 0) {
        d.precision = charLength;
    }
    return d;
}

} // namespace db::firebird
