#include "db/driver_libraries.h"

#include <map>
#include <memory>
#include <mutex>

namespace db {

platform::SharedLibrary* DriverLibraries::load(const std::string& fileName, std::string* error) {
    static std::mutex mutex;
    // Never destroyed, so nothing is unloaded at exit either.
    static auto* libraries = new std::map<std::string, std::unique_ptr<platform::SharedLibrary>>();

    const std::lock_guard<std::mutex> lock(mutex);
    if (auto found = libraries->find(fileName); found != libraries->end()) {
        return found->second.get();
    }
    auto library = std::make_unique<platform::SharedLibrary>();
    if (!library->load(fileName)) {
        *error = library->lastError();
        return nullptr;
    }
    return libraries->emplace(fileName, std::move(library)).first->second.get();
}

} // namespace db
