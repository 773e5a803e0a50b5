#include "db/sql_literal.h"

namespace db {

std::string sqlLiteral(std::string_view text) {
    std::string literal;
    literal.reserve(text.size() + 2);
    literal += '\'';
    for (const char c : text) {
        if (c == '\'')
            literal += '\'';
        literal += c;
    }
    literal += '\'';
    return literal;
}

} // namespace db
