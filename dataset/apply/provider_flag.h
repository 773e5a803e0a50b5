#pragma once
// What a provider may do with a column when it writes changes back.

#include "platform/flags.h"

#include <cstdint>

namespace dataset {

enum class ProviderFlag : std::uint8_t { InUpdate = 1, InWhere = 2, InKey = 4, Hidden = 8 };

using ProviderFlags = platform::Flags<ProviderFlag>;

// InUpdate + InWhere, what a column has unless the packet says otherwise.
inline constexpr ProviderFlags kDefaultProviderFlags =
    ProviderFlags(ProviderFlag::InUpdate) + ProviderFlag::InWhere;

} // namespace dataset
