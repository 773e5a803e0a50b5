#pragma once
// The description of one result column of a command, as the data sets see it.

#include "db/field_type.h"

#include <string>

namespace db {

struct FieldDef {
    std::string name;
    FieldType type = FieldType::Unknown;
    // Characters of a string; decimals of a BCD.
    int size = 0;
    // Digits of a BCD.
    int precision = 0;
    bool required = false;
    bool readOnly = false;
    // Marked as a key of the table by whoever writes changes back.
    bool inKey = false;
    // What the driver said of the column; values are read by these.
    int driverType = 0;
    int driverSubType = 0;
    int driverLength = 0;
};

} // namespace db
