#include "dataset/apply/reconciler.h"

#include "dataset/apply/error_packet_builder.h"
#include "dataset/engine/packet_reader.h"

#include <optional>

namespace dataset {
namespace {

std::int64_t integerAt(const RowCodec& codec, RowBytes row, std::optional<std::size_t> column) {
    if (!column) {
        return 0;
    }
    const Value value = codec.value(row, *column);
    const auto* integer = std::get_if<std::int64_t>(&value);
    return integer != nullptr ? *integer : 0;
}

std::string textAt(const RowCodec& codec, RowBytes row, std::optional<std::size_t> column) {
    if (!column) {
        return {};
    }
    const std::optional<std::string_view> text = codec.text(row, *column);
    return text ? std::string(*text) : std::string();
}

RowCodec codecOf(const Packet& packet) {
    std::vector<FieldType> types;
    for (const ColumnDesc& column : packet.columns) {
        types.push_back(column.type);
    }
    return RowCodec(types);
}

std::vector<Value> valuesOf(const RowCodec& codec, RowBytes row) {
    std::vector<Value> values(codec.columnCount());
    for (std::size_t c = 0; c < values.size(); ++c) {
        values[c] = codec.value(row, c);
    }
    return values;
}

// The values of the change a delta record belongs to; a modification is the
// original row followed by the row of its changes.
ReconcileRow changedRow(const Packet& delta, const RowCodec& codec, std::int64_t recordNo) {
    ReconcileRow result;
    if (recordNo < 0 || static_cast<std::size_t>(recordNo) >= delta.rows.size()) {
        return result;
    }
    for (const ColumnDesc& column : delta.columns) {
        result.columns.push_back(column.name);
    }
    auto index = static_cast<std::size_t>(recordNo);
    if (RowCodec::status(delta.row(index)) == RowStatus::Unmodified &&
        index + 1 < delta.rows.size()) {
        ++index;
    }
    const RowBytes row = delta.row(index);
    switch (RowCodec::status(row)) {
    case RowStatus::Inserted:
        result.newValues = valuesOf(codec, row);
        break;
    case RowStatus::Deleted:
    case RowStatus::Unmodified:
        result.oldValues = valuesOf(codec, row);
        break;
    case RowStatus::Modified:
        if (index > 0) {
            const RowBytes original = delta.row(index - 1);
            result.oldValues = valuesOf(codec, original);
            result.newValues = result.oldValues;
            for (std::size_t c = 0; c < codec.columnCount(); ++c) {
                if (codec.state(row, c) != CellState::Unchanged) {
                    result.newValues[c] = codec.value(row, c);
                }
            }
        }
        break;
    }
    return result;
}

} // namespace

ReconcileAction Reconciler::ask(ClientDataSet& dataSet, const ReconcileError& error,
                                UpdateKind kind, ReconcileAction initial, const Handler& handler,
                                const ErrorDisplay& display) {
    ReconcileAction action = initial;
    if (!handler) {
        return action;
    }
    try {
        handler(dataSet, error, kind, action);
    } catch (const std::exception& failure) {
        if (display) {
            display(failure);
        }
        action = ReconcileAction::Abort;
    }
    return action;
}

Reconciler::Outcome Reconciler::reconcile(const std::vector<std::uint8_t>& delta,
                                          const std::vector<std::uint8_t>& errorPacket,
                                          ClientDataSet& dataSet, const Handler& handler,
                                          const ErrorDisplay& display) {
    const Packet changes = PacketReader::read(delta);
    const RowCodec changesCodec = codecOf(changes);
    const Packet packet = PacketReader::read(errorPacket);
    const RowCodec codec = codecOf(packet);
    const auto columnOf = [&](std::string_view name) -> std::optional<std::size_t> {
        for (std::size_t c = 0; c < packet.columns.size(); ++c) {
            if (packet.columns[c].name == name) {
                return c;
            }
        }
        return std::nullopt;
    };
    const auto recordNo = columnOf(ErrorPacketBuilder::kRecordNo);
    const auto response = columnOf(ErrorPacketBuilder::kResponse);
    const auto message = columnOf(ErrorPacketBuilder::kMessage);
    const auto context = columnOf(ErrorPacketBuilder::kContext);
    const auto code = columnOf(ErrorPacketBuilder::kCode);
    const auto previous = columnOf(ErrorPacketBuilder::kPrevious);

    Outcome outcome;
    for (std::size_t r = 0; r < packet.rows.size(); ++r) {
        const RowBytes row = packet.row(r);
        const RowStatus status = RowCodec::status(row);
        const UpdateKind kind = status == RowStatus::Deleted    ? UpdateKind::Delete
                                : status == RowStatus::Inserted ? UpdateKind::Insert
                                                                : UpdateKind::Modify;
        const bool skipped =
            integerAt(codec, row, response) == static_cast<int>(ResolverResponse::Skip) + 1;
        const std::int64_t record = integerAt(codec, row, recordNo);
        ReconcileAction action = skipped ? ReconcileAction::Skip : ReconcileAction::Abort;
        if (handler) {
            const ReconcileError error(textAt(codec, row, message), textAt(codec, row, context),
                                       static_cast<int>(integerAt(codec, row, code)),
                                       static_cast<int>(integerAt(codec, row, previous)),
                                       changedRow(changes, changesCodec, record));
            action = ask(dataSet, error, kind, action, handler, display);
        }
        if (action == ReconcileAction::Refresh) {
            outcome.refreshed.push_back(static_cast<std::uint32_t>(record));
        } else if (action != ReconcileAction::Merge) {
            outcome.kept.push_back(static_cast<std::uint32_t>(record));
        }
    }
    return outcome;
}

} // namespace dataset
