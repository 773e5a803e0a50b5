#include "dataset/apply/error_packet_builder.h"

namespace dataset {
namespace {

std::vector<ColumnDesc> withErrorColumns(std::vector<ColumnDesc> columns) {
    const auto add = [&](const char* name, FieldType type, int size) {
        ColumnDesc column;
        column.name = name;
        column.type = type;
        column.size = size;
        columns.push_back(std::move(column));
    };
    add(ErrorPacketBuilder::kRecordNo, FieldType::Integer, 0);
    add(ErrorPacketBuilder::kResponse, FieldType::Integer, 0);
    add(ErrorPacketBuilder::kMessage, FieldType::String, 1024);
    add(ErrorPacketBuilder::kContext, FieldType::String, 1024);
    add(ErrorPacketBuilder::kCategory, FieldType::Integer, 0);
    add(ErrorPacketBuilder::kCode, FieldType::Integer, 0);
    add(ErrorPacketBuilder::kPrevious, FieldType::Integer, 0);
    return columns;
}

} // namespace

ErrorPacketBuilder::ErrorPacketBuilder(const std::vector<ColumnDesc>& deltaColumns)
    : deltaColumns_(deltaColumns.size()), writer_(withErrorColumns(deltaColumns), {}) {}

void ErrorPacketBuilder::log(std::size_t recordNo, RowStatus status, ResolverResponse response,
                             const std::string& message, int errorCode, int previousError,
                             const std::vector<std::optional<Value>>& current) {
    std::vector<Value> values(deltaColumns_ + 7);
    for (std::size_t c = 0; c < current.size() && c < deltaColumns_; ++c) {
        if (current[c]) {
            values[c] = *current[c];
        }
    }
    values[deltaColumns_] = static_cast<std::int64_t>(recordNo);
    values[deltaColumns_ + 1] = static_cast<std::int64_t>(response) + 1;
    values[deltaColumns_ + 2] = message;
    values[deltaColumns_ + 3] = std::string();
    values[deltaColumns_ + 4] = std::int64_t{1};
    values[deltaColumns_ + 5] = static_cast<std::int64_t>(errorCode);
    values[deltaColumns_ + 6] = static_cast<std::int64_t>(previousError);
    writer_.addRow(status, values);
    logged_.insert(recordNo);
}

} // namespace dataset
