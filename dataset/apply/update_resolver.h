#pragma once
// Writes the rows of a delta back through a provider's source. The provider
// makes one on its first apply and keeps it.

#include "dataset/apply/provider_service.h"

namespace db {
class SQLCommand;
}

namespace dataset {

class DataSetProvider;

class UpdateResolver {
public:
    virtual ~UpdateResolver() = default;
    // Applies the rows in delta order; gives the error packet or none.
    // rollsBackPastLimit: the caller rolls the transaction back when the
    // error count passes maxErrors, so that every row of the delta is then
    // unsaved and the error packet has to name them all.
    virtual DataPacket resolve(db::SQLCommand& source, const std::vector<std::uint8_t>& delta,
                               int maxErrors, int& errorCount, bool rollsBackPastLimit) = 0;
};

} // namespace dataset
