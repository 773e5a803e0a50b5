#pragma once
// The in-process link between a client data set and its provider. Errors
// of the provider's side cross it as their message text alone.

#include "dataset/apply/provider_service.h"

namespace dataset {

class DataSetProvider;

class LocalProviderService : public IProviderService {
public:
    explicit LocalProviderService(DataSetProvider& provider) : provider_(provider) {}

    DataSetProvider& provider() const { return provider_; }

    DataPacket PS_GetRecords(std::string_view providerName, int count, int& recsOut, int options,
                             std::string_view commandText, db::SQLParams& params,
                             std::string& ownerData) override;
    DataPacket PS_ApplyUpdates(std::string_view providerName,
                               const std::vector<std::uint8_t>& delta, int maxErrors,
                               int& errorCount, std::string& ownerData) override;

private:
    DataSetProvider& provider_;
};

} // namespace dataset
