#pragma once
// A shared library loaded at run time: the driver library and, through it,
// the database client library.

#include <string>

namespace platform {

class SharedLibrary {
public:
    SharedLibrary() = default;
    ~SharedLibrary();
    SharedLibrary(const SharedLibrary&) = delete;
    SharedLibrary& operator=(const SharedLibrary&) = delete;
    SharedLibrary(SharedLibrary&& other) noexcept;
    SharedLibrary& operator=(SharedLibrary&& other) noexcept;

    // Loads the library by file name (searched as the dynamic loader does).
    // Returns false, with lastError() set, when it cannot be loaded.
    bool load(const std::string& fileName);
    void unload();
    bool isLoaded() const { return handle_ != nullptr; }

    // The address of an exported symbol, or nullptr when there is none.
    void* symbol(const std::string& name) const;

    const std::string& lastError() const { return lastError_; }

private:
    void* handle_ = nullptr;
    mutable std::string lastError_;
};

} // namespace platform
