#pragma once
// Constants of the data packet's byte layout, shared by its writer and reader.
//
// Header (22 bytes, little-endian): magic "PDSP", version u16, header size
// u16, column count u16, attribute count u16, row count u32, bytes of the row
// section u32, reserved u16. Then the attributes (name, tagged value, delta
// flag), the columns (name, type, size, precision, flags, attributes) and the
// rows, each a u32 length and the row format of RowCodec.

#include <cstddef>
#include <cstdint>

namespace dataset::packet_format {

constexpr std::uint8_t kMagic[4] = {'P', 'D', 'S', 'P'};
constexpr std::uint16_t kVersion = 1;
constexpr std::size_t kHeaderSize = 22;
constexpr std::size_t kColumnCountAt = 8;
constexpr std::size_t kAttributeCountAt = 10;
constexpr std::size_t kRowCountAt = 12;
constexpr std::size_t kRowBytesAt = 16;

// Tags of attribute values.
enum class ValueTag : std::uint8_t { Null = 0, Text = 1, Integer = 2 };

// Column flags.
constexpr std::uint8_t kRequired = 1;
constexpr std::uint8_t kReadOnly = 2;

} // namespace dataset::packet_format
