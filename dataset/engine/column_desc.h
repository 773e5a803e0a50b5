#pragma once
// The description of one column of a data packet.

#include "dataset/engine/field_type.h"
#include "db/column_info.h"
#include "db/packet_attribute.h"

#include <string>
#include <string_view>
#include <vector>

namespace dataset {

using PacketAttribute = db::PacketAttribute;

struct ColumnDesc : db::ColumnInfo {
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
