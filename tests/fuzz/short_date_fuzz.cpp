// Fuzzes the short date functions with both the text and the format. The
// input is a flags byte (bit 0: two-digit years may be typed), the format up
// to a zero byte, the text up to the next zero byte, then four bytes that
// make a date (year, month, day; invalid ones included).
//
// What must hold: a text that parses is a valid date, and that date written
// in the format parses back to itself; a valid date written in a supported
// format parses back to itself; an unsupported format neither writes nor
// reads; allowing two-digit years never loses a date that four digits read.

#include "platform/short_date.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

namespace {

using platform::Date;
using platform::YearDigits;

void check(bool condition) {
    if (!condition)
        std::abort();
}

// Bytes copied to a buffer of their exact size, so that a read past their
// end is caught.
class ExactCopy {
public:
    explicit ExactCopy(std::string_view bytes)
        : bytes_(std::make_unique<char[]>(bytes.size())), size_(bytes.size()) {
        bytes.copy(bytes_.get(), size_);
    }
    std::string_view view() const { return {bytes_.get(), size_}; }

private:
    std::unique_ptr<char[]> bytes_;
    std::size_t size_;
};

// The next field of the input: up to a zero byte or the end.
ExactCopy nextField(std::string_view& input) {
    const std::size_t end = input.find('\0');
    ExactCopy field(input.substr(0, end));
    input.remove_prefix(end == std::string_view::npos ? input.size() : end + 1);
    return field;
}

Date dateFrom(std::string_view bytes) {
    const auto byte = [&](std::size_t i) {
        return i < bytes.size() ? static_cast<unsigned char>(bytes[i]) : 0U;
    };
    // Years 0 to 10000, months 0 to 13 and days 0 to 32: the invalid edges too.
    return Date{static_cast<int>(((byte(0) << 8U) | byte(1)) % 10001U),
                static_cast<int>(byte(2) % 14U), static_cast<int>(byte(3) % 33U)};
}

std::optional<Date> parse(std::string_view text, std::string_view format,
                          YearDigits years = YearDigits::Four) {
    return platform::parseDate(ExactCopy(text).view(), format, years);
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    // Month and weekday names from the C locale, whatever the machine's.
    setenv("LC_ALL", "C", 1);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0)
        return 0;
    const YearDigits years = (data[0] & 1U) != 0 ? YearDigits::FourOrTwo : YearDigits::Four;
    std::string_view input(reinterpret_cast<const char*>(data) + 1, size - 1);
    const ExactCopy format = nextField(input);
    const ExactCopy text = nextField(input);
    const Date date = dateFrom(input);
    const bool supported = platform::isSupportedDateFormat(format.view());

    const std::optional<Date> read = platform::parseDate(text.view(), format.view(), years);
    if (read) {
        check(supported && platform::isValidDate(*read));
        const std::string written = platform::formatDate(*read, format.view());
        check(!written.empty());
        check(parse(written, format.view()) == read);
        if (years == YearDigits::Four)
            check(platform::parseDate(text.view(), format.view(), YearDigits::FourOrTwo) == read);
    }

    const std::string written = platform::formatDate(date, format.view());
    if (supported && platform::isValidDate(date)) {
        check(parse(written, format.view()) == date);
        check(parse(written, format.view(), YearDigits::FourOrTwo) == date);
    } else {
        check(written.empty());
    }
    if (!supported)
        check(!platform::parseDate(text.view(), format.view(), years));
    return 0;
}
