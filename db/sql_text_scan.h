#pragma once
// What the provider support reads out of a query's text: its first word,
// the table after FROM and the fields after ORDER BY.

#include <string>
#include <string_view>

namespace db {

class SqlTextScan {
public:
    // The first word, upper-cased.
    static std::string firstWord(std::string_view sql);
    // The name that follows the first FROM outside quoted text, empty when none.
    static std::string tableName(std::string_view sql);
    // The fields of an ORDER BY outside quoted text, joined by ";".
    static std::string orderByFields(std::string_view sql);
};

} // namespace db
