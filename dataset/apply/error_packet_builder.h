#pragma once
// The error packet of one apply: the delta's columns plus the error columns,
// one row per failed delta row, found by its record number in the delta.

#include "dataset/apply/update_kinds.h"
#include "dataset/engine/column_desc.h"
#include "dataset/engine/packet_writer.h"

#include <memory>
#include <optional>
#include <set>
#include <string>
#include <vector>

namespace dataset {

class ErrorPacketBuilder {
public:
    static constexpr const char* kRecordNo = "ERROR_RECORDNO";
    static constexpr const char* kResponse = "ERROR_RESPONSE";
    static constexpr const char* kMessage = "ERROR_MESSAGE";
    static constexpr const char* kContext = "ERROR_CONTEXT";
    static constexpr const char* kCategory = "ERROR_CATEGORY";
    static constexpr const char* kCode = "ERROR_CODE";
    static constexpr const char* kPrevious = "ERROR_PREVIOUS";

    explicit ErrorPacketBuilder(const std::vector<ColumnDesc>& deltaColumns);

    bool logged(std::size_t recordNo) const { return logged_.contains(recordNo); }
    // status: the failed delta row's; current: the database's values after a
    // conflict read, empty when there were none.
    void log(std::size_t recordNo, RowStatus status, ResolverResponse response,
             const std::string& message, int errorCode, int previousError,
             const std::vector<std::optional<Value>>& current);
    std::vector<std::uint8_t> finish() { return writer_.finish(); }

private:
    std::size_t deltaColumns_;
    PacketWriter writer_;
    std::set<std::size_t> logged_;
};

} // namespace dataset
