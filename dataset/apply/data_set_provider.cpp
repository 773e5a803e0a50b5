#include "dataset/apply/data_set_provider.h"

#include "dataset/apply/apply_log.h"
#include "dataset/apply/sql_resolver.h"
#include "dataset/engine/packet_writer.h"
#include "db/database_error.h"
#include "db/sql_command.h"
#include "db/sql_connection.h"

namespace dataset {
namespace {

DataSetProvider::ResolverFactory& resolverFactory() {
    static DataSetProvider::ResolverFactory factory;
    return factory;
}

std::vector<ColumnDesc> columnsOf(const db::SQLCommand& source) {
    std::vector<ColumnDesc> columns;
    columns.reserve(source.fieldDefs().size());
    for (const db::FieldDef& def : source.fieldDefs()) {
        ColumnDesc column{def, {}};
        // Written only when they differ from InUpdate + InWhere.
        if (def.inKey) {
            const ProviderFlags flags = kDefaultProviderFlags + ProviderFlag::InKey;
            column.attributes.push_back({"PROVFLAGS", std::int64_t{flags.bits()}, true});
        }
        columns.push_back(std::move(column));
    }
    return columns;
}

} // namespace

DataSetProvider::DataSetProvider(std::string name, ComponentOwner* owner)
    : Component(std::move(name), owner) {}

DataSetProvider::~DataSetProvider() = default;

void DataSetProvider::setDataSet(db::SQLCommand* source) {
    source_ = source;
    clientDataSet_ = nullptr;
}

void DataSetProvider::setDataSet(ClientDataSet* dataSet) {
    source_ = nullptr;
    clientDataSet_ = dataSet;
}

void DataSetProvider::setResolverFactory(ResolverFactory factory) {
    resolverFactory() = std::move(factory);
}

DataPacket DataSetProvider::getRecords(int count, int& recsOut, int options,
                                       std::string_view commandText, const db::SQLParams& params) {
    recsOut = 0;
    try {
        if (!commandText.empty()) {
            if (!Options.has(ProviderOption::AllowCommandText)) {
                throw db::DatabaseError(kCommandTextNotAllowed);
            }
            if (source_ == nullptr) {
                throw db::DatabaseError(kMissingDataSet);
            }
            source_->psSetCommandText(commandText);
        }
        if (!params.empty() && source_ != nullptr) {
            source_->psSetParams(params);
        }
        if ((options & GetRecordsOption::kReset) != 0) {
            reset();
            if (count == 0) {
                return std::nullopt;
            }
        }
        if (source_ == nullptr) {
            throw db::DatabaseError(kMissingDataSet);
        }
        if (!source_->active()) {
            source_->open();
            openedSource_ = true;
        }
        int written = 0;
        std::vector<std::uint8_t> packet = writePacket(count, written);
        rowsSent_ += written;
        recsOut = written;
        if (written != count) {
            reset();
        }
        return packet;
    } catch (...) {
        // Whatever failed, the shared query must not stay open for the next
        // data set that reads through it.
        try {
            reset();
        } catch (...) {
        }
        throw;
    }
}

std::vector<std::uint8_t> DataSetProvider::writePacket(int count, int& written) {
    std::vector<PacketAttribute> attributes = source_->psGetAttributes();
    // The edits this provider refuses are refused by its clients too.
    for (const auto& [option, name] :
         {std::pair{ProviderOption::DisableEdits, "DISABLE_EDITS"},
          std::pair{ProviderOption::DisableInserts, "DISABLE_INSERTS"},
          std::pair{ProviderOption::DisableDeletes, "DISABLE_DELETES"}}) {
        if (Options.has(option)) {
            attributes.push_back({name, std::int64_t{1}, true});
        }
    }
    PacketWriter writer(columnsOf(*source_), attributes);
    const std::size_t columns = source_->fieldDefs().size();
    written = 0;
    while ((count < 0 || written < count) && !source_->eof()) {
        writer.beginRow();
        for (std::size_t c = 0; c < columns; ++c) {
            writer.addValue(source_->value(c));
        }
        writer.endRow();
        ++written;
        source_->next();
    }
    return writer.finish();
}

void DataSetProvider::reset() {
    if (source_ == nullptr) {
        rowsSent_ = 0;
        openedSource_ = false;
        return;
    }
    if (openedSource_) {
        openedSource_ = false;
        source_->close();
    }
    source_->psReset();
    // A forward-only command cannot go back to its first row; one that was
    // open before the request stays where it is.
    rowsSent_ = 0;
}

DataPacket DataSetProvider::applyUpdates(const std::vector<std::uint8_t>& delta, int maxErrors,
                                         int& errorCount, const std::string& unsettledBatch) {
    errorCount = 0;
    if (source_ == nullptr) {
        throw db::DatabaseError(kMissingDataSet);
    }
    std::optional<Unsettled> pending = takeUnsettled(unsettledBatch);
    bool started = false;
    if (!source_->psInTransaction()) {
        source_->psStartTransaction();
        started = true;
    }
    DataPacket errors;
    std::string batch;
    try {
        if (pending) {
            if (settle(pending, started, errors, errorCount)) {
                return errors;
            }
            // Not saved: this apply carries the batch on.
            batch = std::move(pending->batch);
            pending.reset();
        }
        if (!resolver_) {
            resolver_ =
                resolverFactory() ? resolverFactory()(*this) : std::make_unique<SQLResolver>(*this);
        }
        if (Options.has(ProviderOption::ReadOnly)) {
            throw db::DatabaseError(kReadOnlyProvider);
        }
        errors = resolver_->resolve(*source_, delta, maxErrors, errorCount, started);
        const bool commit = errorCount <= maxErrors || maxErrors == -1;
        if (batch.empty() && started && commit && !ApplyLog.empty() && source_->psInTransaction()) {
            const std::string id = apply_log::newBatchId();
            if (apply_log::write(*source_, ApplyLog, id)) {
                batch = id;
            }
        }
    } catch (...) {
        // The client keeps every change when the apply fails, so none of
        // them may stay in the database either.
        if (started && source_->psInTransaction()) {
            source_->psEndTransaction(false);
        }
        if (pending) {
            unsettled_ = std::move(pending);
        }
        throw;
    }
    if (started && source_->psInTransaction()) {
        commitOrRollback(errorCount <= maxErrors || maxErrors == -1, batch, errors, errorCount);
    } else if (started && source_->connection() != nullptr &&
               source_->connection()->connectionLost()) {
        // The transaction went with the connection, whatever the resolver
        // made of it: nothing was committed.
        throw db::DatabaseError(kLostBeforeCommit);
    }
    return errors;
}

std::optional<DataSetProvider::Unsettled> DataSetProvider::takeUnsettled(const std::string& batch) {
    std::optional<Unsettled> pending = std::move(unsettled_);
    unsettled_.reset();
    if (pending && (batch.empty() || batch != pending->batch)) {
        // The client went on without it (it read its rows again).
        pending.reset();
    }
    return pending;
}

bool DataSetProvider::settle(std::optional<Unsettled>& pending, bool started, DataPacket& errors,
                             int& errorCount) {
    // Writing the batch again in this transaction decides it even while the
    // first commit is still being made: the key waits for that transaction,
    // then collides when it was committed and goes in when it was not. When
    // it went in, the changes are applied under the same batch.
    if (apply_log::write(*source_, ApplyLog, pending->batch)) {
        return false;
    }
    if (started) {
        source_->psEndTransaction(false);
    }
    if (!apply_log::contains(*source_, ApplyLog, pending->batch)) {
        // Neither written nor found: the first commit still holds the batch
        // (a server that does not wait for locks). Still unknown.
        throw ApplyOutcomeUnknown(pending->batch);
    }
    errors = std::move(pending->errors);
    errorCount = pending->errorCount;
    pending.reset();
    return true;
}

void DataSetProvider::commitOrRollback(bool commit, const std::string& batch,
                                       const DataPacket& errors, int errorCount) {
    try {
        source_->psEndTransaction(commit);
    } catch (const db::DatabaseError&) {
        const db::SQLConnection* connection = source_->connection();
        if (!commit || connection == nullptr || !connection->connectionLost()) {
            throw;
        }
        // The commit was sent and the server went away: it may have been
        // made or not, and only the batch can tell which.
        if (batch.empty()) {
            throw db::DatabaseError(kOutcomeUnknown);
        }
        unsettled_ = Unsettled{batch, errors, errorCount};
        throw ApplyOutcomeUnknown(batch);
    }
}

} // namespace dataset
