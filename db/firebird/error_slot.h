#pragma once
// The message of a driver object's last failure, handed out through the
// getErrorMessageLen / getErrorMessage pair, and a base that answers that
// pair for any driver interface from its own slot.

#include <string>
#include <utility>

namespace db::firebird {

class ErrorSlot {
public:
    // Records the message and gives back the code, so a failure is one return.
    int fail(int code, std::string message) {
        text_ = std::move(message);
        return code;
    }
    void clear() { text_.clear(); }
    const std::string& text() const { return text_; }

    int lengthTo(int* length) const;
    int copyTo(char* buffer) const;

private:
    std::string text_;
};

template <class Interface> class ReportsErrors : public Interface {
public:
    int getErrorMessageLen(int* length) override { return errors_.lengthTo(length); }
    int getErrorMessage(char* buffer) override { return errors_.copyTo(buffer); }

protected:
    ErrorSlot errors_;
};

} // namespace db::firebird
