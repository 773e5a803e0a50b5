#pragma once
// The parser behind RegistryFile, and the name normalisation it shares with
// the look-ups.

#include "config/registry_file.h"

#include <string>
#include <string_view>

namespace config {

// Parses a registry export; raises RegistryError naming source and line.
RegistryKeys parseRegistryExport(std::string_view bytes, std::string_view source);

// "hkey_local_machine\\Software\" -> "HKEY_LOCAL_MACHINE\SOFTWARE": ASCII
// letters upper-cased, empty parts dropped.
std::string normalizeKeyPath(std::string_view keyPath);

// Value names compare without regard to ASCII case.
std::string normalizeValueName(std::string_view name);

} // namespace config
