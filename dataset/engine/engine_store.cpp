#include "dataset/engine/engine_store.h"

#include "dataset/engine/data_set_engine_error.h"
#include "dataset/engine/packet_writer.h"
#include "dataset/engine/row_matcher.h"

#include <algorithm>

namespace dataset {
namespace {

std::vector<FieldType> typesOf(const std::vector<ColumnDesc>& columns) {
    std::vector<FieldType> types;
    for (const ColumnDesc& column : columns) {
        types.push_back(column.type);
    }
    return types;
}

[[noreturn]] void noSuchRow() {
    throw DataSetEngineError(EngineStatus::NoSuchRow, "Record not found");
}

} // namespace

EngineStore::EngineStore(std::vector<std::uint8_t> packet)
    : packet_(PacketReader::read(std::move(packet))), codec_(typesOf(packet_.columns)) {
    const std::size_t rows = packet_.rows.size();
    records_.reserve(rows);
    order_.reserve(rows);
    for (std::size_t i = 0; i < rows; ++i) {
        records_.push_back({-1, packet_.rows[i].offset, packet_.rows[i].size});
        order_.push_back(static_cast<RowId>(i));
    }
    changeOf_.assign(rows, -1);
    // The offsets now live in records_.
    packet_.rows = {};
}

const PacketAttribute* EngineStore::attribute(std::string_view name) const {
    return packet_.attribute(name);
}

RowBytes EngineStore::bytesOf(const Record& record) const {
    const std::uint8_t* base = record.owned < 0
                                   ? packet_.bytes.data()
                                   : owned_[static_cast<std::size_t>(record.owned)].data();
    return RowBytes(base + record.offset, record.size);
}

RowBytes EngineStore::record(RowId row) const {
    if (row >= records_.size()) {
        noSuchRow();
    }
    return bytesOf(records_[row]);
}

std::optional<std::size_t> EngineStore::indexOf(RowId row, std::size_t hint) const {
    if (hint < order_.size() && order_[hint] == row) {
        return hint;
    }
    // Appending asks for the last row.
    if (!order_.empty() && order_.back() == row) {
        return order_.size() - 1;
    }
    auto found = std::find(order_.begin(), order_.end(), row);
    if (found == order_.end()) {
        return std::nullopt;
    }
    return static_cast<std::size_t>(found - order_.begin());
}

EngineStore::Record EngineStore::store(std::span<const Value> values) {
    std::vector<std::uint8_t> bytes;
    codec_.encode(bytes, RowStatus::Unmodified, values);
    owned_.push_back(std::move(bytes));
    return {static_cast<std::int32_t>(owned_.size() - 1), 0,
            static_cast<std::uint32_t>(owned_.back().size())};
}

void EngineStore::log(RowId row, ChangeKind kind, const Record& original) {
    changeOf_[row] = static_cast<std::int32_t>(changes_.size());
    changes_.push_back({row, kind, original});
    ++changeCount_;
}

void EngineStore::dropChange(RowId row) {
    const std::int32_t at = changeOf_[row];
    if (at >= 0) {
        changes_[static_cast<std::size_t>(at)].kind = ChangeKind::None;
        changeOf_[row] = -1;
        --changeCount_;
    }
}

RowId EngineStore::insert(std::size_t index, std::span<const Value> values) {
    if (index > order_.size()) {
        noSuchRow();
    }
    const Record record = store(values);
    const auto row = static_cast<RowId>(records_.size());
    records_.push_back(record);
    changeOf_.push_back(-1);
    order_.insert(order_.begin() + static_cast<std::ptrdiff_t>(index), row);
    log(row, ChangeKind::Inserted, record);
    ++version_;
    return row;
}

void EngineStore::modify(RowId row, std::span<const Value> values) {
    if (!indexOf(row)) {
        noSuchRow();
    }
    const Record before = records_[row];
    records_[row] = store(values);
    // An inserted row stays an insertion; a modified row keeps its first
    // original values.
    if (changeOf_[row] < 0) {
        log(row, ChangeKind::Modified, before);
    }
    ++version_;
}

void EngineStore::remove(RowId row) {
    const std::optional<std::size_t> index = indexOf(row);
    if (!index) {
        noSuchRow();
    }
    order_.erase(order_.begin() + static_cast<std::ptrdiff_t>(*index));
    const std::int32_t at = changeOf_[row];
    if (at < 0) {
        log(row, ChangeKind::Deleted, records_[row]);
    } else {
        Change& change = changes_[static_cast<std::size_t>(at)];
        if (change.kind == ChangeKind::Inserted) {
            // A row that never reached the database leaves no trace.
            dropChange(row);
        } else {
            // Deleting a modified row deletes what the database holds: the
            // original values. The entry moves to the end, in deletion order.
            const Record original = change.original;
            dropChange(row);
            log(row, ChangeKind::Deleted, original);
        }
    }
    ++version_;
}

template <typename Visit> void EngineStore::walkDelta(Visit visit) const {
    std::uint32_t recordNo = 0;
    for (std::size_t i = 0; i < changes_.size(); ++i) {
        const Change& change = changes_[i];
        switch (change.kind) {
        case ChangeKind::None:
            break;
        case ChangeKind::Inserted:
        case ChangeKind::Deleted:
            visit(i, recordNo, 1u);
            recordNo += 1;
            break;
        case ChangeKind::Modified:
            visit(i, recordNo, 2u);
            recordNo += 2;
            break;
        }
    }
}

std::vector<std::uint8_t> EngineStore::delta() const {
    std::vector<PacketAttribute> attributes;
    for (const PacketAttribute& attribute : packet_.attributes) {
        if (attribute.inDelta) {
            attributes.push_back(attribute);
        }
    }
    PacketWriter writer(packet_.columns, attributes);
    walkDelta([&](std::size_t i, std::uint32_t, std::uint32_t) {
        const Change& change = changes_[i];
        switch (change.kind) {
        case ChangeKind::Inserted:
            writer.addEncodedRow(RowStatus::Inserted, bytesOf(records_[change.row]));
            break;
        case ChangeKind::Deleted:
            writer.addEncodedRow(RowStatus::Deleted, bytesOf(change.original));
            break;
        case ChangeKind::Modified: {
            const RowBytes original = bytesOf(change.original);
            const RowBytes current = bytesOf(records_[change.row]);
            writer.addEncodedRow(RowStatus::Unmodified, original);
            std::vector<Value> values(codec_.columnCount());
            std::vector<bool> unchanged(codec_.columnCount());
            for (std::size_t c = 0; c < values.size(); ++c) {
                unchanged[c] = codec_.sameCell(original, current, c);
                if (!unchanged[c]) {
                    values[c] = codec_.value(current, c);
                }
            }
            writer.addRow(RowStatus::Modified, values, &unchanged);
            break;
        }
        case ChangeKind::None:
            break;
        }
    });
    return writer.finish();
}

void EngineStore::mergeChangeLog() {
    for (const Change& change : changes_) {
        if (change.kind != ChangeKind::None) {
            changeOf_[change.row] = -1;
        }
    }
    changes_.clear();
    changeCount_ = 0;
    ++version_;
}

void EngineStore::reconcile(const std::vector<std::uint32_t>& keptDeltaRecords) {
    std::vector<RowId> merged;
    walkDelta([&](std::size_t i, std::uint32_t recordNo, std::uint32_t records) {
        const bool kept =
            std::any_of(keptDeltaRecords.begin(), keptDeltaRecords.end(), [&](std::uint32_t no) {
                return no >= recordNo && no < recordNo + records;
            });
        if (!kept) {
            merged.push_back(changes_[i].row);
        }
    });
    for (RowId row : merged) {
        dropChange(row);
    }
    compactChanges();
    ++version_;
}

void EngineStore::compactChanges() {
    std::vector<Change> live;
    for (const Change& change : changes_) {
        if (change.kind != ChangeKind::None) {
            changeOf_[change.row] = static_cast<std::int32_t>(live.size());
            live.push_back(change);
        }
    }
    changes_ = std::move(live);
}

std::vector<RowId> EngineStore::changedRows(const std::vector<std::uint32_t>& deltaRecords) const {
    std::vector<RowId> rows;
    walkDelta([&](std::size_t i, std::uint32_t recordNo, std::uint32_t records) {
        if (std::any_of(deltaRecords.begin(), deltaRecords.end(), [&](std::uint32_t no) {
                return no >= recordNo && no < recordNo + records;
            })) {
            rows.push_back(changes_[i].row);
        }
    });
    return rows;
}

std::vector<Value> EngineStore::valuesOf(const Record& record) const {
    const RowBytes bytes = bytesOf(record);
    std::vector<Value> values(codec_.columnCount());
    for (std::size_t c = 0; c < values.size(); ++c) {
        values[c] = codec_.value(bytes, c);
    }
    return values;
}

EngineStore::Matching EngineStore::match(const EngineStore& fresh,
                                         const std::vector<RowId>& dropping) const {
    bool sameColumns = fresh.codec_.columnCount() == codec_.columnCount();
    for (std::size_t c = 0; sameColumns && c < codec_.columnCount(); ++c) {
        sameColumns = fresh.codec_.type(c) == codec_.type(c);
    }
    if (!sameColumns) {
        throw DataSetEngineError(EngineStatus::InvalidPacket, PacketReader::kInvalidPacket);
    }
    std::vector<RowBytes> freshRows;
    for (std::size_t i = 0; i < fresh.size(); ++i) {
        freshRows.push_back(fresh.record(fresh.rowAt(i)));
    }
    RowMatcher matcher(codec_, freshRows);
    const auto dropped = [&](RowId row) {
        return std::find(dropping.begin(), dropping.end(), row) != dropping.end();
    };
    Matching matching;
    matching.lostChange.assign(changes_.size(), false);
    matching.lostRow.assign(records_.size(), false);
    // The changes first: of identical rows, the one the user changed is the
    // one still there.
    for (std::size_t i = 0; i < changes_.size(); ++i) {
        const Change& change = changes_[i];
        if ((change.kind == ChangeKind::Modified || change.kind == ChangeKind::Deleted) &&
            !dropped(change.row)) {
            matching.lostChange[i] = !matcher.take(bytesOf(change.original));
        }
    }
    for (const RowId row : order_) {
        if (changeOf_[row] < 0 && !dropped(row)) {
            matching.lostRow[row] = !matcher.take(bytesOf(records_[row]));
        }
    }
    matching.added = matcher.untaken();
    return matching;
}

std::vector<EngineStore::LostChange>
EngineStore::lostChanges(const EngineStore& fresh, const std::vector<RowId>& dropping) const {
    const Matching matching = match(fresh, dropping);
    std::vector<LostChange> lost;
    for (std::size_t i = 0; i < changes_.size(); ++i) {
        if (!matching.lostChange[i]) {
            continue;
        }
        const Change& change = changes_[i];
        const bool deleted = change.kind == ChangeKind::Deleted;
        lost.push_back({change.row, deleted ? RowStatus::Deleted : RowStatus::Modified,
                        valuesOf(change.original),
                        deleted ? std::vector<Value>() : valuesOf(records_[change.row])});
    }
    return lost;
}

void EngineStore::refresh(const EngineStore& fresh, const std::vector<RowId>& dropping) {
    const Matching matching = match(fresh, dropping);
    std::vector<bool> going = matching.lostRow;
    for (const RowId row : dropping) {
        dropChange(row);
        going[row] = true;
    }
    std::erase_if(order_, [&](RowId row) { return going[row]; });
    compactChanges();
    for (const std::size_t i : matching.added) {
        const RowBytes bytes = fresh.record(fresh.rowAt(i));
        owned_.emplace_back(bytes.begin(), bytes.end());
        const auto row = static_cast<RowId>(records_.size());
        records_.push_back({static_cast<std::int32_t>(owned_.size() - 1), 0,
                            static_cast<std::uint32_t>(owned_.back().size())});
        changeOf_.push_back(-1);
        order_.push_back(row);
    }
    ++version_;
}

std::unique_ptr<EngineStore> EngineStore::clone() const {
    std::unique_ptr<EngineStore> copy(new EngineStore());
    copy->packet_ = packet_;
    copy->codec_ = codec_;
    copy->owned_ = owned_;
    copy->records_ = records_;
    copy->order_ = order_;
    copy->changes_ = changes_;
    copy->changeOf_ = changeOf_;
    copy->changeCount_ = changeCount_;
    return copy;
}

std::size_t EngineStore::memoryUsed() const {
    std::size_t bytes =
        packet_.bytes.capacity() + packet_.rows.capacity() * sizeof(Packet::RowRef) +
        records_.capacity() * sizeof(Record) + order_.capacity() * sizeof(RowId) +
        changeOf_.capacity() * sizeof(std::int32_t) + changes_.capacity() * sizeof(Change);
    for (const auto& record : owned_) {
        bytes += record.capacity();
    }
    return bytes;
}

} // namespace dataset
