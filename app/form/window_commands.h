#pragma once
// The four commands of the main window on its connection, with the settings
// the window stores for them.

#include "db/sql_query.h"
#include "db/sql_stored_proc.h"
#include "db/sql_table.h"

#include <memory>

namespace db {
class SQLConnection;
}

namespace app {

struct WindowCommands {
    std::unique_ptr<db::SQLQuery> SQLQuery1;
    std::unique_ptr<db::SQLTable> TPuntos;
    std::unique_ptr<db::SQLTable> TAjuste;
    std::unique_ptr<db::SQLStoredProc> Scontapend;

    // Builds them as the window loads them: settings first, the connection
    // last, so that nothing is read from the server yet.
    static WindowCommands create(db::SQLConnection& Pelmora);
};

} // namespace app
