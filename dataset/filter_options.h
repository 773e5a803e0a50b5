#pragma once
// How a filter or locate compares text.

#include <cstdint>

namespace dataset {

enum class FilterOption : std::uint8_t { CaseInsensitive = 1, NoPartialCompare = 2 };

class FilterOptions {
public:
    constexpr FilterOptions() = default;
    constexpr FilterOptions(FilterOption option) : bits_(static_cast<std::uint8_t>(option)) {}
    constexpr bool has(FilterOption option) const {
        return (bits_ & static_cast<std::uint8_t>(option)) != 0;
    }
    constexpr FilterOptions operator+(FilterOption option) const {
        FilterOptions result = *this;
        result.bits_ |= static_cast<std::uint8_t>(option);
        return result;
    }
    friend constexpr bool operator==(FilterOptions, FilterOptions) = default;

private:
    std::uint8_t bits_ = 0;
};

} // namespace dataset
