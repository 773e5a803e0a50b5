#pragma once
// Serves a client data set with the rows of its source command, packed into
// one data packet, and takes a delta back to apply through a resolver.

#include "dataset/apply/provider_service.h"
#include "dataset/apply/update_resolver.h"
#include "dataset/engine/component.h"
#include "platform/flags.h"

#include <cstdint>
#include <functional>
#include <memory>

namespace db {
class SQLCommand;
}

namespace dataset {

class ClientDataSet;

enum class ProviderOption : std::uint16_t {
    AllowCommandText = 1,
    ReadOnly = 2,
    DisableInserts = 4,
    DisableEdits = 8,
    DisableDeletes = 16,
    AllowMultiRecordUpdates = 32,
};

using ProviderOptions = platform::Flags<ProviderOption>;

enum class UpdateMode { WhereAll, WhereChanged, WhereKeyOnly };

class DataSetProvider : public Component {
public:
    static constexpr const char* kCommandTextNotAllowed = "CommandText changes are not allowed";
    static constexpr const char* kMissingDataSet = "Missing DataSet property";
    static constexpr const char* kReadOnlyProvider = "Cannot apply updates to a ReadOnly provider";

    explicit DataSetProvider(std::string name, ComponentOwner* owner = nullptr);
    ~DataSetProvider() override;

    ProviderOptions Options;
    UpdateMode updateMode = UpdateMode::WhereAll;
    bool ResolveToDataSet = false;

    db::SQLCommand* DataSet() const { return source_; }
    void setDataSet(db::SQLCommand* source);
    // A provider may also be pointed at a client data set; the only thing
    // it then does is refuse the data set itself as its client.
    void setDataSet(ClientDataSet* dataSet);
    const ClientDataSet* clientDataSet() const { return clientDataSet_; }

    // PS_GetRecords' provider side: rows from the source's current row on.
    DataPacket getRecords(int count, int& recsOut, int options, std::string_view commandText,
                          const db::SQLParams& params);
    // PS_ApplyUpdates' provider side: one transaction around the resolver.
    DataPacket applyUpdates(const std::vector<std::uint8_t>& delta, int maxErrors, int& errorCount);
    // Closes the source when this provider opened it; forgets the rows sent.
    void reset();

    using ResolverFactory = std::function<std::unique_ptr<UpdateResolver>(DataSetProvider&)>;
    // How the provider makes its resolver on the first apply; without a
    // factory it is the SQLResolver, which writes changes with generated SQL.
    static void setResolverFactory(ResolverFactory factory);

    bool sourceOpenedByProvider() const { return openedSource_; }
    int rowsSent() const { return rowsSent_; }

private:
    std::vector<std::uint8_t> writePacket(int count, int& written);
    void fetch(int count, int& recsOut, int options);

    db::SQLCommand* source_ = nullptr;
    ClientDataSet* clientDataSet_ = nullptr;
    bool openedSource_ = false;
    int rowsSent_ = 0;
    std::unique_ptr<UpdateResolver> resolver_;
};

} // namespace dataset
