#pragma once
// Reads one value of the current row of a driver cursor by the column's
// driver type, BCD values brought to their field's precision and scale.

#include "db/field_def.h"
#include "db/sql_driver.h"
#include "db/sql_param.h"

namespace db {

class CursorValueReader {
public:
    static constexpr const char* kBcdOverflow = "BCD overflow";

    // Gives the driver's result code; throws DatabaseError with BcdOverflow
    // for a BCD value that does not fit its field. maxBlobSize 0 reads blobs
    // as null.
    static int read(ISQLCursor& cursor, int column, const FieldDef& def, int maxBlobSize,
                    SQLValue* value);
};

} // namespace db
