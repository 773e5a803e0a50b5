#pragma once
// The statements that write one changed row back to its table: insert,
// update and delete, and the select that reads a failed row again. Each is
// a list of lines ending in CR LF with positional "?" parameters.

#include "dataset/apply/provider_flag.h"
#include "dataset/engine/field_type.h"

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace dataset {

enum class UpdateMode;

// A column of the delta as the resolver writes it.
struct ResolveColumn {
    // The name written into the SQL: the origin reduced to a column name.
    std::string origin;
    FieldType type = FieldType::Unknown;
    int size = 0;
    ProviderFlags flags = kDefaultProviderFlags;
    bool readOnly = false;
    bool serverCalculated = false;
};

// The values of one delta row: nullopt is unassigned (not changed), which
// is not the same as null (std::monostate).
struct RowValues {
    std::vector<std::optional<Value>> oldValues;
    std::vector<std::optional<Value>> newValues;
};

struct UpdateStatement {
    std::string text;
    db::SQLParams params;
};

class UpdateSqlBuilder {
public:
    static constexpr const char* kNoKey = "Unable to find record.  No key specified";

    // quotedTable: the table name as written (see quoteTableName).
    UpdateSqlBuilder(std::vector<ResolveColumn> columns, std::string quote, std::string quotedTable,
                     UpdateMode mode);

    const std::vector<ResolveColumn>& columns() const { return columns_; }

    UpdateStatement insertion(const RowValues& row) const;
    // None when no column is written: the row then counts as applied.
    std::optional<UpdateStatement> modification(const RowValues& row) const;
    UpdateStatement deletion(const RowValues& row) const;
    // Reads the row's current values; the where part uses key columns only.
    // Also gives the columns read, in select order.
    UpdateStatement conflictRead(const RowValues& row, std::vector<std::size_t>& readColumns) const;

    // Empty stays empty; a name already in quotes stays as it is; otherwise
    // it is quoted, each of the first two dotted parts on its own when the
    // source is SQL-based.
    static std::string quoteTableName(std::string_view name, std::string_view quote, bool sqlBased);
    // "table.column" and up to four parts give the last part; any other
    // origin, or none, gives the column's own name.
    static std::string originColumn(std::string_view origin, std::string_view columnName);

private:
    bool written(std::size_t column, const RowValues& row) const;
    bool inWhere(std::size_t column, const RowValues& row) const;
    bool whereCapable(std::size_t column) const;
    std::string name(std::size_t column) const;
    void addParam(db::SQLParams& params, std::size_t column, const Value& value) const;
    // Appends the where part; raises NoKey when no column qualifies.
    void appendWhere(std::string& text, db::SQLParams& params, const RowValues& row,
                     bool keysOnly) const;

    std::vector<ResolveColumn> columns_;
    std::string quote_;
    std::string table_;
    UpdateMode mode_;
    // The last insert's text and the columns it writes: rows of one delta
    // mostly write the same columns.
    mutable std::vector<bool> insertColumns_;
    mutable std::string insertText_;
};

} // namespace dataset
