#include "db/sql_table.h"

#include "db/sql_connection.h"

namespace db {

void SQLTable::prepareStatement() {
    if (TableName().empty()) {
        throw DatabaseError(prefixed(kNoStatement));
    }
    checkConnection();
    if (selectText_.empty()) {
        // No index fields are known without metadata, so no order by.
        selectText_ = " select * from " + connection()->quotedObjectName(TableName());
    }
    setNativeText(selectText_);
    setupStatement();
    prepareText(nativeText(), 0);
}

} // namespace db
