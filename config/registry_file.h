#pragma once
// A registry export file ("Windows Registry Editor Version 5.00" or
// "REGEDIT4"): sections of keys with named, typed values.

#include <cstdint>
#include <map>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace config {

class RegistryError : public std::runtime_error {
public:
    explicit RegistryError(const std::string& message) : std::runtime_error(message) {}
};

enum class RegistryValueType {
    String,
    ExpandString,
    DWord,
    QWord,
    Binary,
    MultiString,
    None,
    Other
};

struct RegistryValue {
    RegistryValueType type = RegistryValueType::None;
    std::string text;           // String and ExpandString, UTF-8, up to the first zero
    std::vector<uint8_t> bytes; // every other type, raw
};

// Normalised key path (upper-case, no empty parts) -> normalised value name
// (upper-case; "" for the default value) -> value.
using RegistryKeys = std::map<std::string, std::map<std::string, RegistryValue>>;

class RegistryFile {
public:
    // Parses the bytes of a file (UTF-8, or UTF-16LE with a byte-order mark).
    // Raises RegistryError with a clear text naming the line for a malformed
    // file; source, when given, names the file in that text.
    static RegistryFile parse(std::string_view bytes, std::string_view source = {});

    // Reads and parses a file; nullopt when it cannot be read.
    static std::optional<RegistryFile> load(const std::string& path);

    // Key paths are full ("HKEY_LOCAL_MACHINE\Software\X") and compare
    // without regard to case. A key exists when the file names it or any key
    // below it. Value names compare without regard to case too; "" is the
    // default value ("@").
    bool hasKey(std::string_view keyPath) const;
    const RegistryValue* value(std::string_view keyPath, std::string_view name) const;

private:
    explicit RegistryFile(RegistryKeys keys) : keys_(std::move(keys)) {}

    RegistryKeys keys_;
};

} // namespace config
