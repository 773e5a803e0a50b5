#pragma once
// Turns the column descriptions of a driver cursor into field definitions:
// the field type of each driver type, the BCD rule and unique field names.

#include "db/field_def.h"
#include "db/sql_driver.h"

#include <string>
#include <vector>

namespace db {

class FieldDefBuilder {
public:
    static constexpr int kMaxFmtBcdPrecision = 32;

    // Reads every column of the cursor; gives the driver's result code of
    // the first call that fails, 0 otherwise.
    static int build(ISQLCursor& cursor, bool numericMapping, std::vector<FieldDef>* defs);

    // Type, size and precision of a column of the given driver type.
    static void describe(const DriverTypeDesc& driver, bool numericMapping, FieldDef* def);

    // The name, or the name with "_1", "_2"... when it is already taken.
    static std::string uniqueName(const std::string& name, const std::vector<FieldDef>& taken);
};

} // namespace db
