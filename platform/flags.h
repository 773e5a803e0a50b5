#pragma once
// A set of the values of one flag enumeration whose values are single bits.

#include <type_traits>

namespace platform {

template <typename Flag> class Flags {
public:
    using Bits = std::underlying_type_t<Flag>;

    constexpr Flags() = default;
    constexpr Flags(Flag flag) : bits_(static_cast<Bits>(flag)) {}
    static constexpr Flags fromBits(Bits bits) {
        Flags flags;
        flags.bits_ = bits;
        return flags;
    }

    constexpr bool has(Flag flag) const { return (bits_ & static_cast<Bits>(flag)) != 0; }
    constexpr Flags operator+(Flag flag) const {
        return fromBits(static_cast<Bits>(bits_ | static_cast<Bits>(flag)));
    }
    constexpr Flags operator-(Flag flag) const {
        return fromBits(static_cast<Bits>(bits_ & static_cast<Bits>(~static_cast<Bits>(flag))));
    }
    constexpr Bits bits() const { return bits_; }
    friend constexpr bool operator==(Flags, Flags) = default;

private:
    Bits bits_ = 0;
};

} // namespace platform
