#pragma once
// Small text helpers of the database layer: ASCII case rules, trimming as the
// connection settings need it, and strict integer reading.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace db {

class TextUtil {
public:
    static bool equalsIgnoreCase(std::string_view a, std::string_view b);
    static std::string upper(std::string_view text);
    static std::string lower(std::string_view text);
    // Drops characters of code 32 and below at both ends.
    static std::string trim(std::string_view text);
    // Drops characters of code 32 and below at the start.
    static std::string trimLeft(std::string_view text);
    // The pattern with its first "%s" replaced by value.
    static std::string format(std::string_view pattern, std::string_view value);
    // A decimal integer with an optional sign and nothing else.
    static std::optional<std::int64_t> toInteger(std::string_view text);
};

} // namespace db
