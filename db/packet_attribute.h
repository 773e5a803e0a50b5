#pragma once
// A named attribute that a provider writes into a data packet.

#include "db/sql_param.h"

#include <string>

namespace db {

struct PacketAttribute {
    std::string name;
    SQLValue value;
    // Whether the attribute travels with the change log (delta) too.
    bool inDelta = true;
};

} // namespace db
