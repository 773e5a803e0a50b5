#pragma once
// The Firebird client library, loaded at run time by file name, and the
// master interface that every other Firebird object comes from.

#include "platform/shared_library.h"

#include <firebird/Interface.h>
#include <string>

namespace db::firebird {

class FbClient {
public:
    // The client of that file name, loaded on first use and kept for the life
    // of the process, since the client library keeps threads and exit
    // handlers of its own. Null when it cannot be loaded.
    static FbClient* load(const std::string& vendorLib, std::string* error);

    Firebird::IMaster* master() const { return master_; }
    Firebird::IUtil* util() const { return util_; }
    Firebird::IProvider* provider() const { return provider_; }

    FbClient(const FbClient&) = delete;
    FbClient& operator=(const FbClient&) = delete;

private:
    FbClient() = default;

    platform::SharedLibrary library_;
    Firebird::IMaster* master_ = nullptr;
    Firebird::IUtil* util_ = nullptr;
    Firebird::IProvider* provider_ = nullptr;
};

} // namespace db::firebird
