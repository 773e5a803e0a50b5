#pragma once
// The one place where a driver's result code and the failing object's own
// message become the text of a DatabaseError.

#include "db/sql_driver.h"

#include <string>

namespace db {

class DriverErrorText {
public:
    // The error table's text for a code, empty for a code it does not list.
    static std::string tableText(int code);

    // "Driver Error: <table text>", CR LF, "SQL Server Error: <driver message>",
    // each line only when it has something to say; failing both, lastError,
    // and failing that the unknown-code text. source may be null.
    static std::string build(int code, ISQLErrorSource* source, const std::string& lastError);

    // The driver's message of an object, empty when it has none.
    static std::string driverMessage(ISQLErrorSource* source);
};

} // namespace db
