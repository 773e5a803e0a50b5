#pragma once
// How a filter or locate compares text.

#include "platform/flags.h"

#include <cstdint>

namespace dataset {

enum class FilterOption : std::uint8_t { CaseInsensitive = 1, NoPartialCompare = 2 };

using FilterOptions = platform::Flags<FilterOption>;

} // namespace dataset
