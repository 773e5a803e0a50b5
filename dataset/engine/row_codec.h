#pragma once
// The byte form of one row, shared by data packets and the engine's store:
// an update status, two bits of state per column (value, null, not changed),
// then the values of the columns that hold one, in column order.

#include "dataset/engine/field_type.h"
#include "dataset/engine/row_buffer.h"

#include <cstdint>
#include <cstring>
#include <optional>
#include <span>
#include <string_view>
#include <vector>

namespace dataset {

enum class RowStatus : std::uint8_t { Unmodified = 0, Inserted = 1, Modified = 2, Deleted = 3 };
enum class CellState : std::uint8_t { Assigned = 0, Null = 1, Unchanged = 2 };

using RowBytes = std::span<const std::uint8_t>;

// How a column's values are laid out in a row, worked out from its type.
enum class ValueStorage : std::uint8_t {
    None,
    Int32,
    Int64,
    Double,
    Decimal,
    Date,
    Time,
    TimeStamp,
    Text,
    Bytes
};

// A decimal as an integer and its count of decimals: scaled / 10^scale.
struct ScaledDecimal {
    std::int64_t scaled = 0;
    int scale = 0;
};

class RowCodec {
public:
    explicit RowCodec(std::vector<FieldType> types);

    std::size_t columnCount() const { return types_.size(); }
    FieldType type(std::size_t column) const { return types_[column]; }
    std::size_t stateBytes() const { return (types_.size() * 2 + 7) / 8; }

    // Appends a whole row. A value that does not suit its column raises a
    // DataSetEngineError; a null Value is stored as null unless the column
    // is listed in unchanged.
    void encode(std::vector<std::uint8_t>& out, RowStatus status, std::span<const Value> values,
                const std::vector<bool>* unchanged = nullptr) const;
    void encode(RowBuffer& out, RowStatus status, std::span<const Value> values,
                const std::vector<bool>* unchanged = nullptr) const;
    // Value-at-a-time writing for packets: begin, then one add per column.
    std::size_t beginRow(RowBuffer& out, RowStatus status) const;
    void addValue(RowBuffer& out, std::size_t rowStart, std::size_t column,
                  const Value& value) const;
    void setState(RowBuffer& out, std::size_t rowStart, std::size_t column, CellState state) const;

    static RowStatus status(RowBytes row) { return static_cast<RowStatus>(row[0]); }
    static CellState state(RowBytes row, std::size_t column) {
        const unsigned shift = static_cast<unsigned>(column % 4) * 2;
        return static_cast<CellState>((row[1 + column / 4] >> shift) & 3u);
    }
    // Null and not changed both read as null here.
    Value value(RowBytes row, std::size_t column) const;
    // The text of a string column without copying; empty when not a value.
    std::optional<std::string_view> text(RowBytes row, std::size_t column) const;
    // Whether two rows hold the same state and value in a column.
    bool sameCell(RowBytes a, RowBytes b, std::size_t column) const;

    // Walks the row and checks every length against its end.
    bool valid(RowBytes row) const;

    // Reading values in their stored form, for code that compares many rows
    // and would rather not build a Value for each.
    ValueStorage storage(std::size_t column) const {
        return static_cast<ValueStorage>(storage_[column]);
    }
    // Where a column's value starts in a row; null when it holds none.
    const std::uint8_t* cell(RowBytes row, std::size_t column) const {
        return state(row, column) == CellState::Assigned ? row.data() + valueOffset(row, column)
                                                         : nullptr;
    }
    // The bytes the value at a cell takes; 0 when it runs past the row.
    std::size_t sizeAt(RowBytes row, const std::uint8_t* cell, std::size_t column) const;
    // The bytes every value of a storage takes; 0 when they vary.
    static std::size_t fixedSize(ValueStorage storage);
    // The text at a cell of a Text column.
    static std::string_view textAt(RowBytes row, const std::uint8_t* cell) {
        if (*cell < 0x80) {
            return {reinterpret_cast<const char*>(cell + 1), *cell};
        }
        return longTextAt(row, cell);
    }
    // The value at a cell of an Int32 or Int64 column.
    static std::int64_t integerAt(const std::uint8_t* cell, ValueStorage storage) {
        return storage == ValueStorage::Int32 ? load<std::int32_t>(cell) : load<std::int64_t>(cell);
    }
    static double doubleAt(const std::uint8_t* cell) { return load<double>(cell); }
    // A date as year * 65536 + month * 256 + day, which orders as the dates do.
    static std::int32_t dateKeyAt(const std::uint8_t* cell) {
        return load<std::int16_t>(cell) * 65536 + cell[2] * 256 + cell[3];
    }
    // One part of a time (hour, minute, second, fraction) or of a time stamp
    // (year, month, day, then the time's parts).
    static std::int32_t timePartAt(const std::uint8_t* cell, std::size_t part) {
        return load<std::int32_t>(cell + part * sizeof(std::int32_t));
    }
    // A decimal as a scaled integer; empty when its digits do not fit 64 bits
    // or are no decimal digits.
    static std::optional<ScaledDecimal> decimalAt(const std::uint8_t* cell);

private:
    template <typename T> static T load(const std::uint8_t* p) {
        T value;
        std::memcpy(&value, p, sizeof(T));
        return value;
    }
    std::size_t valueOffset(RowBytes row, std::size_t column) const;
    // Whether every column before this one holds a value.
    static bool allAssignedBefore(RowBytes row, std::size_t column) {
        // Assigned is 0: whole bytes of four states, then the low bits of one more.
        const std::uint8_t* states = row.data() + 1;
        for (std::size_t i = 0; i < column / 4; ++i) {
            if (states[i] != 0) {
                return false;
            }
        }
        const unsigned bits = static_cast<unsigned>(column % 4) * 2;
        return bits == 0 || (states[column / 4] & ((1u << bits) - 1)) == 0;
    }
    static std::string_view longTextAt(RowBytes row, const std::uint8_t* cell);
    // Bytes of the column's value at p, or 0 when it runs past end.
    std::size_t valueSize(const std::uint8_t* p, const std::uint8_t* end, std::size_t column) const;
    // The writing itself, for a vector or a row buffer.
    template <typename Out> std::size_t beginRowIn(Out& out, RowStatus status) const;
    template <typename Out>
    void addValueIn(Out& out, std::size_t rowStart, std::size_t column, const Value& value) const;
    template <typename Out>
    void encodeIn(Out& out, RowStatus status, std::span<const Value> values,
                  const std::vector<bool>* unchanged) const;
    template <typename Out>
    void appendValue(Out& out, std::size_t column, const Value& value) const;

    std::vector<FieldType> types_;
    // How each column's values are stored, worked out once from its type.
    std::vector<std::uint8_t> storage_;
    // The bytes of each column's values; 0 when they vary.
    std::vector<std::uint8_t> fixedSize_;
    // For each column, the bytes the fixed-size columns before it take and
    // how many of variables_, the columns whose sizes vary, come before it:
    // where a value starts when every column before holds one.
    std::vector<std::size_t> fixedBefore_;
    std::vector<std::size_t> variableBefore_;
    std::vector<std::size_t> variables_;
};

} // namespace dataset
