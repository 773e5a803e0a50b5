#pragma once
// What a provider may do with a column when it writes changes back.

#include <cstdint>

namespace dataset {

enum class ProviderFlag : std::uint8_t { InUpdate = 1, InWhere = 2, InKey = 4, Hidden = 8 };

class ProviderFlags {
public:
    constexpr ProviderFlags() = default;
    constexpr ProviderFlags(ProviderFlag flag) : bits_(static_cast<std::uint8_t>(flag)) {}
    static constexpr ProviderFlags fromBits(std::uint8_t bits) {
        ProviderFlags flags;
        flags.bits_ = bits;
        return flags;
    }
    // InUpdate + InWhere, what a column has unless the packet says otherwise.
    static constexpr ProviderFlags defaults() {
        return fromBits(static_cast<std::uint8_t>(ProviderFlag::InUpdate) |
                        static_cast<std::uint8_t>(ProviderFlag::InWhere));
    }

    constexpr bool has(ProviderFlag flag) const {
        return (bits_ & static_cast<std::uint8_t>(flag)) != 0;
    }
    constexpr ProviderFlags operator+(ProviderFlag flag) const {
        return fromBits(bits_ | static_cast<std::uint8_t>(flag));
    }
    constexpr ProviderFlags operator-(ProviderFlag flag) const {
        return fromBits(bits_ & static_cast<std::uint8_t>(~static_cast<std::uint8_t>(flag)));
    }
    constexpr std::uint8_t bits() const { return bits_; }
    friend constexpr bool operator==(ProviderFlags, ProviderFlags) = default;

private:
    std::uint8_t bits_ = 0;
};

} // namespace dataset
