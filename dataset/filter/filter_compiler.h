#pragma once
// Compiles the text of a filter or of a locate into a FilterExpression.
// Locating compiles with extended syntax off; filters with it on.

#include "dataset/filter/filter_expression.h"
#include "dataset/filter/filter_options.h"

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

namespace dataset {

class FilterCompiler {
public:
    static constexpr const char* kUnterminatedName = "Unterminated field name";
    static constexpr const char* kUnterminatedString = "Unterminated string constant";
    static constexpr const char* kNoArithmetic = "Arithmetic in filter expressions not supported";
    static constexpr const char* kInvalidCharacter = "Invalid filter expression character: '%s'";
    static constexpr const char* kFieldNotFound = "Field '%s' not found";
    static constexpr const char* kInvalidDate = "'%s' is not a valid date";
    static constexpr const char* kExpressionExpected = "Expression expected but %s found";
    static constexpr const char* kCloseExpected = "')' expected but %s found";
    static constexpr const char* kTypeMismatch = "Type mismatch in expression";
    static constexpr const char* kInvalidKeyword = "Invalid use of keyword";
    static constexpr const char* kOpenExpected = "'(' expected but %s found";
    static constexpr const char* kCloseOrCommaExpected = "')' or ',' expected but %s found";
    static constexpr const char* kEmptyInList = "IN predicate list may not be empty";
    // Parentheses and NOTs nested beyond any real filter; refused before they
    // exhaust the stack.
    static constexpr const char* kNestedTooDeeply = "Filter expression nested too deeply";

    // What a name in the text stands for: a field object bound to a column.
    struct FieldRef {
        std::size_t column;
        FieldType type;
        int size;
    };
    using FieldLookup = std::function<std::optional<FieldRef>(std::string_view name)>;
    using DateParser = std::function<std::optional<db::SQLDate>(std::string_view text)>;

    FieldLookup lookup;
    DateParser parseDate;
    bool extendedSyntax = true;
    // The user's decimal separator, which numbers in the text use.
    char decimalSeparator = '.';
    FilterOptions options;

    // Raises db::DatabaseError with the compiler's messages.
    std::unique_ptr<FilterExpression> compile(std::string_view text) const;
};

} // namespace dataset
