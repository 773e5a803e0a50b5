#pragma once
// Binds a data set's fields to the columns of the packet it opened: the
// persistent fields by name with the binding rules, or one new field per
// column when the data set has none.

#include "dataset/client/field.h"
#include "dataset/engine/column_desc.h"

#include <memory>
#include <vector>

namespace dataset {

class FieldBinder {
public:
    static constexpr const char* kFieldNotFound = "Field '%s' not found";
    static constexpr const char* kTypeMismatch =
        "Type mismatch for field '%s', expecting: %s actual: %s";
    static constexpr const char* kSizeMismatch =
        "Size mismatch for field '%s', expecting: %d actual: %d";

    // Raises db::DatabaseError with the unprefixed message of the first
    // field that does not bind; nothing stays bound then.
    static void bind(const std::vector<Field*>& fields, const std::vector<ColumnDesc>& columns,
                     ClientDataSet* dataSet);
    static std::vector<std::unique_ptr<Field>> create(const std::vector<ColumnDesc>& columns,
                                                      const std::string& dataSetName,
                                                      ClientDataSet* dataSet);
    static void unbind(const std::vector<Field*>& fields);

private:
    static void applyAttributes(Field& field, const ColumnDesc& column);
};

} // namespace dataset
