#include "dataset/apply/update_sql_builder.h"

#include "dataset/apply/data_set_provider.h"
#include "db/database_error.h"

#include <algorithm>

namespace dataset {
namespace {

constexpr std::string_view kLineEnd = "\r\n";

bool isNull(const std::optional<Value>& value) {
    return value && std::holds_alternative<std::monostate>(*value);
}

bool isLargeOrBlob(const ResolveColumn& column) {
    return isBlobType(column.type) || column.size >= 8192;
}

// Replaces the last `tail` characters of the text before its final line end.
void cutLineTail(std::string& text, std::string_view tail, std::string_view replacement) {
    const std::size_t end = text.size() - kLineEnd.size();
    if (end >= tail.size() &&
        std::string_view(text).substr(end - tail.size(), tail.size()) == tail) {
        text.replace(end - tail.size(), tail.size(), replacement);
    }
}

} // namespace

UpdateSqlBuilder::UpdateSqlBuilder(std::vector<ResolveColumn> columns, std::string quote,
                                   std::string quotedTable, UpdateMode mode)
    : columns_(std::move(columns)), quote_(std::move(quote)), table_(std::move(quotedTable)),
      mode_(mode) {}

std::string UpdateSqlBuilder::quoteTableName(std::string_view name, std::string_view quote,
                                             bool sqlBased) {
    if (name.empty()) {
        return {};
    }
    const auto quoted = [](char c) { return c == '"' || c == '\'' || c == '`'; };
    if (quoted(name.front()) || quoted(name.back())) {
        return std::string(name);
    }
    std::string result(name);
    if (sqlBased && !quote.empty()) {
        const std::string dot = std::string(quote) + "." + std::string(quote);
        std::size_t at = 0;
        for (int part = 0; part < 2; ++part) {
            at = result.find('.', at);
            if (at == std::string::npos) {
                break;
            }
            result.replace(at, 1, dot);
            at += dot.size();
        }
    }
    return std::string(quote) + result + std::string(quote);
}

std::string UpdateSqlBuilder::originColumn(std::string_view origin, std::string_view columnName) {
    std::vector<std::string_view> parts;
    std::size_t start = 0;
    for (;;) {
        const std::size_t dot = origin.find('.', start);
        parts.push_back(origin.substr(start, dot - start));
        if (dot == std::string_view::npos) {
            break;
        }
        start = dot + 1;
    }
    const bool named = std::none_of(parts.begin(), parts.end(),
                                    [](std::string_view part) { return part.empty(); });
    if (parts.size() >= 2 && parts.size() <= 4 && named) {
        return std::string(parts.back());
    }
    return std::string(columnName);
}

std::string UpdateSqlBuilder::name(std::size_t column) const {
    return quote_ + columns_[column].origin + quote_;
}

bool UpdateSqlBuilder::written(std::size_t column, const RowValues& row) const {
    const ResolveColumn& c = columns_[column];
    return c.flags.has(ProviderFlag::InUpdate) && c.type != FieldType::Unknown &&
           c.type != FieldType::AutoInc && !c.readOnly && !c.flags.has(ProviderFlag::Hidden) &&
           !c.serverCalculated && row.newValues[column].has_value();
}

bool UpdateSqlBuilder::whereCapable(std::size_t column) const {
    const ResolveColumn& c = columns_[column];
    return c.type != FieldType::Unknown && !isLargeOrBlob(c) && !c.serverCalculated;
}

bool UpdateSqlBuilder::inWhere(std::size_t column, const RowValues& row) const {
    if (!whereCapable(column)) {
        return false;
    }
    const ProviderFlags flags = columns_[column].flags;
    switch (mode_) {
    case UpdateMode::WhereAll:
        return flags.has(ProviderFlag::InWhere);
    case UpdateMode::WhereChanged:
        if (flags.has(ProviderFlag::InWhere)) {
            return row.newValues[column].has_value() || flags.has(ProviderFlag::InKey);
        }
        return flags.has(ProviderFlag::InKey);
    case UpdateMode::WhereKeyOnly:
        return flags.has(ProviderFlag::InKey);
    }
    return false;
}

void UpdateSqlBuilder::addParam(db::SQLParams& params, std::size_t column,
                                const Value& value) const {
    db::SQLParam param;
    param.dataType = columns_[column].type;
    param.direction = db::ParamDirection::In;
    param.value = value;
    params.push_back(std::move(param));
}

void UpdateSqlBuilder::appendWhere(std::string& text, db::SQLParams& params, const RowValues& row,
                                   bool keysOnly) const {
    std::string part = "where";
    part += kLineEnd;
    bool any = false;
    for (std::size_t c = 0; c < columns_.size(); ++c) {
        const bool use = keysOnly ? whereCapable(c) && columns_[c].flags.has(ProviderFlag::InKey)
                                  : inWhere(c, row);
        if (!use) {
            continue;
        }
        any = true;
        const std::optional<Value>& old = row.oldValues[c];
        if (!old || isNull(old)) {
            part += " " + name(c) + " is null and";
        } else {
            part += " " + name(c) + " = ? and";
            addParam(params, c, *old);
        }
        part += kLineEnd;
    }
    if (!any) {
        throw db::DatabaseError(kNoKey);
    }
    cutLineTail(part, " and", "");
    text += part;
}

UpdateStatement UpdateSqlBuilder::insertion(const RowValues& row) const {
    UpdateStatement s;
    bool sameColumns = !insertText_.empty() && insertColumns_.size() == columns_.size();
    std::size_t count = 0;
    for (std::size_t c = 0; c < columns_.size(); ++c) {
        const bool write = written(c, row);
        if (sameColumns && insertColumns_[c] != write) {
            sameColumns = false;
        }
        count += write ? 1 : 0;
    }
    s.params.reserve(count);
    std::string names = "  (";
    std::string marks = "  (";
    for (std::size_t c = 0; c < columns_.size(); ++c) {
        if (!written(c, row)) {
            continue;
        }
        if (!sameColumns) {
            names += name(c) + ", ";
            marks += "?, ";
        }
        addParam(s.params, c, row.newValues[c] ? *row.newValues[c] : *row.oldValues[c]);
    }
    if (sameColumns) {
        s.text = insertText_;
        return s;
    }
    for (std::string* list : {&names, &marks}) {
        if (list->ends_with(", ")) {
            list->replace(list->size() - 2, 2, ")");
        }
    }
    s.text = "insert into " + table_ + std::string(kLineEnd) + names + std::string(kLineEnd) +
             "values" + std::string(kLineEnd) + marks + std::string(kLineEnd);
    insertColumns_.resize(columns_.size());
    for (std::size_t c = 0; c < columns_.size(); ++c) {
        insertColumns_[c] = written(c, row);
    }
    insertText_ = s.text;
    return s;
}

std::optional<UpdateStatement> UpdateSqlBuilder::modification(const RowValues& row) const {
    UpdateStatement s;
    s.text = "update " + table_ + "  set" + std::string(kLineEnd);
    bool any = false;
    for (std::size_t c = 0; c < columns_.size(); ++c) {
        if (!written(c, row)) {
            continue;
        }
        any = true;
        s.text += " " + name(c) + " = ?," + std::string(kLineEnd);
        addParam(s.params, c, *row.newValues[c]);
    }
    if (!any) {
        return std::nullopt;
    }
    cutLineTail(s.text, ",", "");
    appendWhere(s.text, s.params, row, false);
    return s;
}

UpdateStatement UpdateSqlBuilder::deletion(const RowValues& row) const {
    UpdateStatement s;
    s.text = "delete from " + table_ + " " + std::string(kLineEnd);
    appendWhere(s.text, s.params, row, false);
    return s;
}

UpdateStatement UpdateSqlBuilder::conflictRead(const RowValues& row,
                                               std::vector<std::size_t>& readColumns) const {
    UpdateStatement s;
    s.text = "select" + std::string(kLineEnd);
    readColumns.clear();
    for (std::size_t c = 0; c < columns_.size(); ++c) {
        if (inWhere(c, row)) {
            s.text += " " + name(c) + "," + std::string(kLineEnd);
            readColumns.push_back(c);
        }
    }
    cutLineTail(s.text, ",", "");
    s.text += " from " + table_ + " " + std::string(kLineEnd);
    appendWhere(s.text, s.params, row, true);
    return s;
}

} // namespace dataset
