// Fuzzes the server list parser against the rules every result must keep.

#include "config/server_list.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    const std::vector<std::string> entries = config::parseServerList(bytes);

    const auto lineEnds = static_cast<std::size_t>(
        std::count_if(bytes.begin(), bytes.end(), [](char c) { return c == '\r' || c == '\n'; }));
    std::size_t characters = 0;
    for (const std::string& entry : entries) {
        if (entry.find_first_of(std::string_view("\r\n\0", 3)) != std::string::npos) {
            std::abort();
        }
        characters += entry.size();
    }
    // Every byte lands in at most one entry; every entry but the last ends
    // with a line end; a non-empty file has at least one entry.
    if (characters > size || entries.size() > lineEnds + 1 || (size > 0) != !entries.empty()) {
        std::abort();
    }
    // Without zeros and lone CRs nothing but the line ends is lost.
    if (bytes.find('\0') == std::string_view::npos && bytes.find('\r') == std::string_view::npos &&
        characters + lineEnds != size) {
        std::abort();
    }
    return 0;
}
