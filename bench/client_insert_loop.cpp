#include "bench/client_insert_loop.h"

#include <cstdint>

namespace bench {

InsertMessage::InsertMessage(ClientStatus& status, Firebird::IStatement* statement)
    : meta_(statement->getInputMetadata(status.get())),
      buffer_(meta_->getMessageLength(status.get())) {
    const unsigned count = meta_->getCount(status.get());
    for (unsigned i = 0; i < count; ++i) {
        offsets_.push_back(meta_->getOffset(status.get(), i));
        *reinterpret_cast<short*>(buffer_.data() + meta_->getNullOffset(status.get(), i)) = 0;
    }
}

InsertMessage::~InsertMessage() {
    meta_->release();
}

void InsertMessage::setVarying(unsigned parameter, std::string_view text) {
    const auto length = static_cast<std::uint16_t>(text.size());
    std::memcpy(buffer_.data() + offsets_[parameter], &length, sizeof length);
    std::memcpy(buffer_.data() + offsets_[parameter] + sizeof length, text.data(), text.size());
}

} // namespace bench
