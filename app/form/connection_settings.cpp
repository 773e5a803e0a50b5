#include "app/form/connection_settings.h"

#include "app/form/database_names.h"
#include "db/sql_connection.h"

#include <filesystem>
#include <system_error>

namespace app {

std::unique_ptr<db::SQLConnection> makePelmoraConnection() {
    auto connection = std::make_unique<db::SQLConnection>("Pelmora");
    connection->ConnectionName = "Pelmora";
    connection->DriverName = "Firebird";
    connection->GetDriverFunc = "getSQLDriverFIREBIRD";
    connection->LibraryName = driverLibraryPath();
    connection->VendorLib = "libfbclient.so.2";
    connection->LoginPrompt = false;
    connection->Params = db::ConnectionParams{
        {"DriverName", "Firebird"},
        {"BlobSize", "-1"},
        {"CommitRetain", "False"},
        {"Database", ""},
        {"ErrorResourceFile", ""},
        {"LocaleCode", "0000"},
        {"Password", ""},
        {"RoleName", "RoleName"},
        {"ServerCharSet", ""},
        {"SQLDialect", "3"},
        {"Firebird TransIsolation", "ReadCommited"},
        {"User_Name", ""},
        {"WaitOnLocks", "True"},
    };
    return connection;
}

std::string driverLibraryPath() {
    // dlopen would search the system's library paths for a bare name, not
    // the program's own directory.
    std::error_code failed;
    const std::filesystem::path program = std::filesystem::read_symlink("/proc/self/exe", failed);
    if (failed)
        return kDriverLibraryName;
    const std::filesystem::path besideProgram = program.parent_path() / kDriverLibraryName;
    return std::filesystem::exists(besideProgram, failed) ? besideProgram.string()
                                                          : kDriverLibraryName;
}

std::string companyDatabase(const std::string& serverEntry, const std::string& company) {
    return serverEntry + schema::kCompanyFolder + company + schema::kCompanyFile;
}

} // namespace app
