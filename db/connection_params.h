#pragma once
// The connection's parameter list: ordered name=value lines. Names match
// without regard to case and the first matching line wins; a missing line
// and an empty value read the same.

#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace db {

class ConnectionParams {
public:
    using Line = std::pair<std::string, std::string>;

    ConnectionParams() = default;
    ConnectionParams(std::initializer_list<Line> lines) : lines_(lines) {}

    // The value of the first line with that name, empty when there is none.
    std::string value(std::string_view name) const;
    bool contains(std::string_view name) const;
    // Replaces the value of the first line with that name, or adds a line.
    void setValue(std::string_view name, std::string_view value);
    void add(std::string_view name, std::string_view value);
    void clear() { lines_.clear(); }

    const std::vector<Line>& lines() const { return lines_; }
    bool empty() const { return lines_.empty(); }

private:
    const Line* find(std::string_view name) const;

    std::vector<Line> lines_;
};

} // namespace db
