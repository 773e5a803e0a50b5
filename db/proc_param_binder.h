#pragma once
// Hands a stored procedure's parameters to its statement as the server
// describes them, and reads its output parameters back after a run.

#include "db/proc_param_desc.h"
#include "db/sql_param.h"

#include <vector>

namespace db {

class ProcParamBinder {
public:
    // Binds params[i] at position i + 1 with the direction, driver type,
    // scale and length of descriptions[i]. Throws DatabaseError for a
    // parameter whose data type has no driver type; gives the driver's
    // refusal, if any, back.
    static int bind(ISQLCommand& command, SQLParams& params,
                    const std::vector<ProcParamDesc>& descriptions);

    // Reads every output, input-output and result parameter back.
    static int readBack(ISQLCommand& command, SQLParams& params,
                        const std::vector<ProcParamDesc>& descriptions);

    // The value in the driver interface's binary form of a driver type.
    static std::vector<std::uint8_t> encode(int driverType, int length, const SQLValue& value);
};

} // namespace db
