#pragma once
// Driver libraries loaded by file name. A library, once loaded, stays loaded
// until the process ends: driver objects and the client library's own
// threads may outlive any one connection.

#include "platform/shared_library.h"

#include <string>

namespace db {

class DriverLibraries {
public:
    // The loaded library, or null with the loader's text in error.
    static platform::SharedLibrary* load(const std::string& fileName, std::string* error);
};

} // namespace db
