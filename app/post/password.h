#pragma once
// The database password of the posting tool: from PELMORA_PASSWORD, else
// asked for on the terminal without echo. Never taken from the command line.

#include <optional>
#include <string>

namespace app::post {

inline constexpr const char* kPasswordVariable = "PELMORA_PASSWORD";

// Empty when the variable is unset and there is no terminal to ask on.
std::optional<std::string> readPassword();

} // namespace app::post
