#include "config/file_bytes.h"

#include <cstdio>
#include <memory>

namespace config {

std::optional<std::string> readFileBytes(const std::string& path) {
    const std::unique_ptr<std::FILE, int (*)(std::FILE*)> file(std::fopen(path.c_str(), "rb"),
                                                               &std::fclose);
    if (!file) {
        return std::nullopt;
    }
    std::string bytes;
    char chunk[65536];
    std::size_t count = 0;
    while ((count = std::fread(chunk, 1, sizeof chunk, file.get())) > 0) {
        bytes.append(chunk, count);
    }
    // A directory opens fine but fails on the first read.
    if (std::ferror(file.get()) != 0) {
        return std::nullopt;
    }
    return bytes;
}

} // namespace config
