#pragma once
// Applies a delta with generated SQL: one statement per changed row, in
// delta order, on the provider's source; rows that fail are counted and
// written into an error packet instead of being raised.

#include "dataset/apply/update_kinds.h"
#include "dataset/apply/update_resolver.h"
#include "dataset/apply/update_sql_builder.h"

#include <functional>
#include <map>
#include <memory>

namespace dataset {

class ErrorPacketBuilder;
struct Packet;

class SQLResolver : public UpdateResolver {
public:
    static constexpr const char* kMultipleRecords = "Update affected more than 1 record.";
    static constexpr const char* kRecordChanged = "Record not found or changed by another user";
    static constexpr const char* kNoTableName = "Unable to resolve records.  Table name not found.";
    static constexpr const char* kInsertsNotAllowed = "Inserts are not allowed";
    static constexpr const char* kModificationsNotAllowed = "Modifications are not allowed";
    static constexpr const char* kDeletesNotAllowed = "Deletes are not allowed";
    static constexpr const char* kInvalidResponse = "Invalid response";
    // Given to the other rows of an apply whose transaction was rolled back,
    // because one statement changed several rows or because too many rows
    // failed: none of them is saved. Their error code is NotSavedCode, as
    // they failed for no fault of their own.
    static constexpr const char* kRolledBack =
        "Changes not saved: another record of this update affected more than 1 record.";
    static constexpr const char* kLimitRolledBack =
        "Changes not saved: another record of this update was refused.";
    static constexpr int kNotSavedCode = -1;

    explicit SQLResolver(DataSetProvider& provider);
    ~SQLResolver() override;

    DataPacket resolve(db::SQLCommand& source, const std::vector<std::uint8_t>& delta,
                       int maxErrors, int& errorCount, bool rollsBackPastLimit) override;

    // Sees every statement before it reaches the connection.
    using StatementObserver = std::function<void(const std::string&, const db::SQLParams&)>;
    void setStatementObserver(StatementObserver observer) { observer_ = std::move(observer); }

private:
    struct Apply;
    void applyRow(Apply& apply, UpdateKind kind, std::size_t recordNo, const RowValues& row);
    // The rows the statement took; more than expected is refused.
    std::int64_t execute(Apply& apply, const UpdateStatement& statement, std::size_t expected);
    void rowFailed(Apply& apply, std::size_t recordNo, const RowValues& row,
                   const std::string& message);
    std::vector<std::optional<Value>> readCurrent(Apply& apply, const RowValues& row);
    // Names the changed rows from `from` on that the error packet does not
    // name yet, those deleted with an identical row only when appliedToo;
    // gives the number of changed rows.
    int logUnsaved(Apply& apply, const char* message, std::size_t from, bool appliedToo);
    // For the first of each group of identical deleted rows, the others.
    static std::map<std::size_t, std::vector<std::size_t>> deletionTwins(const Packet& delta);

    DataSetProvider& provider_;
    StatementObserver observer_;
};

} // namespace dataset
