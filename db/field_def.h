#pragma once
// The description of one result column of a command, as the data sets see it.

#include "db/column_info.h"

namespace db {

struct FieldDef : ColumnInfo {
    // Marked as a key of the table by whoever writes changes back.
    bool inKey = false;
    // What the driver said of the column; values are read by these.
    int driverType = 0;
    int driverSubType = 0;
    int driverLength = 0;
};

} // namespace db
