#pragma once
// The layout and the buffer of one Firebird message: a result row or the
// outputs of a procedure call, described by the server's metadata.

#include "db/firebird/fb_client.h"

#include <string>
#include <vector>

namespace db::firebird {

struct FbField {
    unsigned type = 0; // SQL_xxx without the nullable bit
    int subType = 0;
    int scale = 0;
    unsigned length = 0; // bytes
    unsigned charSet = 0;
    unsigned offset = 0;
    unsigned nullOffset = 0;
    bool nullable = true;
    std::string alias;
    std::string relation;
    std::string field;
};

class FbMessage {
public:
    FbMessage() = default;
    ~FbMessage();
    FbMessage(const FbMessage&) = delete;
    FbMessage& operator=(const FbMessage&) = delete;

    // Takes over the metadata (null is an empty message). False, with the
    // server's text in error, when the metadata cannot be read.
    bool describe(const FbClient& client, Firebird::IMessageMetadata* metadata, std::string* error);

    Firebird::IMessageMetadata* metadata() const { return metadata_; }
    unsigned char* buffer() { return buffer_.data(); }
    int count() const { return static_cast<int>(fields_.size()); }
    const FbField& field(int index) const { return fields_[static_cast<std::size_t>(index)]; }

    bool isNull(int index) const;
    const unsigned char* data(int index) const { return buffer_.data() + field(index).offset; }

private:
    Firebird::IMessageMetadata* metadata_ = nullptr;
    std::vector<FbField> fields_;
    std::vector<unsigned char> buffer_;
};

} // namespace db::firebird
