#include "platform/shared_library.h"

#include <dlfcn.h>
#include <utility>

namespace platform {

SharedLibrary::~SharedLibrary() {
    unload();
}

SharedLibrary::SharedLibrary(SharedLibrary&& other) noexcept
    : handle_(std::exchange(other.handle_, nullptr)), lastError_(std::move(other.lastError_)) {}

SharedLibrary& SharedLibrary::operator=(SharedLibrary&& other) noexcept {
    if (this != &other) {
        unload();
        handle_ = std::exchange(other.handle_, nullptr);
        lastError_ = std::move(other.lastError_);
    }
    return *this;
}

bool SharedLibrary::load(const std::string& fileName) {
    unload();
    handle_ = ::dlopen(fileName.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (handle_ == nullptr) {
        const char* text = ::dlerror();
        lastError_ = text != nullptr ? text : "cannot load " + fileName;
        return false;
    }
    lastError_.clear();
    return true;
}

void SharedLibrary::unload() {
    if (handle_ != nullptr) {
        ::dlclose(handle_);
        handle_ = nullptr;
    }
}

void* SharedLibrary::symbol(const std::string& name) const {
    if (handle_ == nullptr) {
        lastError_ = "library not loaded";
        return nullptr;
    }
    ::dlerror();
    void* address = ::dlsym(handle_, name.c_str());
    if (address == nullptr) {
        const char* text = ::dlerror();
        lastError_ = text != nullptr ? text : "symbol not found: " + name;
    }
    return address;
}

} // namespace platform
