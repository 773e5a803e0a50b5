#include "config/server_list.h"

#include "config/file_bytes.h"

#include <optional>

namespace config {

std::vector<std::string> parseServerList(std::string_view bytes) {
    std::vector<std::string> entries;
    std::size_t start = 0;
    while (start < bytes.size()) {
        std::size_t end = bytes.find_first_of("\r\n", start);
        const bool lastLine = end == std::string_view::npos;
        if (lastLine) {
            end = bytes.size();
        }
        std::string_view line = bytes.substr(start, end - start);
        line = line.substr(0, line.find('\0'));
        entries.emplace_back(line);
        if (lastLine) {
            break;
        }
        start = end + 1;
        if (bytes[end] == '\r' && start < bytes.size() && bytes[start] == '\n') {
            ++start;
        }
    }
    return entries;
}

std::vector<std::string> readServerList(const std::string& path) {
    const std::optional<std::string> bytes = readFileBytes(path);
    return bytes ? parseServerList(*bytes) : std::vector<std::string>{};
}

} // namespace config
