#include "config/install_directory.h"
#include "config/registry_file.h"
#include "config/server_list.h"
#include "temp_dir.h"
#include "utf16.h"

#include <gtest/gtest.h>
#include <string>

namespace {

using config::readInstallDirectory;
using config::RegistryError;
using config::serverListPath;

const std::string kRegistryStart = "Windows Registry Editor Version 5.00\r\n\r\n"
                                   "[HKEY_LOCAL_MACHINE\\SOFTWARE\\Dranek\\PelmoraERP2024]\r\n";

TEST(InstallDirectory, MissingRegistryFileMeansNoKey) {
    testing_support::TempDir dir;
    EXPECT_EQ(readInstallDirectory(dir.path() + "/registry.reg"), std::nullopt);
}

TEST(InstallDirectory, MissingKeyMeansNoKey) {
    testing_support::TempDir dir;
    const std::string path = dir.write(
        "registry.reg",
        "REGEDIT4\r\n[HKEY_LOCAL_MACHINE\\Software\\Dranek]\r\n\"Directorio\"=\"/x\"\r\n");
    EXPECT_EQ(readInstallDirectory(path), std::nullopt);
}

TEST(InstallDirectory, ReadsThePlainOrExpandableValue) {
    testing_support::TempDir dir;
    EXPECT_EQ(readInstallDirectory(
                  dir.write("a.reg", kRegistryStart + "\"Directorio\"=\"/opt/pelmora\"\r\n")),
              "/opt/pelmora");
    const std::string hex =
        testing_support::hexList(testing_support::utf16le(std::string("/opt/Año\0", 10)));
    EXPECT_EQ(readInstallDirectory(
                  dir.write("b.reg", kRegistryStart + "\"Directorio\"=hex(2):" + hex + "\r\n")),
              "/opt/Año");
}

TEST(InstallDirectory, ValueOfAnotherTypeRaises) {
    testing_support::TempDir dir;
    const std::string path =
        dir.write("a.reg", kRegistryStart + "\"Directorio\"=dword:00000001\r\n");
    try {
        readInstallDirectory(path);
        FAIL() << "read a dword as the directory";
    } catch (const RegistryError& error) {
        EXPECT_EQ(std::string(error.what()), "Invalid data type for 'Directorio'");
    }
}

TEST(InstallDirectory, ServerListPath) {
    EXPECT_EQ(serverListPath("/opt/pelmora"), "/opt/pelmora/SERVIDORES.cfg");
    EXPECT_EQ(serverListPath(""), "/SERVIDORES.cfg");
}

TEST(InstallDirectory, FromRegistryToServerList) {
    testing_support::TempDir dir;
    dir.write("SERVIDORES.cfg", "localhost:/srv/\r\n/var/lib/pelmora/\r\n");
    const std::string registry =
        dir.write("registry.reg", kRegistryStart + "\"Directorio\"=\"" + dir.path() + "\"\r\n");
    const std::optional<std::string> installDirectory = readInstallDirectory(registry);
    ASSERT_TRUE(installDirectory.has_value());
    EXPECT_EQ(config::readServerList(serverListPath(*installDirectory)),
              (std::vector<std::string>{"localhost:/srv/", "/var/lib/pelmora/"}));
}

} // namespace
