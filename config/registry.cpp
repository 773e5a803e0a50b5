#include "config/registry.h"

#include "platform/text.h"

#include <cstdlib>
#include <utility>

namespace config {

namespace {

constexpr const char* kRegistryPathVariable = "PELMORA_REGISTRY";
constexpr const char* kDefaultRegistryPath = "/etc/pelmora/registry.reg";
constexpr std::string_view kRootKey = "HKEY_LOCAL_MACHINE\\";

std::string invalidDataType(std::string_view name) {
    return platform::fill(kInvalidDataType, name);
}

} // namespace

std::string defaultRegistryPath() {
    const char* path = std::getenv(kRegistryPathVariable);
    return path != nullptr && *path != '\0' ? path : kDefaultRegistryPath;
}

Registry::Registry(std::string filePath) : filePath_(std::move(filePath)) {}

bool Registry::openKey(std::string_view keyPath) {
    if (!loaded_) {
        file_ = RegistryFile::load(filePath_);
        loaded_ = true;
    }
    std::string fullPath(kRootKey);
    fullPath.append(keyPath);
    if (!file_ || !file_->hasKey(fullPath)) {
        return false;
    }
    openKey_ = std::move(fullPath);
    return true;
}

std::string Registry::readString(std::string_view name) const {
    if (!file_ || openKey_.empty()) {
        return {};
    }
    const RegistryValue* value = file_->value(openKey_, name);
    if (value == nullptr) {
        return {};
    }
    if (value->type != RegistryValueType::String &&
        value->type != RegistryValueType::ExpandString) {
        throw RegistryError(invalidDataType(name));
    }
    return value->text;
}

} // namespace config
