#pragma once
// How the stored parameters of a connection reach the driver: the options set
// on a server connection before it connects, and the sizes read from the
// parameter list afterwards.

#include "db/connection_params.h"
#include "db/sql_driver.h"

#include <cstdint>
#include <string>

namespace db {

class ConnectionSettings {
public:
    static constexpr const char* kNotAnInteger = "'%s' is not a valid integer value";
    static constexpr int kDefaultRowsetSize = 20;

    // Sets the options the parameter list names on a server connection that is
    // not yet connected, in a fixed order, and gives the isolation level the
    // "<driver> TransIsolation" parameter selects.
    static int apply(ISQLConnection& connection, const ConnectionParams& params,
                     const std::string& driverName);
    // The "BlobSize" parameter, else -1 (no limit).
    static std::int64_t blobSize(const ConnectionParams& params);
    // The "RowsetSize" parameter, else the default.
    static std::int64_t rowsetSize(const ConnectionParams& params);
};

} // namespace db
