#pragma once
// The engine's store of one data set: the rows of one packet in packet order,
// the rows written since, and the change log with the original values of
// modified and deleted rows. The delta and the merge serve applying changes.

#include "dataset/engine/packet_reader.h"
#include "dataset/engine/row_codec.h"

#include <cstdint>
#include <deque>
#include <memory>
#include <optional>
#include <vector>

namespace dataset {

// Stable identity of a row for the life of the store; serves as bookmark.
using RowId = std::uint32_t;

class EngineStore {
public:
    // Loads every row of the packet; raises "Invalid data packet" when
    // malformed.
    explicit EngineStore(std::vector<std::uint8_t> packet);
    EngineStore(const EngineStore&) = delete;
    EngineStore& operator=(const EngineStore&) = delete;

    const std::vector<ColumnDesc>& columns() const { return packet_.columns; }
    const std::vector<PacketAttribute>& attributes() const { return packet_.attributes; }
    const PacketAttribute* attribute(std::string_view name) const;
    const RowCodec& codec() const { return codec_; }

    // Live rows in store order.
    std::size_t size() const { return order_.size(); }
    RowId rowAt(std::size_t index) const { return order_[index]; }
    // The index of a row, trying the hint and the last row first; empty when
    // the row is gone.
    std::optional<std::size_t> indexOf(RowId row, std::size_t hint = 0) const;
    RowBytes record(RowId row) const;
    Value value(RowId row, std::size_t column) const { return codec_.value(record(row), column); }

    // Inserts a row before the row at index (size() appends); logged.
    RowId insert(std::size_t index, std::span<const Value> values);
    // Replaces a row's values; logged with its original values.
    void modify(RowId row, std::span<const Value> values);
    // Removes a row; logged with its original values.
    void remove(RowId row);

    // Grows with every change, so that cursors know to rebuild their view.
    std::uint64_t version() const { return version_; }

    // Entries of the change log: one per row inserted, modified or deleted.
    int changeCount() const { return changeCount_; }
    // The change log as a packet: inserted rows, each modified row as its
    // original (unmodified) and its changes (modified, unchanged columns
    // marked so), deleted rows with their original values; in log order.
    std::vector<std::uint8_t> delta() const;
    // Takes every change into the rows and empties the change log.
    void mergeChangeLog();
    // Merges every change except those of the listed delta record numbers,
    // which stay in the change log.
    void reconcile(const std::vector<std::uint32_t>& keptDeltaRecords);
    // The rows whose changes the listed delta records belong to.
    std::vector<RowId> changedRows(const std::vector<std::uint32_t>& deltaRecords) const;

    // A modification or deletion whose row, as the change found it, is no
    // longer among the rows read again.
    struct LostChange {
        RowId row;
        RowStatus status;
        std::vector<Value> original;
        // Empty for a deletion.
        std::vector<Value> current;
    };
    // The changes, other than those of the rows dropping, that fresh (the
    // rows read again, with the same columns) no longer finds.
    std::vector<LostChange> lostChanges(const EngineStore& fresh,
                                        const std::vector<RowId>& dropping) const;
    // Takes fresh as the rows the provider sent: the rows dropping lose
    // their changes and go; rows without a change that fresh no longer holds
    // go; every other change stays; the fresh rows that none of the rows
    // held are added at the end, not logged.
    void refresh(const EngineStore& fresh, const std::vector<RowId>& dropping);

    // A copy with rows and change log, for a reconcile view.
    std::unique_ptr<EngineStore> clone() const;

    // Bytes held for rows and the log beyond the packet, for measuring.
    std::size_t memoryUsed() const;

private:
    enum class ChangeKind : std::uint8_t { None, Inserted, Modified, Deleted };
    struct Record {
        // Owned records live in owned_; packet rows in packet_.bytes.
        std::int32_t owned;
        std::uint32_t offset;
        std::uint32_t size;
    };
    struct Change {
        RowId row;
        ChangeKind kind;
        Record original;
    };

    EngineStore() = default;
    RowBytes bytesOf(const Record& record) const;
    Record store(std::span<const Value> values);
    void log(RowId row, ChangeKind kind, const Record& original);
    void dropChange(RowId row);
    // Removes the entries dropped from the change log.
    void compactChanges();
    std::vector<Value> valuesOf(const Record& record) const;
    // Which changes and unchanged rows fresh still holds.
    struct Matching {
        // Per entry of changes_.
        std::vector<bool> lostChange;
        // Per row: an unchanged row that fresh no longer holds.
        std::vector<bool> lostRow;
        // The fresh rows that none of the rows held.
        std::vector<std::size_t> added;
    };
    Matching match(const EngineStore& fresh, const std::vector<RowId>& dropping) const;
    template <typename Visit> void walkDelta(Visit visit) const;

    Packet packet_;
    RowCodec codec_{{}};
    std::deque<std::vector<std::uint8_t>> owned_;
    std::vector<Record> records_;
    std::vector<RowId> order_;
    std::vector<Change> changes_;
    // Per row, its entry in changes_, -1 when none.
    std::vector<std::int32_t> changeOf_;
    int changeCount_ = 0;
    std::uint64_t version_ = 0;
};

} // namespace dataset
