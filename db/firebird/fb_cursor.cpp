#include "db/firebird/fb_cursor.h"

#include "db/firebird/fb_status.h"

#include <algorithm>
#include <cstring>

namespace db::firebird {

namespace {
constexpr unsigned kBlobChunk = 32768;
} // namespace

FbCursor::FbCursor(std::shared_ptr<FbSession> session, Firebird::IResultSet* resultSet,
                   Firebird::IMessageMetadata* metadata, Firebird::ITransaction* autoTransaction)
    : session_(std::move(session)), resultSet_(resultSet), autoTransaction_(autoTransaction) {
    session_->addUser(this);
    std::string error;
    if (!row_.describe(session_->client(), metadata, &error)) {
        errors_.fail(DriverResult::kSqlError, error);
    }
    for (int i = 0; i < row_.count(); ++i) {
        const FbField& field = row_.field(i);
        int declared = 0;
        if (field.scale < 0 && !field.relation.empty() && !field.field.empty()) {
            declared = session_->declaredPrecision(field.relation, field.field);
        }
        // Expressions have no column of a table behind them.
        const bool readOnly = field.relation.empty() || field.field.empty();
        columns_.push_back(
            {field.alias, FbTypes::describe(field, declared), field.nullable, readOnly});
    }
}

FbCursor::~FbCursor() {
    finish(true);
    session_->removeUser(this);
}

void FbCursor::sessionClosing() {
    finish(true);
}

int FbCursor::finish(bool commit) {
    ended_ = true;
    onRow_ = false;
    int result = DriverResult::kSuccess;
    if (resultSet_ != nullptr) {
        FbStatus status(session_->client());
        resultSet_->close(status.get());
        if (status.failed()) {
            resultSet_->release();
        }
        resultSet_ = nullptr;
    }
    if (autoTransaction_ != nullptr) {
        if (auto failure = session_->endAutoTransaction(autoTransaction_, commit)) {
            result = errors_.fail(failure->code, failure->message);
        }
        autoTransaction_ = nullptr;
    }
    return result;
}

int FbCursor::next() {
    blobColumn_ = 0;
    blob_.clear();
    if (ended_ || resultSet_ == nullptr) {
        onRow_ = false;
        if (!session_->attached() && !ended_) {
            return errors_.fail(DriverResult::kInvalidHandle, "the connection is closed");
        }
        return DriverResult::kEndOfData;
    }
    FbStatus status(session_->client());
    const int fetched = resultSet_->fetchNext(status.get(), row_.buffer());
    if (status.failed()) {
        const int code = errors_.fail(status.resultCode(), status.message());
        finish(false);
        return code;
    }
    if (fetched == Firebird::IStatus::RESULT_OK) {
        onRow_ = true;
        return DriverResult::kSuccess;
    }
    // The rows are all read: the statement's work is done and kept.
    const int ending = finish(true);
    return ending != DriverResult::kSuccess ? ending : DriverResult::kEndOfData;
}

int FbCursor::checkValue(int column, bool* isBlank) const {
    if (!hasColumn(column)) {
        return DriverResult::kOutOfRange;
    }
    if (!onRow_) {
        return DriverResult::kEndOfData;
    }
    *isBlank = row_.isNull(column - 1);
    return DriverResult::kSuccess;
}

int FbCursor::getString(int column, char* buffer, int bufferLength, bool* isBlank) {
    if (const int r = checkValue(column, isBlank); r != DriverResult::kSuccess || *isBlank) {
        return r;
    }
    const FbField& field = row_.field(column - 1);
    std::string text;
    const FbValueReader reader(session_->client());
    if (const int r =
            reader.text(field, row_.data(column - 1), session_->options().trimChar, &text);
        r != DriverResult::kSuccess) {
        return r;
    }
    if (bufferLength < static_cast<int>(text.size()) + 1) {
        return DriverResult::kInvalidLength;
    }
    std::memcpy(buffer, text.c_str(), text.size() + 1);
    return DriverResult::kSuccess;
}

template <typename T>
int FbCursor::readValue(int column, ReadValue<T> read, T* value, bool* isBlank) const {
    if (const int r = checkValue(column, isBlank); r != DriverResult::kSuccess || *isBlank) {
        return r;
    }
    return (FbValueReader(session_->client()).*read)(row_.field(column - 1), row_.data(column - 1),
                                                     value);
}

template <typename T>
int FbCursor::readInteger(int column, unsigned otherType, T* value, bool* isBlank) const {
    if (const int r = checkValue(column, isBlank); r != DriverResult::kSuccess || *isBlank) {
        return r;
    }
    const FbField& field = row_.field(column - 1);
    if (field.type != SQL_SHORT && field.type != otherType) {
        return DriverResult::kInvalidFieldType;
    }
    std::int64_t wide = 0;
    const int r = FbValueReader(session_->client()).integer(field, row_.data(column - 1), &wide);
    *value = static_cast<T>(wide);
    return r;
}

int FbCursor::getShort(int column, std::int16_t* value, bool* isBlank) {
    return readInteger(column, SQL_BOOLEAN, value, isBlank);
}

int FbCursor::getLong(int column, std::int32_t* value, bool* isBlank) {
    return readInteger(column, SQL_LONG, value, isBlank);
}

int FbCursor::getInt64(int column, std::int64_t* value, bool* isBlank) {
    return readValue(column, &FbValueReader::integer, value, isBlank);
}

int FbCursor::getDouble(int column, double* value, bool* isBlank) {
    return readValue(column, &FbValueReader::real, value, isBlank);
}

int FbCursor::getBcd(int column, Bcd* value, bool* isBlank) {
    return readValue(column, &FbValueReader::bcd, value, isBlank);
}

int FbCursor::getDate(int column, SQLDate* value, bool* isBlank) {
    return readValue(column, &FbValueReader::date, value, isBlank);
}

int FbCursor::getTime(int column, SQLTime* value, bool* isBlank) {
    return readValue(column, &FbValueReader::time, value, isBlank);
}

int FbCursor::getTimeStamp(int column, SQLTimeStamp* value, bool* isBlank) {
    return readValue(column, &FbValueReader::timeStamp, value, isBlank);
}

int FbCursor::getBytes(int column, std::uint8_t* buffer, int bufferLength, int* length,
                       bool* isBlank) {
    if (const int r = checkValue(column, isBlank); r != DriverResult::kSuccess || *isBlank) {
        return r;
    }
    const FbField& field = row_.field(column - 1);
    const unsigned char* data = row_.data(column - 1);
    int size = static_cast<int>(field.length);
    if (field.type == SQL_VARYING) {
        std::uint16_t stored = 0;
        std::memcpy(&stored, data, sizeof stored);
        size = stored;
        data += sizeof stored;
    } else if (field.type != SQL_TEXT) {
        return DriverResult::kInvalidFieldType;
    }
    if (bufferLength < size) {
        return DriverResult::kInvalidLength;
    }
    // An empty value may come with no buffer at all.
    if (size > 0) {
        std::memcpy(buffer, data, static_cast<std::size_t>(size));
    }
    *length = size;
    return DriverResult::kSuccess;
}

int FbCursor::readBlob(int column) {
    if (blobColumn_ == column) {
        return DriverResult::kSuccess;
    }
    blob_.clear();
    Firebird::ITransaction* transaction =
        autoTransaction_ != nullptr ? autoTransaction_ : session_->activeTransaction();
    if (transaction == nullptr || !session_->attached()) {
        return errors_.fail(DriverResult::kInvalidHandle, "the blob's transaction has ended");
    }
    ISC_QUAD id;
    std::memcpy(&id, row_.data(column - 1), sizeof id);
    FbStatus status(session_->client());
    Firebird::IBlob* blob =
        session_->attachment()->openBlob(status.get(), transaction, &id, 0, nullptr);
    std::vector<unsigned char> chunk(kBlobChunk);
    while (!status.failed()) {
        unsigned got = 0;
        const int state =
            blob->getSegment(status.get(), static_cast<unsigned>(chunk.size()), chunk.data(), &got);
        if (state != Firebird::IStatus::RESULT_OK && state != Firebird::IStatus::RESULT_SEGMENT) {
            break;
        }
        blob_.insert(blob_.end(), chunk.begin(), chunk.begin() + got);
    }
    if (!status.failed()) {
        blob->close(status.get());
    }
    if (status.failed()) {
        const int code = errors_.fail(status.resultCode(), status.message());
        if (blob != nullptr) {
            blob->release();
        }
        blob_.clear();
        return code;
    }
    blobColumn_ = column;
    return DriverResult::kSuccess;
}

int FbCursor::loadBlob(int column, bool* isBlank) {
    if (const int r = checkValue(column, isBlank); r != DriverResult::kSuccess || *isBlank) {
        return r;
    }
    if (row_.field(column - 1).type != SQL_BLOB) {
        return DriverResult::kInvalidFieldType;
    }
    return readBlob(column);
}

int FbCursor::getBlobSize(int column, std::uint32_t* size, bool* isBlank) {
    if (const int r = loadBlob(column, isBlank); r != DriverResult::kSuccess || *isBlank) {
        return r;
    }
    *size = static_cast<std::uint32_t>(blob_.size());
    return DriverResult::kSuccess;
}

int FbCursor::getBlob(int column, void* buffer, std::uint32_t bufferLength, bool* isBlank) {
    if (const int r = loadBlob(column, isBlank); r != DriverResult::kSuccess || *isBlank) {
        return r;
    }
    if (bufferLength < blob_.size()) {
        return DriverResult::kInvalidLength;
    }
    if (!blob_.empty()) {
        std::memcpy(buffer, blob_.data(), blob_.size());
    }
    return DriverResult::kSuccess;
}

} // namespace db::firebird
