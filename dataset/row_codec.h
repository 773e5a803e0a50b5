#pragma once
// The byte form of one row, shared by data packets and the engine's store:
// an update status, two bits of state per column (value, null, not changed),
// then the values of the columns that hold one, in column order.

#include "dataset/field.h"
#include "dataset/field_type.h"

#include <cstdint>
#include <optional>
#include <span>
#include <string_view>
#include <vector>

namespace dataset {

enum class RowStatus : std::uint8_t { Unmodified = 0, Inserted = 1, Modified = 2, Deleted = 3 };
enum class CellState : std::uint8_t { Assigned = 0, Null = 1, Unchanged = 2 };

using RowBytes = std::span<const std::uint8_t>;

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
    // Row-at-a-time writing for packets: begin, one add per column, end.
    std::size_t beginRow(std::vector<std::uint8_t>& out, RowStatus status) const;
    void addValue(std::vector<std::uint8_t>& out, std::size_t rowStart, std::size_t column,
                  const Value& value) const;
    void setState(std::vector<std::uint8_t>& out, std::size_t rowStart, std::size_t column,
                  CellState state) const;

    static RowStatus status(RowBytes row) { return static_cast<RowStatus>(row[0]); }
    CellState state(RowBytes row, std::size_t column) const;
    // Null and not changed both read as null here.
    Value value(RowBytes row, std::size_t column) const;
    // The text of a string column without copying; empty when not a value.
    std::optional<std::string_view> text(RowBytes row, std::size_t column) const;
    // Whether two rows hold the same state and value in a column.
    bool sameCell(RowBytes a, RowBytes b, std::size_t column) const;

    // Walks the row and checks every length against its end.
    bool valid(RowBytes row) const;

private:
    std::size_t valueOffset(RowBytes row, std::size_t column) const;
    // Bytes of the value at p, or 0 when it runs past end.
    std::size_t valueSize(const std::uint8_t* p, const std::uint8_t* end, FieldType type) const;
    void appendValue(std::vector<std::uint8_t>& out, std::size_t column, const Value& value) const;

    std::vector<FieldType> types_;
};

} // namespace dataset
