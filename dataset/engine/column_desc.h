#pragma once
// The description of one column of a data packet.

#include "dataset/engine/field_type.h"
#include "db/packet_attribute.h"

#include <string>
#include <string_view>
#include <vector>

namespace dataset {

using PacketAttribute = db::PacketAttribute;

struct ColumnDesc {
    std::string name;
    FieldType type = FieldType::Unknown;
    int size = 0;
    int precision = 0;
    bool required = false;
    bool readOnly = false;
    // "ORIGIN", "PROVFLAGS", "FIELDPROPS" and whatever else the provider adds.
    std::vector<PacketAttribute> attributes;

    const PacketAttribute* attribute(std::string_view attributeName) const {
        for (const PacketAttribute& a : attributes) {
            if (a.name == attributeName) {
                return &a;
            }
        }
        return nullptr;
    }
};

} // namespace dataset
