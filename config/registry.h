#pragma once
// Read-only access to the machine-wide registry, which on this platform is a
// registry export file (see registry_file.h). Works like the desktop's
// registry accessor: open a key of HKEY_LOCAL_MACHINE, then read its values.

#include "config/registry_file.h"

#include <optional>
#include <string>
#include <string_view>

namespace config {

// The registry layer's text for a value that is not a string; the value's
// name stands in place of %s.
inline constexpr std::string_view kInvalidDataType = "Invalid data type for '%s'";

// The registry file's path: $PELMORA_REGISTRY, else /etc/pelmora/registry.reg.
std::string defaultRegistryPath();

class Registry {
public:
    explicit Registry(std::string filePath = defaultRegistryPath());

    // Opens a key below HKEY_LOCAL_MACHINE without creating it ("\Software\X"
    // or "Software\X"; case does not matter). False when the file or the key
    // is missing; the key open before stays open then. The file is read at
    // the first call; a malformed file raises RegistryError.
    bool openKey(std::string_view keyPath);

    // A string value (plain or expandable, as stored) of the open key; empty
    // when the value or the open key is missing. A value of another type
    // raises RegistryError "Invalid data type for '<name>'".
    std::string readString(std::string_view name) const;

private:
    std::string filePath_;
    bool loaded_ = false;
    std::optional<RegistryFile> file_;
    std::string openKey_;
};

} // namespace config
