#pragma once
// Where the suite is installed, and the server list file inside it.

#include <optional>
#include <string>

namespace config {

inline constexpr const char* kInstallKey = "\\Software\\Dranek\\PelmoraERP2024";
inline constexpr const char* kInstallValue = "Directorio";

// The install directory from the registry value "Directorio"; empty when the
// value is missing or empty, nullopt when the key cannot be opened.
// Raises RegistryError for a value of a non-string type or a malformed file.
std::optional<std::string> readInstallDirectory(const std::string& registryPath);

// The install directory followed by "/SERVIDORES.cfg".
std::string serverListPath(const std::string& installDirectory);

} // namespace config
