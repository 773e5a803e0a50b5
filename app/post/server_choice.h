#pragma once
// The server entry the posting tool works on, chosen from the program's
// server list (SERVIDORES.cfg in the install directory the registry names)
// by its text or its line number.

#include <stdexcept>
#include <string>

namespace app::post {

// The registry or the server list could not be read.
class ConfigurationError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// The entry as written in the list, or that of line `choice` (from 1).
// Raises ConfigurationError when the list cannot be found, and UsageError
// when no entry matches.
std::string chooseServerEntry(const std::string& choice);

} // namespace app::post
