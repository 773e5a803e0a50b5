#include "db/text_util.h"

#include <charconv>

namespace db {

namespace {
char upperChar(char c) {
    return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c;
}
char lowerChar(char c) {
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}
bool isSpace(char c) {
    return static_cast<unsigned char>(c) <= ' ';
}
} // namespace

bool TextUtil::equalsIgnoreCase(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) {
        return false;
    }
    for (std::size_t i = 0; i < a.size(); ++i) {
        if (upperChar(a[i]) != upperChar(b[i])) {
            return false;
        }
    }
    return true;
}

std::string TextUtil::upper(std::string_view text) {
    std::string result(text);
    for (char& c : result) {
        c = upperChar(c);
    }
    return result;
}

std::string TextUtil::lower(std::string_view text) {
    std::string result(text);
    for (char& c : result) {
        c = lowerChar(c);
    }
    return result;
}

std::string TextUtil::trim(std::string_view text) {
    std::size_t first = 0;
    std::size_t last = text.size();
    while (first < last && isSpace(text[first])) {
        ++first;
    }
    while (last > first && isSpace(text[last - 1])) {
        --last;
    }
    return std::string(text.substr(first, last - first));
}

std::string TextUtil::trimLeft(std::string_view text) {
    std::size_t first = 0;
    while (first < text.size() && isSpace(text[first])) {
        ++first;
    }
    return std::string(text.substr(first));
}

std::string TextUtil::format(std::string_view pattern, std::string_view value) {
    const auto at = pattern.find("%s");
    if (at == std::string_view::npos) {
        return std::string(pattern);
    }
    std::string result(pattern.substr(0, at));
    result.append(value);
    result.append(pattern.substr(at + 2));
    return result;
}

std::optional<std::int64_t> TextUtil::toInteger(std::string_view text) {
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

} // namespace db
