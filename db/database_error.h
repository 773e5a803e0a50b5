#pragma once
// The errors of the database and data-set layers. Each carries the fixed text
// that the user sees; the application's error handler shows it as it is.

#include <stdexcept>
#include <string>

namespace db {

class DatabaseError : public std::runtime_error {
public:
    explicit DatabaseError(const std::string& message) : std::runtime_error(message) {}
};

} // namespace db
