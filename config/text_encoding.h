#pragma once
// Checks and conversions of the two text encodings a registry export may use.

#include <cstddef>
#include <string>
#include <string_view>

namespace config {

// Appends the UTF-16LE text in bytes to out as UTF-8. Stops at the first bad
// code unit (a lone surrogate, or a trailing odd byte) and returns false;
// out then holds the text converted up to there.
bool appendUtf16leAsUtf8(std::string_view bytes, std::string& out);

// True when text is well-formed UTF-8 (no overlong forms, no surrogates,
// nothing above U+10FFFF). Otherwise sets badOffset to the first bad byte.
bool isValidUtf8(std::string_view text, std::size_t& badOffset);

} // namespace config
