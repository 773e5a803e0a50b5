#include "dataset/engine/packet_reader.h"

#include "dataset/engine/data_set_engine_error.h"
#include "dataset/engine/packet_format.h"

#include <cstring>

namespace dataset {
namespace {

using namespace packet_format;

[[noreturn]] void invalid() {
    throw DataSetEngineError(EngineStatus::InvalidPacket, PacketReader::kInvalidPacket);
}

class Input {
public:
    explicit Input(const std::vector<std::uint8_t>& bytes) : bytes_(bytes) {}

    std::size_t position() const { return at_; }
    void need(std::size_t count) const {
        if (count > bytes_.size() - at_) {
            invalid();
        }
    }
    template <typename T> T take() {
        need(sizeof(T));
        T value;
        std::memcpy(&value, bytes_.data() + at_, sizeof(T));
        at_ += sizeof(T);
        return value;
    }
    std::string text(std::size_t length) {
        need(length);
        std::string value(reinterpret_cast<const char*>(bytes_.data() + at_), length);
        at_ += length;
        return value;
    }
    void skip(std::size_t count) {
        need(count);
        at_ += count;
    }

private:
    const std::vector<std::uint8_t>& bytes_;
    std::size_t at_ = 0;
};

void readAttributes(Input& in, std::size_t count, std::vector<PacketAttribute>& attributes) {
    for (std::size_t i = 0; i < count; ++i) {
        PacketAttribute attribute;
        attribute.name = in.text(in.take<std::uint16_t>());
        switch (static_cast<ValueTag>(in.take<std::uint8_t>())) {
        case ValueTag::Null:
            break;
        case ValueTag::Text:
            attribute.value = in.text(in.take<std::uint32_t>());
            break;
        case ValueTag::Integer:
            attribute.value = in.take<std::int64_t>();
            break;
        default:
            invalid();
        }
        const auto inDelta = in.take<std::uint8_t>();
        if (inDelta > 1) {
            invalid();
        }
        attribute.inDelta = inDelta == 1;
        attributes.push_back(std::move(attribute));
    }
}

} // namespace

const PacketAttribute* Packet::attribute(std::string_view name) const {
    for (const PacketAttribute& a : attributes) {
        if (a.name == name) {
            return &a;
        }
    }
    return nullptr;
}

Packet PacketReader::read(std::vector<std::uint8_t> bytes) {
    Packet packet;
    packet.bytes = std::move(bytes);
    Input in(packet.bytes);
    in.need(kHeaderSize);
    if (std::memcmp(packet.bytes.data(), kMagic, sizeof kMagic) != 0) {
        invalid();
    }
    in.skip(sizeof kMagic);
    if (in.take<std::uint16_t>() != kVersion || in.take<std::uint16_t>() != kHeaderSize) {
        invalid();
    }
    const auto columnCount = in.take<std::uint16_t>();
    const auto attributeCount = in.take<std::uint16_t>();
    const auto rowCount = in.take<std::uint32_t>();
    const auto rowBytes = in.take<std::uint32_t>();
    in.skip(2);

    readAttributes(in, attributeCount, packet.attributes);
    std::vector<FieldType> types;
    for (std::size_t i = 0; i < columnCount; ++i) {
        ColumnDesc column;
        column.name = in.text(in.take<std::uint16_t>());
        const auto type = in.take<std::uint8_t>();
        if (type > static_cast<std::uint8_t>(FieldType::FmtMemo)) {
            invalid();
        }
        column.type = static_cast<FieldType>(type);
        column.size = in.take<std::int32_t>();
        column.precision = in.take<std::int32_t>();
        const auto flags = in.take<std::uint8_t>();
        if ((flags & ~(kRequired | kReadOnly)) != 0) {
            invalid();
        }
        column.required = (flags & kRequired) != 0;
        column.readOnly = (flags & kReadOnly) != 0;
        readAttributes(in, in.take<std::uint16_t>(), column.attributes);
        types.push_back(column.type);
        packet.columns.push_back(std::move(column));
    }

    if (rowBytes != packet.bytes.size() - in.position()) {
        invalid();
    }
    // Each row takes at least its length and status, which bounds the count
    // before anything is reserved for it.
    if (rowCount > rowBytes / 5) {
        invalid();
    }
    const RowCodec codec(std::move(types));
    packet.rows.reserve(rowCount);
    for (std::uint32_t i = 0; i < rowCount; ++i) {
        const auto size = in.take<std::uint32_t>();
        const auto offset = static_cast<std::uint32_t>(in.position());
        in.skip(size);
        packet.rows.push_back({offset, size});
        if (!codec.valid(packet.row(i))) {
            invalid();
        }
    }
    if (in.position() != packet.bytes.size()) {
        invalid();
    }
    return packet;
}

} // namespace dataset
