#pragma once
// What every description of a column says, whether it comes from a command's
// result or travels in a data packet: its name, type and size, and what may
// be written to it.

#include "db/field_type.h"

#include <string>

namespace db {

struct ColumnInfo {
    std::string name;
    FieldType type = FieldType::Unknown;
    // Characters of a string; decimals of a BCD.
    int size = 0;
    // Digits of a BCD.
    int precision = 0;
    bool required = false;
    bool readOnly = false;
};

} // namespace db
