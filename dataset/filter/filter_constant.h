#pragma once
// Turns a literal of a filter into a constant of the type of the field it is
// compared with: numbers for numeric fields, texts in the user's short date
// format for date fields, with a time after a blank for date-time fields.

#include "dataset/filter/filter_compiler.h"

namespace dataset {

class FilterConstant {
public:
    // quoted: the literal was a string constant. Raises db::DatabaseError
    // with "Type mismatch in expression" or "'%s' is not a valid date".
    static Value make(const FilterCompiler::FieldRef& field, bool quoted, const std::string& text,
                      const FilterCompiler::DateParser& parseDate);
};

} // namespace dataset
