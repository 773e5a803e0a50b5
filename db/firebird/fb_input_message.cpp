#include "db/firebird/fb_input_message.h"

#include "db/firebird/fb_status.h"

#include <algorithm>
#include <cstring>

namespace db::firebird {

namespace {

constexpr unsigned CharSetNone = 0;
constexpr unsigned CharSetOctets = 1;
constexpr unsigned MaxSegment = 32768;
constexpr std::size_t MaxVarying = 32765;

// The Firebird form of one value, before offsets are known.
struct Encoded {
    unsigned type = SQL_VARYING;
    int subType = 0;
    int scale = 0;
    unsigned charSet = CharSetNone;
    std::vector<unsigned char> data; // without the length word of a VARYING
    bool isNull = false;
};

template <typename T> T load(const std::vector<unsigned char>& bytes) {
    T value{};
    if (!bytes.empty()) {
        std::memcpy(&value, bytes.data(),
                    bytes.size() < sizeof value ? bytes.size() : sizeof value);
    }
    return value;
}

template <typename T> std::vector<unsigned char> bytesOf(const T& value) {
    std::vector<unsigned char> data(sizeof value);
    std::memcpy(data.data(), &value, sizeof value);
    return data;
}

std::optional<FbFailure> writeBlob(FbSession& session, Firebird::ITransaction* transaction,
                                   const std::vector<unsigned char>& content, ISC_QUAD* id) {
    FbStatus status(session.client());
    Firebird::IBlob* blob =
        session.attachment()->createBlob(status.get(), transaction, id, 0, nullptr);
    for (std::size_t done = 0; !status.failed() && done < content.size(); done += MaxSegment) {
        const std::size_t piece = std::min<std::size_t>(MaxSegment, content.size() - done);
        blob->putSegment(status.get(), static_cast<unsigned>(piece), content.data() + done);
    }
    if (blob != nullptr && !status.failed()) {
        blob->close(status.get());
    }
    if (status.failed()) {
        FbFailure failure{status.resultCode(), status.message()};
        if (blob != nullptr) {
            blob->release();
        }
        return failure;
    }
    return std::nullopt;
}

} // namespace

FbParamValue FbParamValue::ofText(const std::string& text) {
    FbParamValue value;
    value.set = true;
    value.type = DriverType::String;
    value.isNull = false;
    value.length = static_cast<int>(text.size()) + 1;
    value.bytes.assign(text.begin(), text.end());
    value.bytes.push_back(0);
    return value;
}

FbInputMessage::~FbInputMessage() {
    reset();
}

void FbInputMessage::reset() {
    if (metadata_ != nullptr) {
        metadata_->release();
        metadata_ = nullptr;
    }
    buffer_.clear();
}

std::optional<FbFailure> FbInputMessage::build(FbSession& session,
                                               Firebird::ITransaction* transaction,
                                               const std::vector<const FbParamValue*>& values,
                                               Firebird::IMessageMetadata* serverMetadata) {
    reset();
    FbClient& client = session.client();
    FbStatus status(client);
    const unsigned serverCount =
        serverMetadata != nullptr ? serverMetadata->getCount(status.get()) : 0;

    std::vector<Encoded> encoded(values.size());
    for (std::size_t i = 0; i < values.size(); ++i) {
        const FbParamValue& value = *values[i];
        Encoded& e = encoded[i];
        const bool known = i < serverCount;
        const unsigned serverType =
            known ? serverMetadata->getType(status.get(), static_cast<unsigned>(i)) & ~1u
                  : SQL_VARYING;
        const bool serverText =
            serverType == SQL_TEXT || serverType == SQL_VARYING ||
            (serverType == SQL_BLOB && known &&
             serverMetadata->getSubType(status.get(), static_cast<unsigned>(i)) == 1);
        if (value.isNull) {
            e.isNull = true;
            e.data.assign(1, 0);
            continue;
        }
        const std::vector<unsigned char>& b = value.bytes;
        switch (value.type) {
        case DriverType::String: {
            const auto end = std::find(b.begin(), b.end(), 0);
            e.data.assign(b.begin(), end);
            e.charSet = serverText && known
                            ? serverMetadata->getCharSet(status.get(), static_cast<unsigned>(i))
                            : CharSetNone;
            break;
        }
        case DriverType::Int16:
        case DriverType::Boolean:
            e.type = value.type == DriverType::Boolean ? SQL_BOOLEAN : SQL_SHORT;
            e.data = value.type == DriverType::Boolean
                         ? std::vector<unsigned char>{static_cast<unsigned char>(
                               load<std::int16_t>(b) != 0)}
                         : bytesOf(load<std::int16_t>(b));
            break;
        case DriverType::Int32:
            e.type = SQL_LONG;
            e.data = bytesOf(load<std::int32_t>(b));
            break;
        case DriverType::UInt16:
            e.type = SQL_LONG;
            e.data = bytesOf(static_cast<std::int32_t>(load<std::uint16_t>(b)));
            break;
        case DriverType::UInt32:
            e.type = SQL_INT64;
            e.data = bytesOf(static_cast<std::int64_t>(load<std::uint32_t>(b)));
            break;
        case DriverType::Int64:
            e.type = SQL_INT64;
            e.data = bytesOf(load<std::int64_t>(b));
            break;
        case DriverType::Float:
            if (value.length == 4) {
                e.type = SQL_FLOAT;
                e.data = bytesOf(load<float>(b));
            } else {
                e.type = SQL_DOUBLE;
                e.data = bytesOf(load<double>(b));
            }
            break;
        case DriverType::Bcd:
        case DriverType::FmtBcd: {
            const Bcd bcd = load<Bcd>(b);
            if (bcd.precision > Bcd::MaxDigits) {
                return FbFailure{DriverResult::InvalidPrecision, "invalid BCD value"};
            }
            if (const auto scaled = bcd.toScaled()) {
                e.type = SQL_INT64;
                e.scale = -bcd.scale();
                e.data = bytesOf(*scaled);
            } else {
                // Too many digits for 64 bits: the server reads the exact text.
                const std::string text = bcd.toString();
                e.data.assign(text.begin(), text.end());
            }
            break;
        }
        case DriverType::Date: {
            const auto d = load<SQLDate>(b);
            e.type = SQL_TYPE_DATE;
            e.data = bytesOf(client.util()->encodeDate(static_cast<unsigned>(d.year),
                                                       static_cast<unsigned>(d.month),
                                                       static_cast<unsigned>(d.day)));
            break;
        }
        case DriverType::Time: {
            const auto t = load<SQLTime>(b);
            e.type = SQL_TYPE_TIME;
            e.data = bytesOf(client.util()->encodeTime(
                static_cast<unsigned>(t.hour), static_cast<unsigned>(t.minute),
                static_cast<unsigned>(t.second), static_cast<unsigned>(t.fraction)));
            break;
        }
        case DriverType::DateTime:
        case DriverType::SQLTimeStamp: {
            const auto t = load<SQLTimeStamp>(b);
            ISC_TIMESTAMP stamp;
            stamp.timestamp_date = client.util()->encodeDate(static_cast<unsigned>(t.year),
                                                             static_cast<unsigned>(t.month),
                                                             static_cast<unsigned>(t.day));
            stamp.timestamp_time = client.util()->encodeTime(
                static_cast<unsigned>(t.hour), static_cast<unsigned>(t.minute),
                static_cast<unsigned>(t.second), static_cast<unsigned>(t.fraction));
            e.type = SQL_TIMESTAMP;
            e.data = bytesOf(stamp);
            break;
        }
        case DriverType::Bytes:
            e.charSet = CharSetOctets;
            e.data.assign(b.begin(),
                          b.begin() + std::min<std::ptrdiff_t>(value.length, std::ssize(b)));
            break;
        case DriverType::VarBytes: {
            // Variable bytes carry their length in the first two bytes.
            const auto length =
                std::min<std::size_t>(load<std::uint16_t>(b), b.size() >= 2 ? b.size() - 2 : 0);
            e.charSet = CharSetOctets;
            e.data.assign(b.begin() + 2, b.begin() + 2 + static_cast<std::ptrdiff_t>(length));
            break;
        }
        case DriverType::Blob: {
            const std::vector<unsigned char> content(
                b.begin(), b.begin() + std::min<std::ptrdiff_t>(value.length, std::ssize(b)));
            ISC_QUAD id{};
            if (auto failure = writeBlob(session, transaction, content, &id)) {
                return failure;
            }
            e.type = SQL_BLOB;
            e.subType = value.subType == DriverSubType::Memo ? 1 : 0;
            e.data = bytesOf(id);
            break;
        }
        default:
            return FbFailure{DriverResult::InvalidFieldType, "unsupported parameter type"};
        }
        if (e.type == SQL_VARYING && e.data.size() > MaxVarying) {
            return FbFailure{DriverResult::InvalidLength, "parameter value too long"};
        }
    }

    Firebird::IMetadataBuilder* builder =
        client.master()->getMetadataBuilder(status.get(), static_cast<unsigned>(values.size()));
    for (std::size_t i = 0; i < encoded.size() && !status.failed(); ++i) {
        const auto index = static_cast<unsigned>(i);
        Encoded& e = encoded[i];
        if (e.isNull) {
            // A null still needs a type; the server's own one always fits.
            if (index < serverCount) {
                builder->setType(status.get(), index,
                                 serverMetadata->getType(status.get(), index) | 1u);
                builder->setSubType(status.get(), index,
                                    serverMetadata->getSubType(status.get(), index));
                builder->setLength(status.get(), index,
                                   serverMetadata->getLength(status.get(), index));
                builder->setScale(status.get(), index,
                                  serverMetadata->getScale(status.get(), index));
                builder->setCharSet(status.get(), index,
                                    serverMetadata->getCharSet(status.get(), index));
                continue;
            }
        }
        builder->setType(status.get(), index, e.type | 1u);
        builder->setSubType(status.get(), index, e.subType);
        builder->setScale(status.get(), index, e.scale);
        builder->setCharSet(status.get(), index, e.charSet);
        const unsigned length = e.type == SQL_VARYING
                                    ? std::max<unsigned>(1, static_cast<unsigned>(e.data.size()))
                                    : static_cast<unsigned>(e.data.size());
        builder->setLength(status.get(), index, length);
    }
    if (!status.failed()) {
        metadata_ = builder->getMetadata(status.get());
    }
    if (builder != nullptr) {
        builder->release();
    }
    const unsigned messageLength = status.failed() ? 0 : metadata_->getMessageLength(status.get());
    if (status.failed()) {
        return FbFailure{status.resultCode(), status.message()};
    }
    buffer_.assign(messageLength, 0);
    for (std::size_t i = 0; i < encoded.size(); ++i) {
        const auto index = static_cast<unsigned>(i);
        const Encoded& e = encoded[i];
        const std::int16_t indicator = e.isNull ? -1 : 0;
        std::memcpy(buffer_.data() + metadata_->getNullOffset(status.get(), index), &indicator,
                    sizeof indicator);
        if (e.isNull) {
            continue;
        }
        unsigned char* target = buffer_.data() + metadata_->getOffset(status.get(), index);
        if (e.type == SQL_VARYING) {
            const auto length = static_cast<std::uint16_t>(e.data.size());
            std::memcpy(target, &length, sizeof length);
            target += sizeof length;
        }
        // An empty text has no data to copy, and memcpy may not see its null pointer.
        if (!e.data.empty()) {
            std::memcpy(target, e.data.data(), e.data.size());
        }
    }
    return std::nullopt;
}

} // namespace db::firebird
