#pragma once
// What a client data set asks of its provider: all rows of a command as one
// packet, and the apply of a delta.

#include "db/sql_param.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace dataset {

// Options of PS_GetRecords, a bit set.
struct GetRecordsOption {
    static constexpr int kMetaData = 1;
    static constexpr int kReset = 2;
};

using DataPacket = std::optional<std::vector<std::uint8_t>>;

class IProviderService {
public:
    virtual ~IProviderService() = default;
    // count -1: every row. Gives the packet, or none.
    virtual DataPacket PS_GetRecords(std::string_view providerName, int count, int& recsOut,
                                     int options, std::string_view commandText,
                                     db::SQLParams& params, std::string& ownerData) = 0;
    // Gives the error packet, or none when no row failed.
    virtual DataPacket PS_ApplyUpdates(std::string_view providerName,
                                       const std::vector<std::uint8_t>& delta, int maxErrors,
                                       int& errorCount, std::string& ownerData) = 0;
};

} // namespace dataset
