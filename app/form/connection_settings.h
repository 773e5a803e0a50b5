#pragma once
// The window's one connection, `Pelmora`, with its stored driver settings and
// parameter list. No credentials are stored: sign-in supplies the database,
// the user name and the password.

#include <memory>
#include <string>

namespace db {
class SQLConnection;
}

namespace app {

inline constexpr const char* kDriverLibraryName = "libsqldrvfb.so";

std::unique_ptr<db::SQLConnection> makePelmoraConnection();

// The driver library installed beside the program.
std::string driverLibraryPath();

// The company's database: the server entry, "/datos/", the company code and
// "/pelmora.fdb".
std::string companyDatabase(const std::string& serverEntry, const std::string& company);

} // namespace app
