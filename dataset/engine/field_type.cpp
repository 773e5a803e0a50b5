#include "dataset/engine/field_type.h"

namespace dataset {

int fieldTypeFamily(FieldType type) {
    switch (type) {
    case FieldType::String:
    case FieldType::FixedChar:
        return 1;
    case FieldType::SmallInt:
    case FieldType::Integer:
    case FieldType::AutoInc:
        return 2;
    case FieldType::Float:
    case FieldType::Currency:
        return 3;
    case FieldType::Date:
    case FieldType::Time:
    case FieldType::DateTime:
        return 4;
    case FieldType::Blob:
    case FieldType::Memo:
    case FieldType::Graphic:
    case FieldType::FmtMemo:
        return 5;
    // Each of the others is a family of its own.
    case FieldType::LargeInt:
        return 10;
    case FieldType::Boolean:
        return 11;
    case FieldType::BCD:
        return 12;
    case FieldType::FMTBcd:
        return 13;
    case FieldType::TimeStamp:
        return 14;
    case FieldType::Bytes:
        return 15;
    case FieldType::VarBytes:
        return 16;
    case FieldType::Unknown:
        return 0;
    }
    return 0;
}

bool sameFieldTypeFamily(FieldType a, FieldType b) {
    return fieldTypeFamily(a) == fieldTypeFamily(b);
}

std::string_view fieldTypeName(FieldType type) {
    switch (type) {
    case FieldType::Unknown:
        return "Unknown";
    case FieldType::String:
        return "String";
    case FieldType::FixedChar:
        return "FixedChar";
    case FieldType::SmallInt:
        return "SmallInt";
    case FieldType::Integer:
        return "Integer";
    case FieldType::LargeInt:
        return "LargeInt";
    case FieldType::AutoInc:
        return "AutoInc";
    case FieldType::Boolean:
        return "Boolean";
    case FieldType::Float:
        return "Float";
    case FieldType::Currency:
        return "Currency";
    case FieldType::BCD:
        return "BCD";
    case FieldType::FMTBcd:
        return "FMTBcd";
    case FieldType::Date:
        return "Date";
    case FieldType::Time:
        return "Time";
    case FieldType::DateTime:
        return "DateTime";
    case FieldType::TimeStamp:
        return "TimeStamp";
    case FieldType::Bytes:
        return "Bytes";
    case FieldType::VarBytes:
        return "VarBytes";
    case FieldType::Blob:
        return "Blob";
    case FieldType::Memo:
        return "Memo";
    case FieldType::Graphic:
        return "Graphic";
    case FieldType::FmtMemo:
        return "FmtMemo";
    }
    return "Unknown";
}

bool isStringType(FieldType type) {
    return type == FieldType::String || type == FieldType::FixedChar;
}

bool isIntegerType(FieldType type) {
    return type == FieldType::SmallInt || type == FieldType::Integer ||
           type == FieldType::LargeInt || type == FieldType::AutoInc || type == FieldType::Boolean;
}

bool isBlobType(FieldType type) {
    return type == FieldType::Blob || type == FieldType::Memo || type == FieldType::Graphic ||
           type == FieldType::FmtMemo;
}

} // namespace dataset
