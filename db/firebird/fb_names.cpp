#include "db/firebird/fb_names.h"

#include "platform/text.h"

namespace db::firebird {

namespace {

// Only spaces pad a name.
std::string trimmed(std::string_view name) {
    return std::string(platform::trimmed(name, [](char c) { return c == ' '; }));
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
    return name.size() >= 2 && name.front() == kQuoteChar && name.back() == kQuoteChar;
}

std::string FbNames::quote(std::string_view name) {
    const std::string text = trimmed(name);
    if (isQuoted(text)) {
        return text;
    }
    std::string quoted(1, kQuoteChar);
    const bool plain = isPlainIdentifier(text);
    for (const char c : text) {
        if (c == kQuoteChar) {
            quoted += kQuoteChar;
        }
        quoted += plain ? platform::upperAscii(c) : c;
    }
    quoted += kQuoteChar;
    return quoted;
}

std::string FbNames::stored(std::string_view name) {
    const std::string text = trimmed(name);
    if (!isQuoted(text)) {
        std::string result;
        for (const char c : text) {
            result += isPlainIdentifier(text) ? platform::upperAscii(c) : c;
        }
        return result;
    }
    std::string result;
    for (std::size_t i = 1; i + 1 < text.size(); ++i) {
        result += text[i];
        if (text[i] == kQuoteChar && i + 2 < text.size() && text[i + 1] == kQuoteChar) {
            ++i;
        }
    }
    return result;
}

} // namespace db::firebird
