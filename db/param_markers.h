#pragma once
// Named parameter markers (":name") in SQL text, turned into the positional
// "?" markers the driver prepares.

#include <string>
#include <string_view>
#include <vector>

namespace db {

class ParamMarkers {
public:
    // Replaces every named marker outside quoted text by " ? ". quoteChar is
    // the identifier quote; empty or blank counts as the single quote.
    static std::string replace(std::string_view sql, std::string_view quoteChar);
    // The names of the markers in order of appearance.
    static std::vector<std::string> names(std::string_view sql, std::string_view quoteChar);

private:
    struct Marker {
        std::size_t start; // the colon
        std::size_t end;   // one past the name
    };
    static std::vector<Marker> find(std::string_view sql, std::string_view quoteChar);
};

} // namespace db
