#include "db/firebird/fb_cursor.h"

#include "db/firebird/fb_status.h"
#include "db/firebird/fb_value_reader.h"

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
        columns_.push_back(FbTypes::describe(field, declared));
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

int FbCursor::getColumnCount(int* count) {
    *count = static_cast<int>(columns_.size());
    return DriverResult::kSuccess;
}

int FbCursor::getColumnName(int column, const char** name) {
    if (!hasColumn(column)) {
        return DriverResult::kOutOfRange;
    }
    *name = row_.field(column - 1).alias.c_str();
    return DriverResult::kSuccess;
}

int FbCursor::getColumnType(int column, int* type, int* subType) {
    if (!hasColumn(column)) {
        return DriverResult::kOutOfRange;
    }
    *type = columns_[static_cast<std::size_t>(column - 1)].type;
    *subType = columns_[static_cast<std::size_t>(column - 1)].subType;
    return DriverResult::kSuccess;
}

int FbCursor::getColumnLength(int column, int* length) {
    if (!hasColumn(column)) {
        return DriverResult::kOutOfRange;
    }
    *length = columns_[static_cast<std::size_t>(column - 1)].length;
    return DriverResult::kSuccess;
}

int FbCursor::getColumnPrecision(int column, int* precision) {
    if (!hasColumn(column)) {
        return DriverResult::kOutOfRange;
    }
    *precision = columns_[static_cast<std::size_t>(column - 1)].precision;
    return DriverResult::kSuccess;
}

int FbCursor::getColumnScale(int column, int* scale) {
    if (!hasColumn(column)) {
        return DriverResult::kOutOfRange;
    }
    *scale = columns_[static_cast<std::size_t>(column - 1)].scale;
    return DriverResult::kSuccess;
}

int FbCursor::isNullable(int column, bool* nullable) {
    if (!hasColumn(column)) {
        return DriverResult::kOutOfRange;
    }
    *nullable = row_.field(column - 1).nullable;
    return DriverResult::kSuccess;
}

int FbCursor::isReadOnly(int column, bool* readOnly) {
    if (!hasColumn(column)) {
        return DriverResult::kOutOfRange;
    }
    // Expressions have no column of a table behind them.
    *readOnly = row_.field(column - 1).relation.empty() || row_.field(column - 1).field.empty();
    return DriverResult::kSuccess;
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

bool FbCursor::hasColumn(int column) const {
    return column >= 1 && column <= static_cast<int>(columns_.size());
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

int FbCursor::getShort(int column, std::int16_t* value, bool* isBlank) {
    if (const int r = checkValue(column, isBlank); r != DriverResult::kSuccess || *isBlank) {
        return r;
    }
    const FbField& field = row_.field(column - 1);
    if (field.type != SQL_SHORT && field.type != SQL_BOOLEAN) {
        return DriverResult::kInvalidFieldType;
    }
    std::int64_t wide = 0;
    const int r = FbValueReader(session_->client()).integer(field, row_.data(column - 1), &wide);
    *value = static_cast<std::int16_t>(wide);
    return r;
}

int FbCursor::getLong(int column, std::int32_t* value, bool* isBlank) {
    if (const int r = checkValue(column, isBlank); r != DriverResult::kSuccess || *isBlank) {
        return r;
    }
    const FbField& field = row_.field(column - 1);
    if (field.type != SQL_SHORT && field.type != SQL_LONG) {
        return DriverResult::kInvalidFieldType;
    }
    std::int64_t wide = 0;
    const int r = FbValueReader(session_->client()).integer(field, row_.data(column - 1), &wide);
    *value = static_cast<std::int32_t>(wide);
    return r;
}

int FbCursor::getInt64(int column, std::int64_t* value, bool* isBlank) {
    if (const int r = checkValue(column, isBlank); r != DriverResult::kSuccess || *isBlank) {
        return r;
    }
    return FbValueReader(session_->client())
        .integer(row_.field(column - 1), row_.data(column - 1), value);
}

int FbCursor::getDouble(int column, double* value, bool* isBlank) {
    if (const int r = checkValue(column, isBlank); r != DriverResult::kSuccess || *isBlank) {
        return r;
    }
    return FbValueReader(session_->client())
        .real(row_.field(column - 1), row_.data(column - 1), value);
}

int FbCursor::getBcd(int column, Bcd* value, bool* isBlank) {
    if (const int r = checkValue(column, isBlank); r != DriverResult::kSuccess || *isBlank) {
        return r;
    }
    return FbValueReader(session_->client())
        .bcd(row_.field(column - 1), row_.data(column - 1), value);
}

int FbCursor::getDate(int column, SQLDate* value, bool* isBlank) {
    if (const int r = checkValue(column, isBlank); r != DriverResult::kSuccess || *isBlank) {
        return r;
    }
    return FbValueReader(session_->client())
        .date(row_.field(column - 1), row_.data(column - 1), value);
}

int FbCursor::getTime(int column, SQLTime* value, bool* isBlank) {
    if (const int r = checkValue(column, isBlank); r != DriverResult::kSuccess || *isBlank) {
        return r;
    }
    return FbValueReader(session_->client())
        .time(row_.field(column - 1), row_.data(column - 1), value);
}

int FbCursor::getTimeStamp(int column, SQLTimeStamp* value, bool* isBlank) {
    if (const int r = checkValue(column, isBlank); r != DriverResult::kSuccess || *isBlank) {
        return r;
    }
    return FbValueReader(session_->client())
        .timeStamp(row_.field(column - 1), row_.data(column - 1), value);
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

int FbCursor::getBlobSize(int column, std::uint32_t* size, bool* isBlank) {
    if (const int r = checkValue(column, isBlank); r != DriverResult::kSuccess || *isBlank) {
        return r;
    }
    if (row_.field(column - 1).type != SQL_BLOB) {
        return DriverResult::kInvalidFieldType;
    }
    if (const int r = readBlob(column); r != DriverResult::kSuccess) {
        return r;
    }
    *size = static_cast<std::uint32_t>(blob_.size());
    return DriverResult::kSuccess;
}

int FbCursor::getBlob(int column, void* buffer, std::uint32_t bufferLength, bool* isBlank) {
    if (const int r = checkValue(column, isBlank); r != DriverResult::kSuccess || *isBlank) {
        return r;
    }
    if (row_.field(column - 1).type != SQL_BLOB) {
        return DriverResult::kInvalidFieldType;
    }
    if (const int r = readBlob(column); r != DriverResult::kSuccess) {
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
