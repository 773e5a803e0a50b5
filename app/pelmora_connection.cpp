#include "app/pelmora_connection.h"

#include <QCoreApplication>
#include <QFileInfo>

#include "db/sql_connection.h"

namespace app {

std::unique_ptr<db::SQLConnection> makePelmoraConnection() {
    auto connection = std::make_unique<db::SQLConnection>("Pelmora");
    connection->ConnectionName = "Pelmora";
    connection->DriverName = "Firebird";
    connection->GetDriverFunc = "getSQLDriverFIREBIRD";
    connection->LibraryName = driverLibraryPath().toStdString();
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

QString driverLibraryPath() {
    const QString name = QString::fromLatin1(kDriverLibraryName);
    // dlopen would search the system's library paths for a bare name, not
    // the program's own directory.
    const QString besideProgram = QCoreApplication::applicationDirPath() + QLatin1Char('/') + name;
    return QFileInfo::exists(besideProgram) ? besideProgram : name;
}

QString companyDatabase(const QString& serverEntry, const QString& company) {
    return serverEntry + QStringLiteral("/datos/") + company + QStringLiteral("/pelmora.fdb");
}

} // namespace app
