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
    int type = DriverType::kUnknown;
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
    // A message built again for values of the same Firebird types keeps its
    // layout, so a statement run many times describes its inputs once.
    std::optional<FbFailure> build(FbSession& session, Firebird::ITransaction* transaction,
                                   const std::vector<const FbParamValue*>& values,
                                   Firebird::IMessageMetadata* serverMetadata);

    Firebird::IMessageMetadata* metadata() const { return metadata_; }
    unsigned char* buffer() { return buffer_.empty() ? nullptr : buffer_.data(); }

    // Forgets the layout and what was read of the server's metadata.
    void reset();

private:
    // What the metadata builder is told of one field.
    struct Layout {
        unsigned type = 0;
        int subType = 0;
        unsigned length = 0;
        int scale = 0;
        unsigned charSet = 0;
        // A null described by the server's own field.
        bool serverNull = false;
        friend bool operator==(const Layout&, const Layout&) = default;
    };
    // The Firebird form of one value; data leaves out a VARYING's length word.
    struct Encoded {
        unsigned type = 0;
        int subType = 0;
        int scale = 0;
        unsigned charSet = 0;
        bool isNull = false;
        std::vector<unsigned char> data;
    };

    std::optional<FbFailure> encode(FbSession& session, Firebird::ITransaction* transaction,
                                    const std::vector<const FbParamValue*>& values);
    std::optional<FbFailure> readServer(FbClient& client,
                                        Firebird::IMessageMetadata* serverMetadata);
    void dropLayout();

    Firebird::IMessageMetadata* metadata_ = nullptr;
    std::vector<Layout> layout_;
    std::vector<unsigned> offsets_;
    std::vector<unsigned> nullOffsets_;
    unsigned messageLength_ = 0;
    std::vector<unsigned char> buffer_;

    // The server's metadata last read, held so that its address names it.
    Firebird::IMessageMetadata* server_ = nullptr;
    std::vector<Layout> serverFields_;

    std::vector<Encoded> encoded_;
    std::vector<Layout> wanted_;
};

} // namespace db::firebird
