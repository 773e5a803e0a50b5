#pragma once
// Reads and checks a data packet in full: any byte out of place is an
// "Invalid data packet" engine error, so that the store can trust its rows.

#include "dataset/engine/column_desc.h"
#include "dataset/engine/row_codec.h"

#include <cstdint>
#include <vector>

namespace dataset {

struct Packet {
    std::vector<std::uint8_t> bytes;
    std::vector<PacketAttribute> attributes;
    std::vector<ColumnDesc> columns;
    // Where each row's bytes lie in bytes.
    struct RowRef {
        std::uint32_t offset;
        std::uint32_t size;
    };
    std::vector<RowRef> rows;

    RowBytes row(std::size_t index) const {
        return RowBytes(bytes.data() + rows[index].offset, rows[index].size);
    }
    const PacketAttribute* attribute(std::string_view name) const;
};

class PacketReader {
public:
    static constexpr const char* kInvalidPacket = "Invalid data packet";

    // Takes the bytes over; raises DataSetEngineError when malformed.
    static Packet read(std::vector<std::uint8_t> bytes);
};

} // namespace dataset
