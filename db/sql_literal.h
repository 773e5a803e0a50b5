#pragma once
// The one way a value enters SQL text as a literal: enclosed in single
// quotes, every single quote inside doubled.

#include <string>
#include <string_view>

namespace db {

// sqlLiteral("D'9") is 'D''9'; an empty text gives ''.
std::string sqlLiteral(std::string_view text);

} // namespace db
