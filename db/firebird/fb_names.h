#pragma once
// Object names in Firebird's SQL dialect 3: the quoted form the driver hands
// out for table and procedure names, and the stored form the catalogue keeps.

#include <string>
#include <string_view>

namespace db::firebird {

class FbNames {
public:
    static constexpr char kQuoteChar = '"';

    // A plain identifier is stored upper-cased, so it is quoted upper-cased;
    // a name already in quotes stays as it is; any other name is quoted as
    // written, with inner quotes doubled.
    static std::string quote(std::string_view name);
    // The name as RDB$ tables store it.
    static std::string stored(std::string_view name);

private:
    static bool isPlainIdentifier(std::string_view name);
    static bool isQuoted(std::string_view name);
};

} // namespace db::firebird
