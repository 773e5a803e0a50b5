#pragma once
// Splits the text of a filter into names, literals and operators; blanks and
// comments in slash-star ... star-slash are dropped on the way.

#include <string>
#include <string_view>
#include <vector>

namespace dataset {

enum class FilterTokenKind { End, Name, Text, Number, Operator, LParen, RParen, Comma };

struct FilterToken {
    FilterTokenKind kind = FilterTokenKind::End;
    std::string text;
    // A name written in square brackets: never a keyword.
    bool bracketed = false;
};

class FilterTokenizer {
public:
    // Numbers come back with a period in place of the user's separator.
    // Raises db::DatabaseError with the compiler's messages.
    static std::vector<FilterToken> tokenize(std::string_view text, char decimalSeparator);
};

} // namespace dataset
