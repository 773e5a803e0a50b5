#include "db/firebird/described_cursor.h"

namespace db::firebird {

bool DescribedCursor::hasColumn(int column) const {
    return column >= 1 && column <= static_cast<int>(columns_.size());
}

template <typename Read> int DescribedCursor::describe(int column, Read read) const {
    if (!hasColumn(column)) {
        return DriverResult::kOutOfRange;
    }
    read(columns_[static_cast<std::size_t>(column - 1)]);
    return DriverResult::kSuccess;
}

int DescribedCursor::getColumnCount(int* count) {
    *count = static_cast<int>(columns_.size());
    return DriverResult::kSuccess;
}

int DescribedCursor::getColumnName(int column, const char** name) {
    return describe(column, [&](const CursorColumn& c) { *name = c.name.c_str(); });
}

int DescribedCursor::getColumnType(int column, int* type, int* subType) {
    return describe(column, [&](const CursorColumn& c) {
        *type = c.description.type;
        *subType = c.description.subType;
    });
}

int DescribedCursor::getColumnLength(int column, int* length) {
    return describe(column, [&](const CursorColumn& c) { *length = c.description.length; });
}

int DescribedCursor::getColumnPrecision(int column, int* precision) {
    return describe(column, [&](const CursorColumn& c) { *precision = c.description.precision; });
}

int DescribedCursor::getColumnScale(int column, int* scale) {
    return describe(column, [&](const CursorColumn& c) { *scale = c.description.scale; });
}

int DescribedCursor::isNullable(int column, bool* nullable) {
    return describe(column, [&](const CursorColumn& c) { *nullable = c.nullable; });
}

int DescribedCursor::isReadOnly(int column, bool* readOnly) {
    return describe(column, [&](const CursorColumn& c) { *readOnly = c.readOnly; });
}

} // namespace db::firebird
