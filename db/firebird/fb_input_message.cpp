#include "db/firebird/fb_input_message.h"

#include "db/firebird/fb_status.h"

#include <algorithm>
#include <cstring>

namespace db::firebird {

namespace {

constexpr unsigned kCharSetNone = 0;
constexpr unsigned kCharSetOctets = 1;
constexpr unsigned kMaxSegment = 32768;
constexpr std::size_t kMaxVarying = 32765;

template <typename T> T load(const std::vector<unsigned char>& bytes) {
    T value{};
    if (!bytes.empty()) {
        std::memcpy(&value, bytes.data(),
                    bytes.size() < sizeof value ? bytes.size() : sizeof value);
    }
    return value;
}

// Puts the bytes of a value into data, reusing its storage.
template <typename T> void setBytes(std::vector<unsigned char>& data, const T& value) {
    data.resize(sizeof value);
    std::memcpy(data.data(), &value, sizeof value);
}

std::optional<FbFailure> writeBlob(FbSession& session, Firebird::ITransaction* transaction,
                                   const std::vector<unsigned char>& content, ISC_QUAD* id) {
    FbStatus status(session.client());
    Firebird::IBlob* blob =
        session.attachment()->createBlob(status.get(), transaction, id, 0, nullptr);
    for (std::size_t done = 0; !status.failed() && done < content.size(); done += kMaxSegment) {
        const std::size_t piece = std::min<std::size_t>(kMaxSegment, content.size() - done);
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
    value.kind.type = DriverType::kString;
    value.isNull = false;
    value.kind.length = static_cast<int>(text.size()) + 1;
    value.bytes.assign(text.begin(), text.end());
    value.bytes.push_back(0);
    return value;
}

FbInputMessage::~FbInputMessage() {
    reset();
}

void FbInputMessage::dropLayout() {
    if (metadata_ != nullptr) {
        metadata_->release();
        metadata_ = nullptr;
    }
    layout_.clear();
    offsets_.clear();
    nullOffsets_.clear();
    messageLength_ = 0;
    buffer_.clear();
}

void FbInputMessage::reset() {
    dropLayout();
    if (server_ != nullptr) {
        server_->release();
        server_ = nullptr;
    }
    serverFields_.clear();
}

std::optional<FbFailure> FbInputMessage::readServer(FbClient& client,
                                                    Firebird::IMessageMetadata* serverMetadata) {
    if (serverMetadata == server_) {
        return std::nullopt;
    }
    if (server_ != nullptr) {
        server_->release();
        server_ = nullptr;
    }
    serverFields_.clear();
    if (serverMetadata == nullptr) {
        return std::nullopt;
    }
    FbStatus status(client);
    const unsigned count = serverMetadata->getCount(status.get());
    for (unsigned i = 0; !status.failed() && i < count; ++i) {
        Layout field;
        field.type = serverMetadata->getType(status.get(), i);
        field.subType = serverMetadata->getSubType(status.get(), i);
        field.length = serverMetadata->getLength(status.get(), i);
        field.scale = serverMetadata->getScale(status.get(), i);
        field.charSet = serverMetadata->getCharSet(status.get(), i);
        serverFields_.push_back(field);
    }
    if (status.failed()) {
        // Nothing half-read is kept: the next run reads the description again.
        serverFields_.clear();
        return FbFailure{status.resultCode(), status.message()};
    }
    serverMetadata->addRef();
    server_ = serverMetadata;
    return std::nullopt;
}

std::optional<FbFailure> FbInputMessage::encode(FbSession& session,
                                                Firebird::ITransaction* transaction,
                                                const std::vector<const FbParamValue*>& values) {
    FbClient& client = session.client();
    const std::size_t serverCount = serverFields_.size();
    encoded_.resize(values.size());
    for (std::size_t i = 0; i < values.size(); ++i) {
        const FbParamValue& value = *values[i];
        Encoded& e = encoded_[i];
        e.type = SQL_VARYING;
        e.subType = 0;
        e.scale = 0;
        e.charSet = kCharSetNone;
        e.isNull = false;
        e.data.clear();
        const bool known = i < serverCount;
        const unsigned serverType = known ? serverFields_[i].type & ~1u : SQL_VARYING;
        const bool serverText = serverType == SQL_TEXT || serverType == SQL_VARYING ||
                                (serverType == SQL_BLOB && known && serverFields_[i].subType == 1);
        if (value.isNull) {
            e.isNull = true;
            e.data.assign(1, 0);
            continue;
        }
        const std::vector<unsigned char>& b = value.bytes;
        switch (value.kind.type) {
        case DriverType::kString: {
            const auto end = std::find(b.begin(), b.end(), 0);
            e.data.assign(b.begin(), end);
            e.charSet = serverText && known ? serverFields_[i].charSet : kCharSetNone;
            break;
        }
        case DriverType::kInt16:
        case DriverType::kBoolean:
            if (value.kind.type == DriverType::kBoolean) {
                e.type = SQL_BOOLEAN;
                e.data.assign(1, static_cast<unsigned char>(load<std::int16_t>(b) != 0));
            } else {
                e.type = SQL_SHORT;
                setBytes(e.data, load<std::int16_t>(b));
            }
            break;
        case DriverType::kInt32:
            e.type = SQL_LONG;
            setBytes(e.data, load<std::int32_t>(b));
            break;
        case DriverType::kUInt16:
            e.type = SQL_LONG;
            setBytes(e.data, static_cast<std::int32_t>(load<std::uint16_t>(b)));
            break;
        case DriverType::kUInt32:
            e.type = SQL_INT64;
            setBytes(e.data, static_cast<std::int64_t>(load<std::uint32_t>(b)));
            break;
        case DriverType::kInt64:
            e.type = SQL_INT64;
            setBytes(e.data, load<std::int64_t>(b));
            break;
        case DriverType::kFloat:
            if (value.kind.length == 4) {
                e.type = SQL_FLOAT;
                setBytes(e.data, load<float>(b));
            } else {
                e.type = SQL_DOUBLE;
                setBytes(e.data, load<double>(b));
            }
            break;
        case DriverType::kBcd:
        case DriverType::kFmtBcd: {
            const Bcd bcd = load<Bcd>(b);
            if (bcd.precision > Bcd::kMaxDigits) {
                return FbFailure{DriverResult::kInvalidPrecision, "invalid BCD value"};
            }
            if (const auto scaled = bcd.toScaled()) {
                e.type = SQL_INT64;
                e.scale = -bcd.scale();
                setBytes(e.data, *scaled);
            } else {
                // Too many digits for 64 bits: the server reads the exact text.
                const std::string text = bcd.toString();
                e.data.assign(text.begin(), text.end());
            }
            break;
        }
        case DriverType::kDate: {
            const auto d = load<SQLDate>(b);
            e.type = SQL_TYPE_DATE;
            setBytes(e.data, client.util()->encodeDate(static_cast<unsigned>(d.year),
                                                       static_cast<unsigned>(d.month),
                                                       static_cast<unsigned>(d.day)));
            break;
        }
        case DriverType::kTime: {
            const auto t = load<SQLTime>(b);
            e.type = SQL_TYPE_TIME;
            setBytes(e.data, client.util()->encodeTime(static_cast<unsigned>(t.hour),
                                                       static_cast<unsigned>(t.minute),
                                                       static_cast<unsigned>(t.second),
                                                       static_cast<unsigned>(t.fraction)));
            break;
        }
        case DriverType::kDateTime:
        case DriverType::kSQLTimeStamp: {
            const auto t = load<SQLTimeStamp>(b);
            ISC_TIMESTAMP stamp;
            stamp.timestamp_date = client.util()->encodeDate(static_cast<unsigned>(t.year),
                                                             static_cast<unsigned>(t.month),
                                                             static_cast<unsigned>(t.day));
            stamp.timestamp_time = client.util()->encodeTime(
                static_cast<unsigned>(t.hour), static_cast<unsigned>(t.minute),
                static_cast<unsigned>(t.second), static_cast<unsigned>(t.fraction));
            e.type = SQL_TIMESTAMP;
            setBytes(e.data, stamp);
            break;
        }
        case DriverType::kBytes:
            e.charSet = kCharSetOctets;
            e.data.assign(b.begin(),
                          b.begin() + std::min<std::ptrdiff_t>(value.kind.length, std::ssize(b)));
            break;
        case DriverType::kVarBytes: {
            // Variable bytes carry their length in the first two bytes.
            const auto length =
                std::min<std::size_t>(load<std::uint16_t>(b), b.size() >= 2 ? b.size() - 2 : 0);
            e.charSet = kCharSetOctets;
            e.data.assign(b.begin() + 2, b.begin() + 2 + static_cast<std::ptrdiff_t>(length));
            break;
        }
        case DriverType::kBlob: {
            const std::vector<unsigned char> content(
                b.begin(), b.begin() + std::min<std::ptrdiff_t>(value.kind.length, std::ssize(b)));
            ISC_QUAD id{};
            if (auto failure = writeBlob(session, transaction, content, &id)) {
                return failure;
            }
            e.type = SQL_BLOB;
            e.subType = value.kind.subType == DriverSubType::kMemo ? 1 : 0;
            setBytes(e.data, id);
            break;
        }
        default:
            return FbFailure{DriverResult::kInvalidFieldType, "unsupported parameter type"};
        }
        if (e.type == SQL_VARYING && e.data.size() > kMaxVarying) {
            return FbFailure{DriverResult::kInvalidLength, "parameter value too long"};
        }
    }
    return std::nullopt;
}

std::optional<FbFailure> FbInputMessage::build(FbSession& session,
                                               Firebird::ITransaction* transaction,
                                               const std::vector<const FbParamValue*>& values,
                                               Firebird::IMessageMetadata* serverMetadata) {
    FbClient& client = session.client();
    if (auto failure = readServer(client, serverMetadata)) {
        dropLayout();
        return failure;
    }
    if (auto failure = encode(session, transaction, values)) {
        dropLayout();
        return failure;
    }

    wanted_.resize(encoded_.size());
    for (std::size_t i = 0; i < encoded_.size(); ++i) {
        const Encoded& e = encoded_[i];
        Layout& field = wanted_[i];
        if (e.isNull && i < serverFields_.size()) {
            // A null still needs a type; the server's own one always fits.
            field = serverFields_[i];
            field.type |= 1u;
            field.serverNull = true;
            continue;
        }
        field.serverNull = false;
        field.type = e.type | 1u;
        field.subType = e.subType;
        field.scale = e.scale;
        field.charSet = e.charSet;
        field.length = e.type == SQL_VARYING
                           ? std::max<unsigned>(1, static_cast<unsigned>(e.data.size()))
                           : static_cast<unsigned>(e.data.size());
    }

    if (metadata_ == nullptr || wanted_ != layout_) {
        dropLayout();
        FbStatus status(client);
        Firebird::IMetadataBuilder* builder = client.master()->getMetadataBuilder(
            status.get(), static_cast<unsigned>(wanted_.size()));
        for (std::size_t i = 0; i < wanted_.size() && !status.failed(); ++i) {
            const auto index = static_cast<unsigned>(i);
            const Layout& field = wanted_[i];
            builder->setType(status.get(), index, field.type);
            builder->setSubType(status.get(), index, field.subType);
            if (field.serverNull) {
                builder->setLength(status.get(), index, field.length);
                builder->setScale(status.get(), index, field.scale);
                builder->setCharSet(status.get(), index, field.charSet);
            } else {
                builder->setScale(status.get(), index, field.scale);
                builder->setCharSet(status.get(), index, field.charSet);
                builder->setLength(status.get(), index, field.length);
            }
        }
        if (!status.failed()) {
            metadata_ = builder->getMetadata(status.get());
        }
        if (builder != nullptr) {
            builder->release();
        }
        if (!status.failed()) {
            messageLength_ = metadata_->getMessageLength(status.get());
        }
        for (std::size_t i = 0; i < wanted_.size() && !status.failed(); ++i) {
            offsets_.push_back(metadata_->getOffset(status.get(), static_cast<unsigned>(i)));
            nullOffsets_.push_back(
                metadata_->getNullOffset(status.get(), static_cast<unsigned>(i)));
        }
        if (status.failed()) {
            FbFailure failure{status.resultCode(), status.message()};
            dropLayout();
            return failure;
        }
        layout_ = wanted_;
    }

    buffer_.assign(messageLength_, 0);
    for (std::size_t i = 0; i < encoded_.size(); ++i) {
        const Encoded& e = encoded_[i];
        const std::int16_t indicator = e.isNull ? -1 : 0;
        std::memcpy(buffer_.data() + nullOffsets_[i], &indicator, sizeof indicator);
        if (e.isNull) {
            continue;
        }
        unsigned char* target = buffer_.data() + offsets_[i];
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
