#include "db/param_markers.h"

#include "platform/text.h"

namespace db {

namespace {

bool startsMarker(char previous) {
    switch (previous) {
    case ' ':
    case '\r':
    case '\n':
    case '(':
    case ')':
    case ',':
    case '<':
    case '=':
    case '>':
        return true;
    default:
        return false;
    }
}

bool endsName(char c) {
    return c == ' ' || c == '\r' || c == '\n' || c == ')' || c == ',';
}

} // namespace

std::vector<ParamMarkers::Marker> ParamMarkers::find(std::string_view sql,
                                                     std::string_view quoteChar) {
    const std::string quoteText = platform::trim(quoteChar);
    const char identifierQuote = quoteText.empty() ? '\'' : quoteText.front();
    std::vector<Marker> markers;
    char openQuote = 0;
    for (std::size_t i = 0; i < sql.size(); ++i) {
        const char c = sql[i];
        if (openQuote != 0) {
            if (c == openQuote) {
                openQuote = 0;
            }
            continue;
        }
        if (c == '\'' || c == identifierQuote) {
            openQuote = c;
            continue;
        }
        if (c != ':' || i == 0 || !startsMarker(sql[i - 1])) {
            continue;
        }
        std::size_t end = i + 1;
        while (end < sql.size() && !endsName(sql[end])) {
            ++end;
        }
        if (end == i + 1) {
            continue; // a colon without a name
        }
        markers.push_back({i, end});
        i = end - 1;
    }
    return markers;
}

std::string ParamMarkers::replace(std::string_view sql, std::string_view quoteChar) {
    std::string result;
    std::size_t done = 0;
    for (const Marker& marker : find(sql, quoteChar)) {
        result.append(sql.substr(done, marker.start - done));
        result += " ? ";
        done = marker.end;
    }
    result.append(sql.substr(done));
    return result;
}

std::vector<std::string> ParamMarkers::names(std::string_view sql, std::string_view quoteChar) {
    std::vector<std::string> result;
    for (const Marker& marker : find(sql, quoteChar)) {
        result.emplace_back(sql.substr(marker.start + 1, marker.end - marker.start - 1));
    }
    return result;
}

} // namespace db
