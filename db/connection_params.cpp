#include "db/connection_params.h"

#include "platform/text.h"

namespace db {

const ConnectionParams::Line* ConnectionParams::find(std::string_view name) const {
    for (const Line& line : lines_) {
        if (platform::equalsIgnoreCase(line.first, name)) {
            return &line;
        }
    }
    return nullptr;
}

std::string ConnectionParams::value(std::string_view name) const {
    const Line* line = find(name);
    return line != nullptr ? line->second : std::string();
}

bool ConnectionParams::contains(std::string_view name) const {
    return find(name) != nullptr;
}

void ConnectionParams::setValue(std::string_view name, std::string_view value) {
    for (Line& line : lines_) {
        if (platform::equalsIgnoreCase(line.first, name)) {
            line.second = std::string(value);
            return;
        }
    }
    add(name, value);
}

void ConnectionParams::add(std::string_view name, std::string_view value) {
    lines_.emplace_back(std::string(name), std::string(value));
}

} // namespace db
