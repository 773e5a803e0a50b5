#pragma once
// A row of the error packet as the client sees it while reconciling, with
// the values of the changed row it is about.

#include "dataset/engine/field_type.h"
#include "db/database_error.h"

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace dataset {

// The values of a changed row, by column.
struct ReconcileRow {
    std::vector<std::string> columns;
    // As the provider sent the row; empty for an inserted row.
    std::vector<Value> oldValues;
    // As the change log holds it; empty for a deleted row.
    std::vector<Value> newValues;
};

class ReconcileError : public db::DatabaseError {
public:
    ReconcileError(const std::string& message, std::string context, int errorCode,
                   int previousError, ReconcileRow row = {})
        : db::DatabaseError(message), context_(std::move(context)), errorCode_(errorCode),
          previousError_(previousError), row_(std::move(row)) {}

    const std::string& context() const { return context_; }
    int errorCode() const { return errorCode_; }
    int previousError() const { return previousError_; }

    const ReconcileRow& row() const { return row_; }
    // A column's value as the provider sent it; empty for an inserted row or
    // a column the row does not have.
    std::optional<Value> oldValue(std::string_view column) const {
        return valueOf(row_.oldValues, column);
    }
    // A column's value as the change log holds it; empty for a deleted row.
    std::optional<Value> newValue(std::string_view column) const {
        return valueOf(row_.newValues, column);
    }

private:
    std::optional<Value> valueOf(const std::vector<Value>& values, std::string_view column) const {
        for (std::size_t c = 0; c < row_.columns.size() && c < values.size(); ++c) {
            if (row_.columns[c] == column) {
                return values[c];
            }
        }
        return std::nullopt;
    }

    std::string context_;
    int errorCode_;
    int previousError_;
    ReconcileRow row_;
};

} // namespace dataset
