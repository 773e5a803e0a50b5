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
#include <optional>
#include <string>

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

    static constexpr const char* kOutcomeUnknown =
        "The server stopped answering while saving the changes: they may have been saved or "
        "not. Read the data again before saving them once more";
    static constexpr const char* kLostBeforeCommit =
        "The connection to the server was lost while saving the changes; nothing was saved";

    ProviderOptions Options;
    // The table each apply writes its batch into (columns LOTE_ID and
    // LOTE_FECHA), so that an unanswered commit can be settled; empty for
    // none. A database without the table saves without batches.
    std::string ApplyLog;
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
    // With an ApplyLog, a commit that goes unanswered raises
    // ApplyOutcomeUnknown with the apply's batch; the same delta sent again
    // with that batch gives the first apply's answer when its commit was
    // made, and is applied when it was not.
    DataPacket applyUpdates(const std::vector<std::uint8_t>& delta, int maxErrors, int& errorCount,
                            const std::string& unsettledBatch = {});
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
    // The apply whose commit went unanswered, with the answer it would have
    // given had it been committed.
    struct Unsettled {
        std::string batch;
        DataPacket errors;
        int errorCount = 0;
    };
    std::optional<Unsettled> unsettled_;
    // The unsettled apply when the client sends its batch back; it is
    // forgotten when the client went on without it.
    std::optional<Unsettled> takeUnsettled(const std::string& batch);
    // Whether the pending apply's commit was made, with the answer it gave
    // (and pending emptied); false when it was not, and this apply goes on
    // under its batch. Raises ApplyOutcomeUnknown while it cannot be told.
    bool settle(std::optional<Unsettled>& pending, bool started, DataPacket& errors,
                int& errorCount);
    void commitOrRollback(bool commit, const std::string& batch, const DataPacket& errors,
                          int errorCount);
};

} // namespace dataset
