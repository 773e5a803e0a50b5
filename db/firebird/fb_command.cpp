#include "db/firebird/fb_command.h"

#include "db/firebird/fb_cursor.h"
#include "db/firebird/fb_names.h"
#include "db/firebird/fb_status.h"
#include "db/firebird/fb_value_reader.h"

#include <cstring>

namespace db::firebird {

namespace {

constexpr int kSelectableProcedure = 1;

std::size_t valueSize(int type, int length) {
    switch (type) {
    case DriverType::kInt16:
    case DriverType::kBoolean:
    case DriverType::kUInt16:
        return sizeof(std::int16_t);
    case DriverType::kInt32:
    case DriverType::kUInt32:
        return sizeof(std::int32_t);
    case DriverType::kInt64:
        return sizeof(std::int64_t);
    case DriverType::kFloat:
        return length == 4 ? sizeof(float) : sizeof(double);
    case DriverType::kBcd:
    case DriverType::kFmtBcd:
        return sizeof(Bcd);
    case DriverType::kDate:
        return sizeof(SQLDate);
    case DriverType::kTime:
        return sizeof(SQLTime);
    case DriverType::kDateTime:
    case DriverType::kSQLTimeStamp:
        return sizeof(SQLTimeStamp);
    default:
        return length > 0 ? static_cast<std::size_t>(length) : 0;
    }
}

template <typename T> int store(const T& value, void* buffer, int bufferLength) {
    if (bufferLength < static_cast<int>(sizeof value)) {
        return DriverResult::kInvalidLength;
    }
    std::memcpy(buffer, &value, sizeof value);
    return DriverResult::kSuccess;
}

} // namespace

FbCommand::FbCommand(std::shared_ptr<FbSession> session) : session_(std::move(session)) {
    session_->addUser(this);
}

FbCommand::~FbCommand() {
    freeStatement();
    session_->removeUser(this);
}

void FbCommand::sessionClosing() {
    freeStatement();
}

void FbCommand::freeStatement() {
    if (statement_ != nullptr) {
        FbStatus status(session_->client());
        statement_->free(status.get());
        if (status.failed()) {
            statement_->release();
        }
        statement_ = nullptr;
    }
    if (serverInputs_ != nullptr) {
        serverInputs_->release();
        serverInputs_ = nullptr;
    }
    input_.reset();
    outputs_.describe(session_->client(), nullptr, nullptr);
    outputsValid_ = false;
}

int FbCommand::SetOption(CommandOption option, std::int64_t value) {
    switch (option) {
    case CommandOption::RowsetSize:
        // Firebird sizes its own fetch batches; the value is only kept.
        rowsetSize_ = value;
        return DriverResult::kSuccess;
    case CommandOption::StoredProc:
        storedProc_ = value != 0;
        return DriverResult::kSuccess;
    default:
        return DriverResult::kNotSupported;
    }
}

int FbCommand::SetOption(CommandOption option, std::string_view value) {
    if (option == CommandOption::PackageName) {
        packageName_ = std::string(value);
        return DriverResult::kSuccess;
    }
    return DriverResult::kNotSupported;
}

int FbCommand::GetOption(CommandOption option, std::int64_t* value) {
    switch (option) {
    case CommandOption::RowsetSize:
        *value = rowsetSize_;
        return DriverResult::kSuccess;
    case CommandOption::StoredProc:
        *value = storedProc_ ? 1 : 0;
        return DriverResult::kSuccess;
    default:
        return DriverResult::kNotSupported;
    }
}

int FbCommand::procedureCall(const std::string& quotedName, std::string* sql) {
    const std::string name = FbNames::stored(quotedName);
    const std::string package = FbNames::stored(packageName_);
    int type = 0;
    std::int64_t inputs = 0;
    const FbValueReader reader(session_->client());
    const auto failure = session_->query(
        "select p.rdb$procedure_type, (select count(*) from rdb$procedure_parameters pp"
        " where pp.rdb$procedure_name = p.rdb$procedure_name and pp.rdb$parameter_type = 0"
        " and coalesce(pp.rdb$package_name, '') = coalesce(p.rdb$package_name, ''))"
        " from rdb$procedures p"
        " where p.rdb$procedure_name = ? and coalesce(p.rdb$package_name, '') = ?",
        {name, package}, [&](const FbMessage& row) {
            std::int64_t value = 0;
            if (!row.isNull(0) && reader.integer(row.field(0), row.data(0), &value) == 0) {
                type = static_cast<int>(value);
            }
            reader.integer(row.field(1), row.data(1), &inputs);
        });
    if (failure) {
        return fail(*failure);
    }
    std::string target =
        package.empty() ? quotedName : FbNames::quote(packageName_) + "." + quotedName;
    if (inputs > 0) {
        target += "(";
        for (std::int64_t i = 0; i < inputs; ++i) {
            target += i == 0 ? "?" : ", ?";
        }
        target += ")";
    }
    // A procedure the catalogue does not know is left to the server to report.
    *sql = type == kSelectableProcedure ? "select * from " + target : "execute procedure " + target;
    return DriverResult::kSuccess;
}

int FbCommand::prepare(const char* sql, int /*paramCount*/) {
    errors_.clear();
    freeStatement();
    params_.clear();
    rowsAffected_ = -1;
    if (sql == nullptr) {
        return errors_.fail(DriverResult::kInvalidParameter, "no statement text");
    }
    if (!session_->attached()) {
        return errors_.fail(DriverResult::kInvalidHandle, "the connection is closed");
    }
    std::string text = sql;
    if (storedProc_) {
        if (const int r = procedureCall(text, &text); r != DriverResult::kSuccess) {
            return r;
        }
    }
    FbFailure failure;
    Firebird::ITransaction* transaction = session_->readTransaction(&failure);
    if (transaction == nullptr) {
        return fail(failure);
    }
    FbStatus status(session_->client());
    Firebird::IStatement* statement = session_->attachment()->prepare(
        status.get(), transaction, static_cast<unsigned>(text.size()), text.c_str(),
        session_->dialect(), Firebird::IStatement::PREPARE_PREFETCH_METADATA);
    if (status.failed()) {
        return errors_.fail(status.resultCode(), status.message());
    }
    statement_ = statement;
    flags_ = statement_->getFlags(status.get());
    serverInputs_ = statement_->getInputMetadata(status.get());
    inputCount_ =
        serverInputs_ != nullptr && !status.failed() ? serverInputs_->getCount(status.get()) : 0;
    std::string error;
    if ((flags_ & Firebird::IStatement::FLAG_HAS_CURSOR) == 0 &&
        !outputs_.describe(session_->client(), statement_->getOutputMetadata(status.get()),
                           &error)) {
        freeStatement();
        return errors_.fail(DriverResult::kSqlError, error);
    }
    if (status.failed()) {
        const int code = errors_.fail(status.resultCode(), status.message());
        freeStatement();
        return code;
    }
    return DriverResult::kSuccess;
}

int FbCommand::setParameter(int position, int /*childPosition*/, ParamDirection direction, int type,
                            int subType, int precision, int scale, int length, const void* buffer,
                            bool isNull) {
    if (position < 1) {
        return DriverResult::kOutOfRange;
    }
    if (params_.size() < static_cast<std::size_t>(position)) {
        params_.resize(static_cast<std::size_t>(position));
    }
    FbParamValue& value = params_[static_cast<std::size_t>(position - 1)];
    // Every member is set anew; the byte buffer keeps its storage.
    value.bytes.clear();
    value.set = true;
    value.direction = direction == ParamDirection::Unknown ? ParamDirection::In : direction;
    value.kind = {type, subType, precision, scale, length};
    value.isNull = isNull || buffer == nullptr;
    if (!value.isNull && value.direction != ParamDirection::Out &&
        value.direction != ParamDirection::Result) {
        const std::size_t size = valueSize(type, length);
        const auto* bytes = static_cast<const unsigned char*>(buffer);
        value.bytes.assign(bytes, bytes + size);
    }
    return DriverResult::kSuccess;
}

int FbCommand::getParameter(int position, int /*childPosition*/, void* buffer, int bufferLength,
                            bool* isNull) {
    const int index = position - static_cast<int>(inputCount_) - 1;
    if (!outputsValid_ || index < 0 || index >= outputs_.count() ||
        static_cast<std::size_t>(position) > params_.size()) {
        return DriverResult::kOutOfRange;
    }
    *isNull = outputs_.isNull(index);
    if (*isNull) {
        return DriverResult::kSuccess;
    }
    const FbField& field = outputs_.field(index);
    const unsigned char* data = outputs_.data(index);
    const FbValueReader reader(session_->client());
    const FbParamValue& param = params_[static_cast<std::size_t>(position - 1)];
    switch (param.kind.type) {
    case DriverType::kString: {
        std::string text;
        if (const int r = reader.text(field, data, session_->options().trimChar, &text); r != 0) {
            return r;
        }
        if (bufferLength < static_cast<int>(text.size()) + 1) {
            return DriverResult::kInvalidLength;
        }
        std::memcpy(buffer, text.c_str(), text.size() + 1);
        return DriverResult::kSuccess;
    }
    case DriverType::kInt16:
    case DriverType::kInt32:
    case DriverType::kInt64: {
        std::int64_t value = 0;
        if (const int r = reader.integer(field, data, &value); r != 0) {
            return r;
        }
        if (param.kind.type == DriverType::kInt16) {
            return store(static_cast<std::int16_t>(value), buffer, bufferLength);
        }
        if (param.kind.type == DriverType::kInt32) {
            return store(static_cast<std::int32_t>(value), buffer, bufferLength);
        }
        return store(value, buffer, bufferLength);
    }
    case DriverType::kFloat: {
        double value = 0;
        const int r = reader.real(field, data, &value);
        return r != 0 ? r : store(value, buffer, bufferLength);
    }
    case DriverType::kBcd:
    case DriverType::kFmtBcd: {
        Bcd value;
        const int r = reader.bcd(field, data, &value);
        return r != 0 ? r : store(value, buffer, bufferLength);
    }
    case DriverType::kDate: {
        SQLDate value;
        const int r = reader.date(field, data, &value);
        return r != 0 ? r : store(value, buffer, bufferLength);
    }
    case DriverType::kTime: {
        SQLTime value;
        const int r = reader.time(field, data, &value);
        return r != 0 ? r : store(value, buffer, bufferLength);
    }
    case DriverType::kDateTime:
    case DriverType::kSQLTimeStamp: {
        SQLTimeStamp value;
        const int r = reader.timeStamp(field, data, &value);
        return r != 0 ? r : store(value, buffer, bufferLength);
    }
    default:
        return DriverResult::kInvalidFieldType;
    }
}

int FbCommand::execute(ISQLCursor** cursor) {
    *cursor = nullptr;
    errors_.clear();
    rowsAffected_ = -1;
    outputsValid_ = false;
    if (statement_ == nullptr || !session_->attached()) {
        return errors_.fail(DriverResult::kInvalidHandle, "no statement is prepared");
    }
    inputValues_.clear();
    for (unsigned i = 0; i < inputCount_; ++i) {
        if (i >= params_.size() || !params_[i].set) {
            return errors_.fail(DriverResult::kParameterNotSet,
                                "parameter " + std::to_string(i + 1) + " has no value");
        }
        inputValues_.push_back(&params_[i]);
    }
    Firebird::ITransaction* transaction = session_->activeTransaction();
    Firebird::ITransaction* autoTransaction = nullptr;
    if (transaction == nullptr) {
        FbFailure failure;
        autoTransaction = session_->startAutoTransaction(&failure);
        if (autoTransaction == nullptr) {
            return fail(failure);
        }
        transaction = autoTransaction;
    }
    const auto abandon = [&](int code) {
        if (autoTransaction != nullptr) {
            session_->endAutoTransaction(autoTransaction, false);
        }
        return code;
    };

    FbStatus status(session_->client());
    const auto built = input_.build(*session_, transaction, inputValues_, serverInputs_);
    if (built) {
        return abandon(fail(*built));
    }

    if ((flags_ & Firebird::IStatement::FLAG_HAS_CURSOR) != 0) {
        Firebird::IMessageMetadata* rowLayout = statement_->getOutputMetadata(status.get());
        Firebird::IResultSet* resultSet = nullptr;
        if (!status.failed()) {
            resultSet = statement_->openCursor(status.get(), transaction, input_.metadata(),
                                               input_.buffer(), rowLayout, 0);
        }
        if (status.failed()) {
            if (rowLayout != nullptr) {
                rowLayout->release();
            }
            return abandon(errors_.fail(status.resultCode(), status.message()));
        }
        rowsAffected_ = 0;
        *cursor = new FbCursor(session_, resultSet, rowLayout, autoTransaction);
        return DriverResult::kSuccess;
    }

    statement_->execute(status.get(), transaction, input_.metadata(), input_.buffer(),
                        outputs_.metadata(), outputs_.buffer());
    if (!status.failed()) {
        rowsAffected_ = static_cast<std::int64_t>(statement_->getAffectedRecords(status.get()));
    }
    if (status.failed()) {
        rowsAffected_ = -1;
        return abandon(errors_.fail(status.resultCode(), status.message()));
    }
    if (autoTransaction != nullptr) {
        if (auto failure = session_->endAutoTransaction(autoTransaction, true)) {
            rowsAffected_ = -1;
            return fail(*failure);
        }
    }
    outputsValid_ = outputs_.count() > 0;
    return DriverResult::kSuccess;
}

int FbCommand::getRowsAffected(std::int64_t* rows) {
    *rows = rowsAffected_;
    return DriverResult::kSuccess;
}

int FbCommand::close() {
    params_.clear();
    outputsValid_ = false;
    return DriverResult::kSuccess;
}

} // namespace db::firebird
