#include "config/registry_file.h"

#include "config/file_bytes.h"
#include "config/registry_parser.h"

namespace config {

RegistryFile RegistryFile::parse(std::string_view bytes, std::string_view source) {
    return RegistryFile(parseRegistryExport(bytes, source));
}

std::optional<RegistryFile> RegistryFile::load(const std::string& path) {
    const std::optional<std::string> bytes = readFileBytes(path);
    if (!bytes) {
        return std::nullopt;
    }
    return parse(*bytes, path);
}

bool RegistryFile::hasKey(std::string_view keyPath) const {
    const std::string key = normalizeKeyPath(keyPath);
    if (key.empty()) {
        return false;
    }
    if (keys_.contains(key)) {
        return true;
    }
    // A key named only through one below it exists as well. Every key below
    // sorts at or after "KEY\", and the first of them starts with it.
    const std::string below = key + '\\';
    const auto next = keys_.lower_bound(below);
    return next != keys_.end() && next->first.starts_with(below);
}

const RegistryValue* RegistryFile::value(std::string_view keyPath, std::string_view name) const {
    const auto key = keys_.find(normalizeKeyPath(keyPath));
    if (key == keys_.end()) {
        return nullptr;
    }
    const auto found = key->second.find(normalizeValueName(name));
    return found == key->second.end() ? nullptr : &found->second;
}

} // namespace config
