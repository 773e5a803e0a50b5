#include "dataset/client/field_binder.h"

#include "db/database_error.h"
#include "platform/text.h"

namespace dataset {
namespace {

bool sizeChecked(FieldType type) {
    return type == FieldType::BCD || type == FieldType::Bytes || type == FieldType::VarBytes;
}

} // namespace

void FieldBinder::applyAttributes(Field& field, const ColumnDesc& column) {
    field.origin_.clear();
    field.providerFlags_ = kDefaultProviderFlags;
    if (const PacketAttribute* origin = column.attribute("ORIGIN")) {
        if (const auto* text = std::get_if<std::string>(&origin->value)) {
            field.origin_ = *text;
        }
    }
    if (const PacketAttribute* flags = column.attribute("PROVFLAGS")) {
        if (const auto* bits = std::get_if<std::int64_t>(&flags->value)) {
            field.providerFlags_ = ProviderFlags::fromBits(static_cast<std::uint8_t>(*bits));
        }
    }
    // "FIELDPROPS" carries no property that these fields keep.
}

void FieldBinder::bind(const std::vector<Field*>& fields, const std::vector<ColumnDesc>& columns,
                       ClientDataSet* dataSet) {
    try {
        for (Field* field : fields) {
            int found = -1;
            for (std::size_t c = 0; c < columns.size(); ++c) {
                if (columns[c].name == field->FieldName()) {
                    found = static_cast<int>(c);
                    break;
                }
            }
            if (found < 0) {
                throw db::DatabaseError(platform::fill(kFieldNotFound, {field->displayName()}));
            }
            const ColumnDesc& column = columns[static_cast<std::size_t>(found)];
            if (!sameFieldTypeFamily(field->DataType(), column.type)) {
                throw db::DatabaseError(
                    platform::fill(kTypeMismatch, {field->displayName(),
                                                   std::string(fieldTypeName(field->DataType())),
                                                   std::string(fieldTypeName(column.type))}));
            }
            if (sizeChecked(field->DataType()) && field->Size() != column.size) {
                throw db::DatabaseError(platform::fill(
                    kSizeMismatch, {field->displayName(), std::to_string(field->Size()),
                                    std::to_string(column.size)}));
            }
            field->size_ = field->declaredSize_;
            if (isStringType(field->DataType()) && field->Size() > column.size &&
                !field->ReadOnly) {
                field->size_ = column.size;
            }
            field->column_ = found;
            field->dataSet_ = dataSet;
            applyAttributes(*field, column);
        }
    } catch (...) {
        unbind(fields);
        throw;
    }
}

std::vector<std::unique_ptr<Field>> FieldBinder::create(const std::vector<ColumnDesc>& columns,
                                                        const std::string& dataSetName,
                                                        ClientDataSet* dataSet) {
    std::vector<std::unique_ptr<Field>> fields;
    for (std::size_t c = 0; c < columns.size(); ++c) {
        const ColumnDesc& column = columns[c];
        auto field = std::make_unique<Field>(dataSetName + column.name, column.name, column.type,
                                             column.size, column.precision);
        field->Required = column.required;
        field->ReadOnly = column.readOnly;
        field->column_ = static_cast<int>(c);
        field->dataSet_ = dataSet;
        field->index_ = static_cast<int>(c);
        applyAttributes(*field, column);
        fields.push_back(std::move(field));
    }
    return fields;
}

void FieldBinder::unbind(const std::vector<Field*>& fields) {
    for (Field* field : fields) {
        field->column_ = -1;
        field->size_ = field->declaredSize_;
    }
}

} // namespace dataset
