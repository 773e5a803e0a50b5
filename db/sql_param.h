#pragma once
// A parameter of a statement: name, data type, direction and value.

#include "db/bcd.h"
#include "db/field_type.h"
#include "db/sql_driver.h"

#include <cstdint>
#include <string>
#include <variant>
#include <vector>

namespace db {

// Texts for String, FixedChar and Memo; integers for the integer types and
// Boolean; double for Float and Currency; Bcd for BCD and FMTBcd; bytes for
// Bytes, VarBytes and the blob kinds. monostate is null.
using SQLValue = std::variant<std::monostate, std::string, std::int64_t, double, Bcd, SQLDate,
                              SQLTime, SQLTimeStamp, std::vector<std::uint8_t>>;

struct SQLParam {
    std::string name;
    FieldType dataType = FieldType::Unknown;
    ParamDirection direction = ParamDirection::Unknown;
    SQLValue value;

    bool isNull() const { return std::holds_alternative<std::monostate>(value); }
};

using SQLParams = std::vector<SQLParam>;

} // namespace db
