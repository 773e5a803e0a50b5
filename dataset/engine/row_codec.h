#pragma once
// The byte form of one row, shared by data packets and the engine's store:
// an update status, two bits of state per column (value, null, not changed),
// then the values of the columns that hold one, in column order.

#include "dataset/engine/field_type.h"
#include "dataset/engine/row_buffer.h"

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
    void encode(RowBuffer& out, RowStatus status, std::span<const Value> values,
                const std::vector<bool>* unchanged = nullptr) const;
    // Value-at-a-time writing for packets: begin, then one add per column.
    std::size_t beginRow(RowBuffer& out, RowStatus status) const;
    void addValue(RowBuffer& out, std::size_t rowStart, std::size_t column,
                  const Value& value) const;
    void setState(RowBuffer& out, std::size_t rowStart, std::size_t column, CellState state) const;

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
};

} // namespace dataset
