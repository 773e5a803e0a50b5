// Fuzzes the registry export parser: any input either parses or raises
// RegistryError, and every string it yields is UTF-8.

#include "config/registry_file.h"
#include "config/text_encoding.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

namespace {

constexpr std::string_view kKey = "HKEY_LOCAL_MACHINE\\Software\\Dranek\\PelmoraERP2024";

void checkText(const config::RegistryValue* value) {
    std::size_t badOffset = 0;
    if (value != nullptr && !config::isValidUtf8(value->text, badOffset)) {
        std::abort();
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    try {
        const config::RegistryFile file = config::RegistryFile::parse(bytes, "fuzz.reg");
        if (file.hasKey(kKey)) {
            checkText(file.value(kKey, "Directorio"));
            checkText(file.value(kKey, ""));
        }
        file.hasKey("HKEY_LOCAL_MACHINE");
        file.hasKey("");
    } catch (const config::RegistryError&) {
    }
    return 0;
}
