#include "app/form/company_code.h"

namespace app {

namespace {

constexpr std::string_view kSeparators = "/\\:";

bool isControl(char c) {
    const auto byte = static_cast<unsigned char>(c);
    return byte < 0x20 || byte == 0x7f;
}

} // namespace

bool isPlainCompanyCode(std::string_view code) {
    if (code.empty() || code.front() == '.')
        return false;
    for (const char c : code) {
        if (isControl(c) || kSeparators.find(c) != std::string_view::npos)
            return false;
    }
    return true;
}

std::string printableCompanyCode(std::string_view code) {
    std::string shown(code);
    for (char& c : shown) {
        if (isControl(c))
            c = '?';
    }
    return shown;
}

} // namespace app
