#include "dataset/engine/packet_writer.h"

#include "dataset/engine/data_set_engine_error.h"
#include "dataset/engine/packet_format.h"

#include <cstring>

namespace dataset {
namespace {

using namespace packet_format;

template <typename T> void put(RowBuffer& out, T value) {
    std::memcpy(out.grow(sizeof(T)), &value, sizeof(T));
}

template <typename T> void putAt(RowBuffer& out, std::size_t at, T value) {
    std::memcpy(out.data() + at, &value, sizeof(T));
}

void putBytes(RowBuffer& out, const void* bytes, std::size_t size) {
    if (size > 0) {
        std::memcpy(out.grow(size), bytes, size);
    }
}

void putName(RowBuffer& out, const std::string& name) {
    put(out, static_cast<std::uint16_t>(name.size()));
    putBytes(out, name.data(), name.size());
}

std::vector<FieldType> typesOf(const std::vector<ColumnDesc>& columns) {
    std::vector<FieldType> types;
    types.reserve(columns.size());
    for (const ColumnDesc& column : columns) {
        types.push_back(column.type);
    }
    return types;
}

} // namespace

PacketWriter::PacketWriter(const std::vector<ColumnDesc>& columns,
                           const std::vector<PacketAttribute>& attributes)
    : codec_(typesOf(columns)) {
    std::memset(out_.grow(kHeaderSize), 0, kHeaderSize);
    std::memcpy(out_.data(), kMagic, sizeof kMagic);
    putAt(out_, 4, kVersion);
    putAt(out_, 6, static_cast<std::uint16_t>(kHeaderSize));
    putAt(out_, kColumnCountAt, static_cast<std::uint16_t>(columns.size()));
    putAt(out_, kAttributeCountAt, static_cast<std::uint16_t>(attributes.size()));
    writeAttributes(attributes);
    for (const ColumnDesc& column : columns) {
        putName(out_, column.name);
        put(out_, static_cast<std::uint8_t>(column.type));
        put(out_, static_cast<std::int32_t>(column.size));
        put(out_, static_cast<std::int32_t>(column.precision));
        put(out_, static_cast<std::uint8_t>((column.required ? packet_format::kRequired : 0) |
                                            (column.readOnly ? packet_format::kReadOnly : 0)));
        put(out_, static_cast<std::uint16_t>(column.attributes.size()));
        writeAttributes(column.attributes);
    }
    rowsStart_ = out_.size();
}

void PacketWriter::writeAttributes(const std::vector<PacketAttribute>& attributes) {
    for (const PacketAttribute& attribute : attributes) {
        putName(out_, attribute.name);
        if (const auto* text = std::get_if<std::string>(&attribute.value)) {
            put(out_, static_cast<std::uint8_t>(ValueTag::Text));
            put(out_, static_cast<std::uint32_t>(text->size()));
            putBytes(out_, text->data(), text->size());
        } else if (const auto* integer = std::get_if<std::int64_t>(&attribute.value)) {
            put(out_, static_cast<std::uint8_t>(ValueTag::Integer));
            put(out_, *integer);
        } else if (std::holds_alternative<std::monostate>(attribute.value)) {
            put(out_, static_cast<std::uint8_t>(ValueTag::Null));
        } else {
            throw DataSetEngineError(EngineStatus::ValueMismatch,
                                     "Unsupported attribute value: " + attribute.name);
        }
        put(out_, static_cast<std::uint8_t>(attribute.inDelta ? 1 : 0));
    }
}

void PacketWriter::beginRow(RowStatus status) {
    put(out_, std::uint32_t{0});
    rowStart_ = codec_.beginRow(out_, status);
    column_ = 0;
}

void PacketWriter::addValue(const Value& value) {
    codec_.addValue(out_, rowStart_, column_++, value);
}

void PacketWriter::endRow() {
    // Columns never given are null.
    for (; column_ < codec_.columnCount(); ++column_) {
        codec_.setState(out_, rowStart_, column_, CellState::Null);
    }
    putAt(out_, rowStart_ - 4, static_cast<std::uint32_t>(out_.size() - rowStart_));
    ++rowCount_;
}

void PacketWriter::addRow(RowStatus status, std::span<const Value> values,
                          const std::vector<bool>* unchanged) {
    put(out_, std::uint32_t{0});
    rowStart_ = out_.size();
    codec_.encode(out_, status, values, unchanged);
    column_ = codec_.columnCount();
    endRow();
}

void PacketWriter::addEncodedRow(RowStatus status, RowBytes row) {
    put(out_, static_cast<std::uint32_t>(row.size()));
    const std::size_t start = out_.size();
    putBytes(out_, row.data(), row.size());
    out_.data()[start] = static_cast<std::uint8_t>(status);
    ++rowCount_;
}

std::vector<std::uint8_t> PacketWriter::finish() {
    putAt(out_, kRowCountAt, rowCount_);
    putAt(out_, kRowBytesAt, static_cast<std::uint32_t>(out_.size() - rowsStart_));
    // The store keeps the packet for as long as the data set is open: it
    // gets the bytes without room to spare.
    return out_.take();
}

} // namespace dataset
