#pragma once
// Reads the parameters of a stored procedure from the driver's metadata.

#include "db/proc_param_desc.h"

#include <string>
#include <vector>

namespace db {

class SQLConnection;

class ProcParamReader {
public:
    static constexpr int kListingFailed = 65535;
    static constexpr const char* kUnnamedResult = "Result";

    // The descriptions in the order the driver lists them. A listing that
    // cannot be opened or read raises the metadata's error with code 65535.
    static std::vector<ProcParamDesc> read(SQLConnection& connection,
                                           const std::string& procedureName,
                                           const std::string& packageName);
};

} // namespace db
