#include "dataset/reconciler.h"

#include "dataset/error_packet_builder.h"
#include "dataset/packet_reader.h"

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

} // namespace

std::vector<std::uint32_t> Reconciler::keptRecords(const std::vector<std::uint8_t>& errorPacket,
                                                   ClientDataSet& dataSet, const Handler& handler,
                                                   const ErrorDisplay& display) {
    const Packet packet = PacketReader::read(errorPacket);
    std::vector<FieldType> types;
    for (const ColumnDesc& column : packet.columns) {
        types.push_back(column.type);
    }
    const RowCodec codec(types);
    const auto columnOf = [&](std::string_view name) -> std::optional<std::size_t> {
        for (std::size_t c = 0; c < packet.columns.size(); ++c) {
            if (packet.columns[c].name == name) {
                return c;
            }
        }
        return std::nullopt;
    };
    const auto recordNo = columnOf(ErrorPacketBuilder::RecordNo);
    const auto response = columnOf(ErrorPacketBuilder::Response);
    const auto message = columnOf(ErrorPacketBuilder::Message);
    const auto context = columnOf(ErrorPacketBuilder::Context);
    const auto code = columnOf(ErrorPacketBuilder::Code);
    const auto previous = columnOf(ErrorPacketBuilder::Previous);

    std::vector<std::uint32_t> kept;
    for (std::size_t r = 0; r < packet.rows.size(); ++r) {
        const RowBytes row = packet.row(r);
        const RowStatus status = RowCodec::status(row);
        const UpdateKind kind = status == RowStatus::Deleted    ? UpdateKind::Delete
                                : status == RowStatus::Inserted ? UpdateKind::Insert
                                                                : UpdateKind::Modify;
        const bool skipped =
            integerAt(codec, row, response) == static_cast<int>(ResolverResponse::Skip) + 1;
        ReconcileAction action = skipped ? ReconcileAction::Skip : ReconcileAction::Abort;
        if (handler) {
            const ReconcileError error(textAt(codec, row, message), textAt(codec, row, context),
                                       static_cast<int>(integerAt(codec, row, code)),
                                       static_cast<int>(integerAt(codec, row, previous)));
            try {
                handler(dataSet, error, kind, action);
            } catch (const std::exception& failure) {
                if (display) {
                    display(failure);
                }
                action = ReconcileAction::Abort;
            }
        }
        if (action != ReconcileAction::Merge) {
            kept.push_back(static_cast<std::uint32_t>(integerAt(codec, row, recordNo)));
        }
    }
    return kept;
}

} // namespace dataset
