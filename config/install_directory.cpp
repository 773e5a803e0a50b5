#include "config/install_directory.h"

#include "config/registry.h"

namespace config {

namespace {

constexpr const char* kServerListFile = "/SERVIDORES.cfg";

} // namespace

std::optional<std::string> readInstallDirectory(const std::string& registryPath) {
    Registry registry(registryPath);
    if (!registry.openKey(kInstallKey)) {
        return std::nullopt;
    }
    return registry.readString(kInstallValue);
}

std::string serverListPath(const std::string& installDirectory) {
    return installDirectory + kServerListFile;
}

} // namespace config
