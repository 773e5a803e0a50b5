#include "platform/decimal_separator.h"

#include <cstring>
#include <langinfo.h>
#include <locale.h>

namespace platform {

char decimalSeparator() {
    locale_t numeric = newlocale(LC_NUMERIC_MASK, "", locale_t(nullptr));
    if (numeric == locale_t(nullptr)) {
        return '.';
    }
    const char* radix = nl_langinfo_l(RADIXCHAR, numeric);
    const char separator = radix != nullptr && std::strlen(radix) == 1 ? radix[0] : '.';
    freelocale(numeric);
    return separator;
}

} // namespace platform
