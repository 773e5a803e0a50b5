#include "dataset/apply/sql_resolver.h"

#include "dataset/apply/data_set_provider.h"
#include "dataset/apply/error_packet_builder.h"
#include "dataset/apply/update_error.h"
#include "dataset/engine/packet_reader.h"
#include "dataset/filter/filter_expression.h"
#include "db/sql_command.h"
#include "db/sql_connection.h"
#include "platform/text.h"

#include <algorithm>
#include <climits>
#include <map>
#include <string_view>

namespace dataset {

struct SQLResolver::Apply {
    db::SQLCommand& source;
    const Packet& delta;
    const RowCodec& codec;
    const UpdateSqlBuilder& builder;
    bool tableNamed;
    int maxErrors;
    int errorCount = 0;
    ResolverResponse previous = ResolverResponse::Skip;
    std::unique_ptr<ErrorPacketBuilder> errors;
    // Set when a statement changed several rows and the transaction went.
    bool rolledBack = false;
    // The later deletions of rows identical to the one a deletion names.
    std::map<std::size_t, std::vector<std::size_t>> twins;
    // Deletions done by the statement of an identical row before them.
    std::vector<bool> covered;
};

namespace {

std::string textAttribute(const PacketAttribute* attribute) {
    if (attribute == nullptr) {
        return {};
    }
    if (const auto* text = std::get_if<std::string>(&attribute->value)) {
        return *text;
    }
    return {};
}

std::vector<ResolveColumn> resolveColumns(const Packet& delta, const std::string& keyFields) {
    std::vector<ResolveColumn> columns;
    for (const ColumnDesc& desc : delta.columns) {
        ResolveColumn column;
        column.type = desc.type;
        column.size = desc.size;
        column.readOnly = desc.readOnly;
        if (const PacketAttribute* flags = desc.attribute("PROVFLAGS")) {
            if (const auto* bits = std::get_if<std::int64_t>(&flags->value)) {
                column.flags = ProviderFlags::fromBits(static_cast<std::uint8_t>(*bits));
            }
        }
        if (const PacketAttribute* calc = desc.attribute("SERVER_CALC")) {
            const auto* on = std::get_if<std::int64_t>(&calc->value);
            column.serverCalculated = on != nullptr && *on != 0;
        }
        column.origin =
            UpdateSqlBuilder::originColumn(textAttribute(desc.attribute("ORIGIN")), desc.name);
        columns.push_back(std::move(column));
    }
    const bool anyKey = std::any_of(columns.begin(), columns.end(), [](const ResolveColumn& c) {
        return c.flags.has(ProviderFlag::InKey);
    });
    if (!anyKey && !keyFields.empty()) {
        std::size_t start = 0;
        for (;;) {
            const std::size_t end = keyFields.find(';', start);
            const std::string_view key = std::string_view(keyFields).substr(
                start, end == std::string::npos ? end : end - start);
            for (ResolveColumn& column : columns) {
                if (platform::equalsIgnoreCase(column.origin, key)) {
                    column.flags = column.flags + ProviderFlag::InKey;
                }
            }
            if (end == std::string::npos) {
                break;
            }
            start = end + 1;
        }
    }
    return columns;
}

std::vector<std::optional<Value>> cells(const RowCodec& codec, RowBytes row) {
    std::vector<std::optional<Value>> values(codec.columnCount());
    for (std::size_t c = 0; c < values.size(); ++c) {
        if (codec.state(row, c) != CellState::Unchanged) {
            values[c] = codec.value(row, c);
        }
    }
    return values;
}

// A new value equal to the old one (the same decimal in another precision,
// say) changes nothing and is not written.
std::vector<std::optional<Value>> changedCells(const RowCodec& codec, RowBytes original,
                                               RowBytes modified) {
    std::vector<std::optional<Value>> values = cells(codec, modified);
    for (std::size_t c = 0; c < values.size(); ++c) {
        if (!values[c] || codec.state(original, c) == CellState::Unchanged) {
            continue;
        }
        const Value old = codec.value(original, c);
        const bool bothNull = std::holds_alternative<std::monostate>(old) &&
                              std::holds_alternative<std::monostate>(*values[c]);
        const std::optional<int> order = FilterExpression::compare(old, *values[c], false);
        if (bothNull || (order && *order == 0)) {
            values[c].reset();
        }
    }
    return values;
}

} // namespace

SQLResolver::SQLResolver(DataSetProvider& provider) : provider_(provider) {}

SQLResolver::~SQLResolver() = default;

DataPacket SQLResolver::resolve(db::SQLCommand& source, const std::vector<std::uint8_t>& delta,
                                int maxErrors, int& errorCount, bool rollsBackPastLimit) {
    const Packet packet = PacketReader::read(delta);
    std::vector<FieldType> types;
    for (const ColumnDesc& column : packet.columns) {
        types.push_back(column.type);
    }
    const RowCodec codec(types);

    std::string table = textAttribute(packet.attribute("TABLE_NAME"));
    if (table.empty()) {
        table = source.psGetTableName();
    }
    const std::string quote = source.psGetQuoteChar();
    std::string quoted = UpdateSqlBuilder::quoteTableName(table, quote, source.psIsSQLBased());
    const UpdateSqlBuilder builder(resolveColumns(packet, source.psGetKeyFields()), quote, quoted,
                                   provider_.updateMode);

    Apply apply{source,
                packet,
                codec,
                builder,
                !quoted.empty(),
                maxErrors == -1 ? INT_MAX : maxErrors,
                0,
                ResolverResponse::Skip,
                nullptr,
                false,
                {},
                {}};
    const std::size_t rows = packet.rows.size();
    apply.twins = deletionTwins(packet);
    apply.covered.assign(rows, false);
    bool stoppedEarly = false;
    std::size_t last = 0;
    for (std::size_t i = 0; i < rows; ++i) {
        const RowBytes row = packet.row(i);
        switch (RowCodec::status(row)) {
        case RowStatus::Inserted:
            applyRow(apply, UpdateKind::Insert, i, {{}, cells(codec, row)});
            break;
        case RowStatus::Deleted:
            if (apply.covered[i]) {
                // Gone with an identical row deleted before it.
                continue;
            }
            applyRow(apply, UpdateKind::Delete, i,
                     {cells(codec, row), std::vector<std::optional<Value>>(codec.columnCount())});
            break;
        case RowStatus::Unmodified:
            if (i + 1 < rows && RowCodec::status(packet.row(i + 1)) == RowStatus::Modified) {
                ++i;
                applyRow(apply, UpdateKind::Modify, i,
                         {cells(codec, row), changedCells(codec, row, packet.row(i))});
                break;
            }
            continue;
        case RowStatus::Modified:
            continue;
        }
        last = i;
        if (apply.rolledBack || apply.errorCount > apply.maxErrors) {
            stoppedEarly = i + 1 < rows;
            break;
        }
    }
    if (apply.rolledBack) {
        // The rollback undid every row applied so far, and the rows after it
        // would run outside any transaction: the whole apply failed.
        apply.errorCount = std::max(apply.errorCount, logUnsaved(apply, kRolledBack, 0, true));
    } else if (rollsBackPastLimit && maxErrors != -1 && apply.errorCount > maxErrors) {
        // The rows applied before the failure go with the rollback, and the
        // rows after it were never tried.
        logUnsaved(apply, kLimitRolledBack, 0, true);
    } else if (stoppedEarly) {
        // The rows applied stay in the caller's transaction; those after the
        // failure were never tried.
        logUnsaved(apply, kLimitRolledBack, last + 1, false);
    }
    errorCount = apply.errorCount;
    if (!apply.errors) {
        return std::nullopt;
    }
    return apply.errors->finish();
}

void SQLResolver::applyRow(Apply& apply, UpdateKind kind, std::size_t recordNo,
                           const RowValues& row) {
    std::string message;
    try {
        const ProviderOptions options = provider_.Options;
        if (kind == UpdateKind::Modify && options.has(ProviderOption::DisableEdits)) {
            throw db::DatabaseError(kModificationsNotAllowed);
        }
        if (kind == UpdateKind::Insert && options.has(ProviderOption::DisableInserts)) {
            throw db::DatabaseError(kInsertsNotAllowed);
        }
        if (kind == UpdateKind::Delete && options.has(ProviderOption::DisableDeletes)) {
            throw db::DatabaseError(kDeletesNotAllowed);
        }
        if (!apply.tableNamed) {
            throw db::DatabaseError(kNoTableName);
        }
        switch (kind) {
        case UpdateKind::Insert:
            execute(apply, apply.builder.insertion(row), 1);
            break;
        case UpdateKind::Modify:
            if (const auto statement = apply.builder.modification(row)) {
                execute(apply, *statement, 1);
            }
            break;
        case UpdateKind::Delete: {
            // Identical rows cannot be told apart: one statement deletes them
            // all, and counts for as many of their deletions as rows it took.
            const auto twins = apply.twins.find(recordNo);
            const std::vector<std::size_t>* later =
                twins == apply.twins.end() ? nullptr : &twins->second;
            const std::int64_t taken =
                execute(apply, apply.builder.deletion(row), 1 + (later ? later->size() : 0));
            for (std::size_t t = 0; later && t + 1 < static_cast<std::size_t>(taken); ++t) {
                apply.covered[(*later)[t]] = true;
            }
            break;
        }
        }
        return;
    } catch (const std::exception& error) {
        // A lost connection took the transaction with it: no row after it
        // may be tried, nor would it run in this transaction.
        if (const db::SQLConnection* connection = apply.source.connection();
            connection != nullptr && connection->connectionLost()) {
            throw;
        }
        message = apply.source.psGetUpdateException(&error, nullptr).what();
    } catch (...) {
        message = apply.source.psGetUpdateException(nullptr, nullptr).what();
    }
    rowFailed(apply, recordNo, row, UpdateError(message, 0).what());
}

std::int64_t SQLResolver::execute(Apply& apply, const UpdateStatement& statement,
                                  std::size_t expected) {
    if (observer_) {
        observer_(statement.text, statement.params);
    }
    const std::int64_t rows = apply.source.psExecuteStatement(statement.text, statement.params);
    if (rows > static_cast<std::int64_t>(expected) &&
        !provider_.Options.has(ProviderOption::AllowMultiRecordUpdates)) {
        // Set first: should the rollback fail, nothing more may run.
        apply.rolledBack = true;
        if (apply.source.psInTransaction()) {
            apply.source.psEndTransaction(false);
        }
        throw db::DatabaseError(kMultipleRecords);
    }
    if (rows < 1) {
        throw db::DatabaseError(kRecordChanged);
    }
    return rows;
}

std::vector<std::optional<Value>> SQLResolver::readCurrent(Apply& apply, const RowValues& row) {
    std::vector<std::optional<Value>> current;
    try {
        std::vector<std::size_t> columns;
        const UpdateStatement statement = apply.builder.conflictRead(row, columns);
        std::unique_ptr<db::SQLCommand> result;
        apply.source.psExecuteStatement(statement.text, statement.params, &result);
        if (result && !result->eof()) {
            current.resize(apply.codec.columnCount());
            for (std::size_t i = 0; i < columns.size(); ++i) {
                current[columns[i]] = result->value(i);
            }
        }
    } catch (...) {
        // The current values only help a reconcile handler; without them
        // the row is reported all the same.
        current.clear();
    }
    return current;
}

void SQLResolver::rowFailed(Apply& apply, std::size_t recordNo, const RowValues& row,
                            const std::string& message) {
    ResolverResponse response =
        apply.errorCount >= apply.maxErrors ? ResolverResponse::Abort : ResolverResponse::Skip;
    // After a forced rollback the transaction is gone: nothing more is read.
    const std::vector<std::optional<Value>> current =
        apply.rolledBack ? std::vector<std::optional<Value>>() : readCurrent(apply, row);
    ++apply.errorCount;
    if (apply.errorCount > apply.maxErrors) {
        response = ResolverResponse::Abort;
    }
    if (response == ResolverResponse::Abort) {
        apply.maxErrors = apply.errorCount - 1;
    }
    if (!apply.errors) {
        apply.errors = std::make_unique<ErrorPacketBuilder>(apply.delta.columns);
    }
    apply.errors->log(recordNo, RowCodec::status(apply.delta.row(recordNo)), response, message, 1,
                      0, current);
    apply.previous = response;
}

int SQLResolver::logUnsaved(Apply& apply, const char* message, std::size_t from, bool appliedToo) {
    if (!apply.errors) {
        apply.errors = std::make_unique<ErrorPacketBuilder>(apply.delta.columns);
    }
    int changed = 0;
    const std::size_t rows = apply.delta.rows.size();
    for (std::size_t i = 0; i < rows; ++i) {
        const RowStatus status = RowCodec::status(apply.delta.row(i));
        if (status == RowStatus::Unmodified) {
            continue;
        }
        ++changed;
        if (i < from || (apply.covered[i] && !appliedToo) || apply.errors->logged(i)) {
            continue;
        }
        apply.errors->log(i, status, ResolverResponse::Abort, message, kNotSavedCode, 0, {});
    }
    return changed;
}

std::map<std::size_t, std::vector<std::size_t>> SQLResolver::deletionTwins(const Packet& delta) {
    std::map<std::string_view, std::vector<std::size_t>> byValues;
    for (std::size_t i = 0; i < delta.rows.size(); ++i) {
        const RowBytes row = delta.row(i);
        if (RowCodec::status(row) == RowStatus::Deleted) {
            byValues[std::string_view(reinterpret_cast<const char*>(row.data()), row.size())]
                .push_back(i);
        }
    }
    std::map<std::size_t, std::vector<std::size_t>> twins;
    for (const auto& [values, rows] : byValues) {
        if (rows.size() > 1) {
            twins[rows.front()].assign(rows.begin() + 1, rows.end());
        }
    }
    return twins;
}

} // namespace dataset
