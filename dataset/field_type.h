#pragma once
// The field types a data set knows (the database layer's own), their families
// for binding persistent fields to packet columns, and their names in messages.

#include "db/field_type.h"

#include <string_view>

namespace dataset {

using FieldType = db::FieldType;

// Types of one family can be bound to each other's columns.
int fieldTypeFamily(FieldType type);
bool sameFieldTypeFamily(FieldType a, FieldType b);
// The name used in "Type mismatch" messages, such as "Integer" or "FMTBcd".
std::string_view fieldTypeName(FieldType type);
bool isStringType(FieldType type);
bool isIntegerType(FieldType type);
bool isBlobType(FieldType type);

} // namespace dataset
