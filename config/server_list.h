#pragma once
// The server list file: one server entry per line.

#include <string>
#include <string_view>
#include <vector>

namespace config {

// Splits the file's bytes into entries. CR LF, LF and a lone CR each end a
// line; the last line counts even without a line end; empty lines give empty
// entries; nothing is trimmed, duplicates stay, long lines stay whole; a byte
// 0 ends the entry's text and the rest of its line is dropped.
std::vector<std::string> parseServerList(std::string_view bytes);

// Reads the file; an unreadable or missing file gives an empty list.
std::vector<std::string> readServerList(const std::string& path);

} // namespace config
