#include "dataset/engine/row_codec.h"

#include "dataset/engine/data_set_engine_error.h"

#include <array>
#include <cstring>

namespace dataset {
namespace {

constexpr std::size_t kTimeBytes = 4 * sizeof(std::int32_t);
constexpr std::size_t kTimeStampBytes = 7 * sizeof(std::int32_t);

template <typename T> T get(const std::uint8_t* p) {
    T value;
    std::memcpy(&value, p, sizeof(T));
    return value;
}

// Makes room for count more bytes at the end of out; gives where they start.
std::uint8_t* grow(std::vector<std::uint8_t>& out, std::size_t count) {
    const std::size_t at = out.size();
    out.resize(at + count);
    return out.data() + at;
}

std::uint8_t* grow(RowBuffer& out, std::size_t count) {
    return out.grow(count);
}

template <typename Out, typename T> void put(Out& out, T value) {
    std::memcpy(grow(out, sizeof(T)), &value, sizeof(T));
}

std::size_t lengthBytes(std::size_t length) {
    std::size_t bytes = 1;
    while (length >= 0x80) {
        length >>= 7;
        ++bytes;
    }
    return bytes;
}

// Writes a length in lengthBytes(length) bytes; gives the byte after it.
std::uint8_t* putLength(std::uint8_t* p, std::size_t length) {
    while (length >= 0x80) {
        *p++ = static_cast<std::uint8_t>(length | 0x80);
        length >>= 7;
    }
    *p++ = static_cast<std::uint8_t>(length);
    return p;
}

// A length and the bytes after it.
template <typename Out> void putCounted(Out& out, const void* data, std::size_t size) {
    std::uint8_t* p = putLength(grow(out, lengthBytes(size) + size), size);
    if (size > 0) {
        std::memcpy(p, data, size);
    }
}

// Reads a length; gives the bytes it took, 0 when malformed or cut off.
std::size_t getLength(const std::uint8_t* p, const std::uint8_t* end, std::size_t& length) {
    length = 0;
    for (std::size_t i = 0; i < 5 && p + i < end; ++i) {
        length |= static_cast<std::size_t>(p[i] & 0x7F) << (7 * i);
        if ((p[i] & 0x80) == 0) {
            return i + 1;
        }
    }
    return 0;
}

using Storage = ValueStorage;

Storage storageOf(FieldType type) {
    switch (type) {
    case FieldType::SmallInt:
    case FieldType::Integer:
    case FieldType::AutoInc:
    case FieldType::Boolean:
        return Storage::Int32;
    case FieldType::LargeInt:
        return Storage::Int64;
    case FieldType::Float:
    case FieldType::Currency:
        return Storage::Double;
    case FieldType::BCD:
    case FieldType::FMTBcd:
        return Storage::Decimal;
    case FieldType::Date:
        return Storage::Date;
    case FieldType::Time:
        return Storage::Time;
    case FieldType::DateTime:
    case FieldType::TimeStamp:
        return Storage::TimeStamp;
    case FieldType::String:
    case FieldType::FixedChar:
    case FieldType::Memo:
    case FieldType::FmtMemo:
        return Storage::Text;
    case FieldType::Bytes:
    case FieldType::VarBytes:
    case FieldType::Blob:
    case FieldType::Graphic:
        return Storage::Bytes;
    case FieldType::Unknown:
        return Storage::None;
    }
    return Storage::None;
}

// The value of a byte of two decimal digits, or kNoDigitPair.
constexpr std::uint8_t kNoDigitPair = 0xFF;
constexpr std::array<std::uint8_t, 256> kDigitPairs = [] {
    std::array<std::uint8_t, 256> pairs{};
    for (unsigned byte = 0; byte < pairs.size(); ++byte) {
        const unsigned high = byte >> 4u;
        const unsigned low = byte & 0x0Fu;
        pairs.at(byte) =
            high <= 9 && low <= 9 ? static_cast<std::uint8_t>(high * 10 + low) : kNoDigitPair;
    }
    return pairs;
}();

// The bytes every value of a storage takes; 0 when they vary.
std::size_t fixedSizeOf(Storage storage) {
    switch (storage) {
    case Storage::Int32:
    case Storage::Date:
        return 4;
    case Storage::Int64:
    case Storage::Double:
        return 8;
    case Storage::Time:
        return kTimeBytes;
    case Storage::TimeStamp:
        return kTimeStampBytes;
    default:
        return 0;
    }
}

// Sets the two state bits of a column in a row starting at row.
void setCellState(std::uint8_t* row, std::size_t column, CellState state) {
    std::uint8_t& bits = row[1 + column / 4];
    const unsigned shift = static_cast<unsigned>(column % 4) * 2;
    bits = static_cast<std::uint8_t>((bits & ~(3u << shift)) |
                                     (static_cast<unsigned>(state) << shift));
}

[[noreturn]] void mismatch(FieldType type) {
    throw DataSetEngineError(EngineStatus::ValueMismatch, "Value does not suit a column of type " +
                                                              std::string(fieldTypeName(type)));
}

} // namespace

RowCodec::RowCodec(std::vector<FieldType> types) : types_(std::move(types)) {
    storage_.reserve(types_.size());
    fixedSize_.reserve(types_.size());
    std::size_t fixed = 0;
    for (std::size_t c = 0; c < types_.size(); ++c) {
        const Storage storage = storageOf(types_[c]);
        storage_.push_back(static_cast<std::uint8_t>(storage));
        fixedSize_.push_back(static_cast<std::uint8_t>(fixedSizeOf(storage)));
        fixedBefore_.push_back(fixed);
        variableBefore_.push_back(variables_.size());
        fixed += fixedSize_.back();
        if (fixedSize_.back() == 0) {
            variables_.push_back(c);
        }
    }
}

template <typename Out> std::size_t RowCodec::beginRowIn(Out& out, RowStatus status) const {
    const std::size_t start = out.size();
    std::uint8_t* row = grow(out, 1 + stateBytes());
    row[0] = static_cast<std::uint8_t>(status);
    // Every column starts out assigned.
    std::memset(row + 1, 0, stateBytes());
    return start;
}

template <typename Out>
void RowCodec::addValueIn(Out& out, std::size_t rowStart, std::size_t column,
                          const Value& value) const {
    if (std::holds_alternative<std::monostate>(value)) {
        setCellState(out.data() + rowStart, column, CellState::Null);
        return;
    }
    appendValue(out, column, value);
}

template <typename Out>
void RowCodec::encodeIn(Out& out, RowStatus status, std::span<const Value> values,
                        const std::vector<bool>* unchanged) const {
    const std::size_t start = beginRowIn(out, status);
    for (std::size_t column = 0; column < types_.size(); ++column) {
        if (unchanged != nullptr && (*unchanged)[column]) {
            setCellState(out.data() + start, column, CellState::Unchanged);
        } else {
            addValueIn(out, start, column, column < values.size() ? values[column] : Value{});
        }
    }
}

std::size_t RowCodec::beginRow(RowBuffer& out, RowStatus status) const {
    return beginRowIn(out, status);
}

void RowCodec::setState(RowBuffer& out, std::size_t rowStart, std::size_t column,
                        CellState state) const {
    setCellState(out.data() + rowStart, column, state);
}

void RowCodec::addValue(RowBuffer& out, std::size_t rowStart, std::size_t column,
                        const Value& value) const {
    addValueIn(out, rowStart, column, value);
}

void RowCodec::encode(std::vector<std::uint8_t>& out, RowStatus status,
                      std::span<const Value> values, const std::vector<bool>* unchanged) const {
    encodeIn(out, status, values, unchanged);
}

void RowCodec::encode(RowBuffer& out, RowStatus status, std::span<const Value> values,
                      const std::vector<bool>* unchanged) const {
    encodeIn(out, status, values, unchanged);
}

template <typename Out>
void RowCodec::appendValue(Out& out, std::size_t column, const Value& value) const {
    const FieldType type = types_[column];
    const auto storage = static_cast<Storage>(storage_[column]);
    switch (storage) {
    case Storage::Int32: {
        const auto* v = std::get_if<std::int64_t>(&value);
        if (v == nullptr || *v < INT32_MIN || *v > INT32_MAX) {
            mismatch(type);
        }
        put(out, static_cast<std::int32_t>(*v));
        return;
    }
    case Storage::Int64: {
        const auto* v = std::get_if<std::int64_t>(&value);
        if (v == nullptr) {
            mismatch(type);
        }
        put(out, *v);
        return;
    }
    case Storage::Double: {
        const auto* v = std::get_if<double>(&value);
        if (v == nullptr) {
            mismatch(type);
        }
        put(out, *v);
        return;
    }
    case Storage::Decimal: {
        const auto* v = std::get_if<db::Bcd>(&value);
        if (v == nullptr || v->precision > db::Bcd::kMaxDigits) {
            mismatch(type);
        }
        const std::size_t digitBytes = (v->precision + 1u) / 2;
        std::uint8_t* p = grow(out, 2 + digitBytes);
        p[0] = v->precision;
        p[1] = v->signSpecialPlaces;
        std::memcpy(p + 2, v->fraction, digitBytes);
        return;
    }
    case Storage::Date: {
        const auto* v = std::get_if<db::SQLDate>(&value);
        if (v == nullptr) {
            mismatch(type);
        }
        std::uint8_t* p = grow(out, 4);
        const auto year = static_cast<std::int16_t>(v->year);
        std::memcpy(p, &year, sizeof year);
        p[2] = static_cast<std::uint8_t>(v->month);
        p[3] = static_cast<std::uint8_t>(v->day);
        return;
    }
    case Storage::Time: {
        const auto* v = std::get_if<db::SQLTime>(&value);
        if (v == nullptr) {
            mismatch(type);
        }
        for (int part : {v->hour, v->minute, v->second, v->fraction}) {
            put(out, static_cast<std::int32_t>(part));
        }
        return;
    }
    case Storage::TimeStamp: {
        const auto* v = std::get_if<db::SQLTimeStamp>(&value);
        if (v == nullptr) {
            mismatch(type);
        }
        for (int part : {v->year, v->month, v->day, v->hour, v->minute, v->second, v->fraction}) {
            put(out, static_cast<std::int32_t>(part));
        }
        return;
    }
    case Storage::Text:
    case Storage::Bytes: {
        if (const auto* text = std::get_if<std::string>(&value)) {
            putCounted(out, text->data(), text->size());
            return;
        }
        const auto* bytes = std::get_if<std::vector<std::uint8_t>>(&value);
        if (bytes == nullptr || storage == Storage::Text) {
            mismatch(type);
        }
        putCounted(out, bytes->data(), bytes->size());
        return;
    }
    case Storage::None:
        mismatch(type);
    }
}

std::size_t RowCodec::valueSize(const std::uint8_t* p, const std::uint8_t* end,
                                std::size_t column) const {
    const auto available = static_cast<std::size_t>(end - p);
    std::size_t size = 0;
    switch (static_cast<Storage>(storage_[column])) {
    case Storage::Int32:
    case Storage::Date:
        size = 4;
        break;
    case Storage::Int64:
    case Storage::Double:
        size = 8;
        break;
    case Storage::Decimal:
        if (available < 2 || p[0] > db::Bcd::kMaxDigits) {
            return 0;
        }
        size = 2 + (p[0] + 1u) / 2;
        break;
    case Storage::Time:
        size = kTimeBytes;
        break;
    case Storage::TimeStamp:
        size = kTimeStampBytes;
        break;
    case Storage::Text:
    case Storage::Bytes: {
        if (available > 0 && p[0] < 0x80) {
            // A length below 128 takes its one byte.
            size = 1 + p[0];
            break;
        }
        std::size_t length = 0;
        const std::size_t prefix = getLength(p, end, length);
        if (prefix == 0 || length > available - prefix) {
            return 0;
        }
        size = prefix + length;
        break;
    }
    case Storage::None:
        return 0;
    }
    return size <= available ? size : 0;
}

std::size_t RowCodec::valueOffset(RowBytes row, std::size_t column) const {
    std::size_t offset = 1 + stateBytes();
    const std::uint8_t* end = row.data() + row.size();
    if (allAssignedBefore(row, column)) {
        // Every column before holds a value: the fixed-size ones take known
        // room, only the others need reading.
        std::size_t varying = 0;
        const std::size_t count = variableBefore_[column];
        for (std::size_t k = 0; k < count; ++k) {
            const std::size_t v = variables_[k];
            varying += valueSize(row.data() + offset + fixedBefore_[v] + varying, end, v);
        }
        return offset + fixedBefore_[column] + varying;
    }
    for (std::size_t c = 0; c < column; ++c) {
        if (state(row, c) == CellState::Assigned) {
            const std::size_t fixed = fixedSize_[c];
            offset += fixed != 0 ? fixed : valueSize(row.data() + offset, end, c);
        }
    }
    return offset;
}

std::size_t RowCodec::sizeAt(RowBytes row, const std::uint8_t* cell, std::size_t column) const {
    return valueSize(cell, row.data() + row.size(), column);
}

std::size_t RowCodec::fixedSize(ValueStorage storage) {
    return fixedSizeOf(storage);
}

std::string_view RowCodec::longTextAt(RowBytes row, const std::uint8_t* cell) {
    std::size_t length = 0;
    const std::size_t prefix = getLength(cell, row.data() + row.size(), length);
    return {reinterpret_cast<const char*>(cell + prefix), length};
}

Value RowCodec::value(RowBytes row, std::size_t column) const {
    if (state(row, column) != CellState::Assigned) {
        return {};
    }
    const std::uint8_t* p = row.data() + valueOffset(row, column);
    switch (static_cast<Storage>(storage_[column])) {
    case Storage::Int32:
        return static_cast<std::int64_t>(get<std::int32_t>(p));
    case Storage::Int64:
        return get<std::int64_t>(p);
    case Storage::Double:
        return get<double>(p);
    case Storage::Decimal: {
        db::Bcd bcd;
        bcd.precision = p[0];
        bcd.signSpecialPlaces = p[1];
        std::memcpy(bcd.fraction, p + 2, (bcd.precision + 1u) / 2);
        return bcd;
    }
    case Storage::Date:
        return db::SQLDate{get<std::int16_t>(p), p[2], p[3]};
    case Storage::Time:
        return db::SQLTime{get<std::int32_t>(p), get<std::int32_t>(p + 4), get<std::int32_t>(p + 8),
                           get<std::int32_t>(p + 12)};
    case Storage::TimeStamp:
        return db::SQLTimeStamp{get<std::int32_t>(p),      get<std::int32_t>(p + 4),
                                get<std::int32_t>(p + 8),  get<std::int32_t>(p + 12),
                                get<std::int32_t>(p + 16), get<std::int32_t>(p + 20),
                                get<std::int32_t>(p + 24)};
    case Storage::Text: {
        std::size_t length = 0;
        const std::size_t prefix = getLength(p, row.data() + row.size(), length);
        return std::string(reinterpret_cast<const char*>(p + prefix), length);
    }
    case Storage::Bytes: {
        std::size_t length = 0;
        const std::size_t prefix = getLength(p, row.data() + row.size(), length);
        return std::vector<std::uint8_t>(p + prefix, p + prefix + length);
    }
    case Storage::None:
        break;
    }
    return {};
}

std::optional<std::string_view> RowCodec::text(RowBytes row, std::size_t column) const {
    if (state(row, column) != CellState::Assigned ||
        static_cast<Storage>(storage_[column]) != Storage::Text) {
        return std::nullopt;
    }
    const std::uint8_t* p = row.data() + valueOffset(row, column);
    std::size_t length = 0;
    const std::size_t prefix = getLength(p, row.data() + row.size(), length);
    return std::string_view(reinterpret_cast<const char*>(p + prefix), length);
}

std::optional<ScaledDecimal> RowCodec::decimalAt(const std::uint8_t* cell) {
    // Eighteen digits always fit 64 bits; longer ones are left to Bcd.
    constexpr int kFastDigits = 18;
    const int precision = cell[0];
    const std::uint8_t signPlaces = cell[1];
    const int scale = signPlaces & db::Bcd::kPlacesMask;
    if (precision > kFastDigits) {
        db::Bcd bcd;
        bcd.precision = cell[0];
        bcd.signSpecialPlaces = signPlaces;
        std::memcpy(bcd.fraction, cell + 2, (bcd.precision + 1u) / 2);
        for (int i = 0; i < precision; ++i) {
            if (bcd.digit(i) > 9) {
                return std::nullopt;
            }
        }
        const std::optional<std::int64_t> scaled = bcd.toScaled();
        if (!scaled) {
            return std::nullopt;
        }
        return ScaledDecimal{*scaled, scale};
    }
    // Two digits a byte, the high nibble first.
    const std::uint8_t* digits = cell + 2;
    std::uint64_t magnitude = 0;
    bool valid = true;
    for (int i = 0; i < precision / 2; ++i) {
        const std::uint8_t pair = kDigitPairs[digits[i]];
        valid = valid && pair != kNoDigitPair;
        magnitude = magnitude * 100 + pair;
    }
    if (precision % 2 != 0) {
        const unsigned high = digits[precision / 2] >> 4u;
        valid = valid && high <= 9;
        magnitude = magnitude * 10 + high;
    }
    if (!valid) {
        return std::nullopt;
    }
    const auto value = static_cast<std::int64_t>(magnitude);
    return ScaledDecimal{(signPlaces & db::Bcd::kNegativeBit) != 0 ? -value : value, scale};
}

bool RowCodec::sameCell(RowBytes a, RowBytes b, std::size_t column) const {
    const CellState stateA = state(a, column);
    if (stateA != state(b, column)) {
        return false;
    }
    if (stateA != CellState::Assigned) {
        return true;
    }
    const std::size_t offsetA = valueOffset(a, column);
    const std::size_t offsetB = valueOffset(b, column);
    const std::size_t sizeA = valueSize(a.data() + offsetA, a.data() + a.size(), column);
    const std::size_t sizeB = valueSize(b.data() + offsetB, b.data() + b.size(), column);
    return sizeA == sizeB && std::memcmp(a.data() + offsetA, b.data() + offsetB, sizeA) == 0;
}

bool RowCodec::valid(RowBytes row) const {
    if (row.size() < 1 + stateBytes() || row[0] > static_cast<std::uint8_t>(RowStatus::Deleted)) {
        return false;
    }
    std::size_t offset = 1 + stateBytes();
    const std::uint8_t* end = row.data() + row.size();
    for (std::size_t c = 0; c < types_.size(); ++c) {
        const CellState cell = state(row, c);
        if (cell == CellState::Assigned) {
            const std::size_t size = valueSize(row.data() + offset, end, c);
            if (size == 0) {
                return false;
            }
            offset += size;
        } else if (cell != CellState::Null && cell != CellState::Unchanged) {
            return false;
        }
    }
    return offset == row.size();
}

} // namespace dataset
