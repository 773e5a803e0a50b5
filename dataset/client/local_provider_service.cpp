#include "dataset/client/local_provider_service.h"

#include "dataset/apply/apply_log.h"
#include "dataset/apply/data_set_provider.h"
#include "db/database_error.h"

#include <exception>

namespace dataset {
namespace {

// The provider's own error class stays on its side; its text comes back.
template <typename Call> auto crossBoundary(Call call) {
    try {
        return call();
    } catch (const ApplyOutcomeUnknown&) {
        // Its batch is what settles the apply later.
        throw;
    } catch (const std::exception& error) {
        throw db::DatabaseError(error.what());
    }
}

} // namespace

DataPacket LocalProviderService::PS_GetRecords(std::string_view /*providerName*/, int count,
                                               int& recsOut, int options,
                                               std::string_view commandText, db::SQLParams& params,
                                               std::string& /*ownerData*/) {
    return crossBoundary(
        [&] { return provider_.getRecords(count, recsOut, options, commandText, params); });
}

DataPacket LocalProviderService::PS_ApplyUpdates(std::string_view /*providerName*/,
                                                 const std::vector<std::uint8_t>& delta,
                                                 int maxErrors, int& errorCount,
                                                 std::string& ownerData) {
    return crossBoundary(
        [&] { return provider_.applyUpdates(delta, maxErrors, errorCount, ownerData); });
}

} // namespace dataset
