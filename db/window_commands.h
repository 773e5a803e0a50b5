#pragma once
// The four commands of the main window on its connection, with the settings
// the window stores for them.

#include "db/sql_query.h"
#include "db/sql_stored_proc.h"
#include "db/sql_table.h"

#include <memory>

namespace db {

class SQLConnection;

struct WindowCommands {
    std::unique_ptr<SQLQuery> SQLQuery1;
    std::unique_ptr<SQLTable> TPuntos;
    std::unique_ptr<SQLTable> TAjuste;
    std::unique_ptr<SQLStoredProc> Scontapend;

    // Builds them as the window loads them: settings first, the connection
    // last, so that nothing is read from the server yet.
    static WindowCommands create(SQLConnection& Pelmora);
};

} // namespace db
