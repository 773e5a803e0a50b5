#pragma once
// Reads a whole file as raw bytes.

#include <optional>
#include <string>

namespace config {

// The file's bytes; nullopt when it cannot be opened or read (missing,
// unreadable, a directory).
std::optional<std::string> readFileBytes(const std::string& path);

} // namespace config
