#pragma once
// A connection set up as the program's window sets up its one connection,
// with the driver library of this build.

#include "db/sql_connection.h"
#include "tests/db/test_database.h"

#include <memory>

namespace db::test {

inline std::unique_ptr<SQLConnection> programConnection(const std::string& database,
                                                        const std::string& user = "SYSDBA",
                                                        const std::string& password = "x") {
    auto c = std::make_unique<SQLConnection>("Pelmora");
    c->DriverName = "Firebird";
    c->GetDriverFunc = "getSQLDriverFIREBIRD";
    c->LibraryName = TestDatabase::driverLibrary();
    c->VendorLib = "libfbclient.so.2";
    c->Params = ConnectionParams{
        {"DriverName", "Firebird"},
        {"BlobSize", "-1"},
        {"CommitRetain", "False"},
        {"Database", database},
        {"ErrorResourceFile", ""},
        {"LocaleCode", "0000"},
        {"Password", password},
        {"RoleName", "RoleName"},
        {"ServerCharSet", ""},
        {"SQLDialect", "3"},
        {"Firebird TransIsolation", "ReadCommited"},
        {"User_Name", user},
        {"WaitOnLocks", "True"},
    };
    return c;
}

} // namespace db::test
