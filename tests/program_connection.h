#pragma once
// The program's one connection, with the driver library of this build and
// the database and credentials filled in, not yet connected.

#include "app/form/connection_settings.h"
#include "db/sql_connection.h"
#include "tests/test_database.h"

#include <memory>

namespace db::test {

inline std::unique_ptr<SQLConnection> programConnection(const std::string& database,
                                                        const std::string& user = "SYSDBA",
                                                        const std::string& password = "x") {
    auto c = app::makePelmoraConnection();
    c->LibraryName = TestDatabase::driverLibrary();
    c->Params.setValue("Database", database);
    c->Params.setValue("User_Name", user);
    c->Params.setValue("Password", password);
    return c;
}

} // namespace db::test
