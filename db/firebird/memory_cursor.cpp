#include "db/firebird/memory_cursor.h"

#include <cstring>

namespace db::firebird {

MemoryCursor::MemoryCursor(const std::vector<Column>& columns) {
    for (const Column& column : columns) {
        ColumnDescription description;
        description.type = column.type;
        description.length = column.type == DriverType::kString
                                 ? column.precision
                                 : static_cast<int>(sizeof(std::int32_t));
        description.precision = column.precision;
        columns_.push_back({column.name, description, true, true});
    }
}

int MemoryCursor::next() {
    if (next_ >= rows_.size()) {
        current_ = nullptr;
        return DriverResult::kEndOfData;
    }
    current_ = &rows_[next_++];
    return DriverResult::kSuccess;
}

int MemoryCursor::value(int column, const Value** found) const {
    if (!hasColumn(column)) {
        return DriverResult::kOutOfRange;
    }
    if (current_ == nullptr) {
        return DriverResult::kEndOfData;
    }
    *found = &(*current_)[static_cast<std::size_t>(column - 1)];
    return DriverResult::kSuccess;
}

int MemoryCursor::getString(int column, char* buffer, int bufferLength, bool* isBlank) {
    const Value* v = nullptr;
    if (const int r = value(column, &v); r != DriverResult::kSuccess) {
        return r;
    }
    *isBlank = std::holds_alternative<std::monostate>(*v);
    if (*isBlank) {
        return DriverResult::kSuccess;
    }
    const auto* text = std::get_if<std::string>(v);
    if (text == nullptr) {
        return DriverResult::kInvalidFieldType;
    }
    if (bufferLength < static_cast<int>(text->size()) + 1) {
        return DriverResult::kInvalidLength;
    }
    std::memcpy(buffer, text->c_str(), text->size() + 1);
    return DriverResult::kSuccess;
}

std::optional<std::int32_t> MemoryCursor::integerAt(int column, bool* isBlank, int* result) const {
    const Value* v = nullptr;
    *result = value(column, &v);
    if (*result != DriverResult::kSuccess) {
        return std::nullopt;
    }
    *isBlank = std::holds_alternative<std::monostate>(*v);
    if (*isBlank) {
        return std::nullopt;
    }
    const auto* number = std::get_if<std::int32_t>(v);
    if (number == nullptr) {
        *result = DriverResult::kInvalidFieldType;
        return std::nullopt;
    }
    return *number;
}

int MemoryCursor::getShort(int column, std::int16_t* value, bool* isBlank) {
    int result = 0;
    if (const auto number = integerAt(column, isBlank, &result)) {
        *value = static_cast<std::int16_t>(*number);
    }
    return result;
}

int MemoryCursor::getLong(int column, std::int32_t* value, bool* isBlank) {
    int result = 0;
    if (const auto number = integerAt(column, isBlank, &result)) {
        *value = *number;
    }
    return result;
}

int MemoryCursor::getInt64(int column, std::int64_t* value, bool* isBlank) {
    int result = 0;
    if (const auto number = integerAt(column, isBlank, &result)) {
        *value = *number;
    }
    return result;
}

} // namespace db::firebird
