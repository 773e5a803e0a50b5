#include "db/firebird/fb_message.h"

#include "db/firebird/fb_status.h"

#include <cstring>

namespace db::firebird {

FbMessage::~FbMessage() {
    if (metadata_ != nullptr) {
        metadata_->release();
    }
}

bool FbMessage::describe(const FbClient& client, Firebird::IMessageMetadata* metadata,
                         std::string* error) {
    if (metadata_ != nullptr) {
        metadata_->release();
    }
    metadata_ = metadata;
    fields_.clear();
    buffer_.clear();
    if (metadata == nullptr) {
        return true;
    }
    FbStatus status(client);
    const unsigned count = metadata->getCount(status.get());
    for (unsigned i = 0; i < count && !status.failed(); ++i) {
        FbField f;
        f.type = metadata->getType(status.get(), i) & ~1u;
        f.subType = metadata->getSubType(status.get(), i);
        f.scale = metadata->getScale(status.get(), i);
        f.length = metadata->getLength(status.get(), i);
        f.charSet = metadata->getCharSet(status.get(), i);
        f.offset = metadata->getOffset(status.get(), i);
        f.nullOffset = metadata->getNullOffset(status.get(), i);
        f.nullable = metadata->isNullable(status.get(), i);
        const char* alias = metadata->getAlias(status.get(), i);
        const char* relation = metadata->getRelation(status.get(), i);
        const char* field = metadata->getField(status.get(), i);
        f.alias = alias != nullptr ? alias : "";
        f.relation = relation != nullptr ? relation : "";
        f.field = field != nullptr ? field : "";
        fields_.push_back(std::move(f));
    }
    const unsigned length = status.failed() ? 0 : metadata->getMessageLength(status.get());
    if (status.failed()) {
        *error = status.message();
        return false;
    }
    buffer_.assign(length, 0);
    return true;
}

bool FbMessage::isNull(int index) const {
    std::int16_t indicator = 0;
    std::memcpy(&indicator, buffer_.data() + field(index).nullOffset, sizeof indicator);
    return indicator != 0;
}

} // namespace db::firebird
