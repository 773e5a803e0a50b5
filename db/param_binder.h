#pragma once
// Hands a parameter list to a driver statement by position, each value in
// the driver interface's binary form.

#include "db/sql_param.h"

namespace db {

class ParamBinder {
public:
    // The text raised for a parameter whose data type has no driver type.
    static constexpr const char* kNoValueForParameter = "No value for parameter '%s'";

    struct Failure {
        int code = DriverResult::kSuccess;
        std::size_t index = 0;
    };

    // Binds params[i] at position i + 1. Throws DatabaseError for a data type
    // without a driver type; gives the driver's refusal, if any, back.
    static Failure bind(ISQLCommand& command, SQLParams& params);
    // The same for a list that is left as it is: a direction left Unknown
    // is bound as In.
    static Failure bind(ISQLCommand& command, const SQLParams& params);

    // The driver type and subtype of a data type; DriverType::Unknown when none.
    static int driverType(FieldType type, int* subType);
};

} // namespace db
