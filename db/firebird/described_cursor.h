#pragma once
// The part of a cursor that its columns' descriptions answer: the column
// count, names, types and sizes, nullability and whether a column can be
// written back. A cursor fills the descriptions once when it opens.

#include "db/firebird/error_slot.h"
#include "db/firebird/fb_types.h"
#include "db/sql_driver.h"

#include <string>
#include <vector>

namespace db::firebird {

struct CursorColumn {
    std::string name;
    ColumnDescription description;
    bool nullable = true;
    bool readOnly = false;
};

class DescribedCursor : public ReportsErrors<ISQLCursor> {
public:
    int getColumnCount(int* count) override;
    int getColumnName(int column, const char** name) override;
    int getColumnType(int column, int* type, int* subType) override;
    int getColumnLength(int column, int* length) override;
    int getColumnPrecision(int column, int* precision) override;
    int getColumnScale(int column, int* scale) override;
    int isNullable(int column, bool* nullable) override;
    int isReadOnly(int column, bool* readOnly) override;

protected:
    DescribedCursor() = default;
    explicit DescribedCursor(std::vector<CursorColumn> columns) : columns_(std::move(columns)) {}

    // Column numbers count from 1.
    bool hasColumn(int column) const;

    std::vector<CursorColumn> columns_;

private:
    // Gives what `read` takes from the column's description, or OutOfRange.
    template <typename Read> int describe(int column, Read read) const;
};

} // namespace db::firebird
