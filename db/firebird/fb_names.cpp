#include "db/firebird/fb_names.h"

namespace db::firebird {

namespace {

char upper(char c) {
    return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c;
}

std::string trimmed(std::string_view name) {
    const auto first = name.find_first_not_of(' ');
    if (first == std::string_view::npos) {
        return {};
    }
    const auto last = name.find_last_not_of(' ');
    return std::string(name.substr(first, last - first + 1));
}

} // namespace

bool FbNames::isPlainIdentifier(std::string_view name) {
    if (name.empty() ||
        !((name[0] >= 'A' && name[0] <= 'Z') || (name[0] >= 'a' && name[0] <= 'z'))) {
        return false;
    }
    for (const char c : name) {
        const bool ok = (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') ||
                        (c >= '0' && c <= '9') || c == '_' || c == '$';
        if (!ok) {
            return false;
        }
    }
    return true;
}

bool FbNames::isQuoted(std::string_view name) {
    return name.size() >= 2 && name.front() == QuoteChar && name.back() == QuoteChar;
}

std::string FbNames::quote(std::string_view name) {
    const std::string text = trimmed(name);
    if (isQuoted(text)) {
        return text;
    }
    std::string quoted(1, QuoteChar);
    const bool plain = isPlainIdentifier(text);
    for (const char c : text) {
        if (c == QuoteChar) {
            quoted += QuoteChar;
        }
        quoted += plain ? upper(c) : c;
    }
    quoted += QuoteChar;
    return quoted;
}

std::string FbNames::stored(std::string_view name) {
    const std::string text = trimmed(name);
    if (!isQuoted(text)) {
        std::string result;
        for (const char c : text) {
            result += isPlainIdentifier(text) ? upper(c) : c;
        }
        return result;
    }
    std::string result;
    for (std::size_t i = 1; i + 1 < text.size(); ++i) {
        result += text[i];
        if (text[i] == QuoteChar && i + 2 < text.size() && text[i + 1] == QuoteChar) {
            ++i;
        }
    }
    return result;
}

} // namespace db::firebird
