#pragma once
// Text helpers shared by every layer: ASCII case rules, trimming, strict
// integer reading and the filling of message texts with their values.

#include <cstdint>
#include <initializer_list>
#include <optional>
#include <string>
#include <string_view>

namespace platform {

// Only the letters A-Z and a-z change case; every other byte stays.
constexpr char upperAscii(char c) {
    return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c;
}
constexpr char lowerAscii(char c) {
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}
std::string upper(std::string_view text);
std::string lower(std::string_view text);
bool equalsIgnoreCase(std::string_view a, std::string_view b);
bool startsWithIgnoreCase(std::string_view text, std::string_view prefix);
// Orders two texts as their lower-case forms order: below, at or above zero.
int compareIgnoreCase(std::string_view a, std::string_view b);

using CharTest = bool (*)(char);
constexpr bool isControlOrSpace(char c) {
    return static_cast<unsigned char>(c) <= ' ';
}
// The text without the characters blank accepts at the start, the end or both.
std::string_view trimmedStart(std::string_view text, CharTest blank = isControlOrSpace);
std::string_view trimmedEnd(std::string_view text, CharTest blank = isControlOrSpace);
std::string_view trimmed(std::string_view text, CharTest blank = isControlOrSpace);
// Drops characters of code 32 and below at both ends.
std::string trim(std::string_view text);
// Drops characters of code 32 and below at the start.
std::string trimLeft(std::string_view text);

// A decimal integer with an optional sign and nothing else.
std::optional<std::int64_t> toInteger(std::string_view text);

// The pattern with its "%s" and "%d" markers replaced, in order, by the
// values; markers beyond the values stay, values beyond the markers are
// dropped. The values themselves are never searched for markers.
std::string fill(std::string_view pattern, std::initializer_list<std::string_view> values);
inline std::string fill(std::string_view pattern, std::string_view value) {
    return fill(pattern, {value});
}

} // namespace platform
