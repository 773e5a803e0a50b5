#include "platform/text.h"

#include <algorithm>
#include <charconv>

namespace platform {

std::string upper(std::string_view text) {
    std::string result(text);
    std::transform(result.begin(), result.end(), result.begin(), upperAscii);
    return result;
}

std::string lower(std::string_view text) {
    std::string result(text);
    std::transform(result.begin(), result.end(), result.begin(), lowerAscii);
    return result;
}

bool equalsIgnoreCase(std::string_view a, std::string_view b) {
    return a.size() == b.size() && startsWithIgnoreCase(a, b);
}

bool startsWithIgnoreCase(std::string_view text, std::string_view prefix) {
    if (text.size() < prefix.size()) {
        return false;
    }
    for (std::size_t i = 0; i < prefix.size(); ++i) {
        if (upperAscii(text[i]) != upperAscii(prefix[i])) {
            return false;
        }
    }
    return true;
}

int compareIgnoreCase(std::string_view a, std::string_view b) {
    const std::size_t n = std::min(a.size(), b.size());
    for (std::size_t i = 0; i < n; ++i) {
        const int ca = static_cast<unsigned char>(lowerAscii(a[i]));
        const int cb = static_cast<unsigned char>(lowerAscii(b[i]));
        if (ca != cb) {
            return ca < cb ? -1 : 1;
        }
    }
    return a.size() < b.size() ? -1 : (a.size() > b.size() ? 1 : 0);
}

std::string_view trimmedStart(std::string_view text, CharTest blank) {
    while (!text.empty() && blank(text.front())) {
        text.remove_prefix(1);
    }
    return text;
}

std::string_view trimmedEnd(std::string_view text, CharTest blank) {
    while (!text.empty() && blank(text.back())) {
        text.remove_suffix(1);
    }
    return text;
}

std::string_view trimmed(std::string_view text, CharTest blank) {
    return trimmedEnd(trimmedStart(text, blank), blank);
}

std::string trim(std::string_view text) {
    return std::string(trimmed(text));
}

std::string trimLeft(std::string_view text) {
    return std::string(trimmedStart(text));
}

std::optional<std::int64_t> toInteger(std::string_view text) {
    if (!text.empty() && text.front() == '+') {
        text.remove_prefix(1);
    }
    if (text.empty() || text.front() == '+') {
        return std::nullopt;
    }
    std::int64_t value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error != std::errc() || end != text.data() + text.size()) {
        return std::nullopt;
    }
    return value;
}

std::string fill(std::string_view pattern, std::initializer_list<std::string_view> values) {
    std::string result;
    std::size_t from = 0;
    for (const std::string_view value : values) {
        std::size_t at = pattern.find('%', from);
        while (at != std::string_view::npos && at + 1 < pattern.size() && pattern[at + 1] != 's' &&
               pattern[at + 1] != 'd') {
            at = pattern.find('%', at + 1);
        }
        if (at == std::string_view::npos || at + 1 >= pattern.size()) {
            break;
        }
        result.append(pattern.substr(from, at - from)).append(value);
        from = at + 2;
    }
    result.append(pattern.substr(from));
    return result;
}

} // namespace platform
