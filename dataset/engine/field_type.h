#pragma once
// The field types a data set knows (the database layer's own), their families
// for binding persistent fields to packet columns, their names in messages, and
// the value a field holds.

#include "db/field_type.h"
#include "db/sql_param.h"

#include <string_view>

namespace dataset {

using FieldType = db::FieldType;

// A value of a field: null (monostate), text, integer, double, decimal,
// date, time, time stamp or bytes.
using Value = db::SQLValue;

// Types of one family can be bound to each other's columns.
int fieldTypeFamily(FieldType type);
bool sameFieldTypeFamily(FieldType a, FieldType b);
// The name used in "Type mismatch" messages, such as "Integer" or "FMTBcd".
std::string_view fieldTypeName(FieldType type);
bool isStringType(FieldType type);
bool isIntegerType(FieldType type);
bool isBlobType(FieldType type);

} // namespace dataset
