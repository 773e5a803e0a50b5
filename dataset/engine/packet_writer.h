#pragma once
// Writes a data packet: a fixed header, the data set's named attributes, the
// column descriptions with theirs, then the rows. Providers write the rows
// they fetch; the store writes its delta the same way.

#include "dataset/engine/column_desc.h"
#include "dataset/engine/row_buffer.h"
#include "dataset/engine/row_codec.h"

#include <cstdint>
#include <vector>

namespace dataset {

class PacketWriter {
public:
    PacketWriter(const std::vector<ColumnDesc>& columns,
                 const std::vector<PacketAttribute>& attributes);

    const RowCodec& codec() const { return codec_; }

    // Row by row: begin, one value per column in order, end.
    void beginRow(RowStatus status = RowStatus::Unmodified);
    void addValue(const Value& value);
    void endRow();
    // A whole row given as values; not-changed columns may be listed.
    void addRow(RowStatus status, std::span<const Value> values,
                const std::vector<bool>* unchanged = nullptr);
    // A row already in the row format; its status is replaced.
    void addEncodedRow(RowStatus status, RowBytes row);

    std::uint32_t rowCount() const { return rowCount_; }
    std::vector<std::uint8_t> finish();

private:
    void writeAttributes(const std::vector<PacketAttribute>& attributes);

    RowCodec codec_;
    RowBuffer out_;
    std::size_t rowsStart_ = 0;
    std::size_t rowStart_ = 0;
    std::size_t column_ = 0;
    std::uint32_t rowCount_ = 0;
};

} // namespace dataset
