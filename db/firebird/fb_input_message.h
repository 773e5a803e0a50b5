#pragma once
// The input message of a statement, built from the values the program set
// in the driver interface's binary form. Each value goes over in a Firebird
// type that holds it exactly; the server converts it to the parameter's type.

#include "db/firebird/fb_session.h"
#include "db/sql_driver.h"

#include <optional>
#include <string>
#include <vector>

namespace db::firebird {

struct FbParamValue {
    bool set = false;
    ParamDirection direction = ParamDirection::In;
    int type = DriverType::Unknown;
    int subType = 0;
    int precision = 0;
    int scale = 0;
    int length = 0;
    bool isNull = true;
    std::vector<unsigned char> bytes;

    static FbParamValue ofText(const std::string& text);
};

class FbInputMessage {
public:
    FbInputMessage() = default;
    ~FbInputMessage();
    FbInputMessage(const FbInputMessage&) = delete;
    FbInputMessage& operator=(const FbInputMessage&) = delete;

    // serverMetadata, when given, supplies the types of null values and the
    // character sets of texts. Blobs are written in the given transaction.
    std::optional<FbFailure> build(FbSession& session, Firebird::ITransaction* transaction,
                                   const std::vector<const FbParamValue*>& values,
                                   Firebird::IMessageMetadata* serverMetadata);

    Firebird::IMessageMetadata* metadata() const { return metadata_; }
    unsigned char* buffer() { return buffer_.empty() ? nullptr : buffer_.data(); }

private:
    void reset();

    Firebird::IMessageMetadata* metadata_ = nullptr;
    std::vector<unsigned char> buffer_;
};

} // namespace db::firebird
