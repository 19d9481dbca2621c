// TSet: a set of the values of a small enumeration (at most 64 values), such as the states of a
// component or the styles of a font.
#pragma once

#include <cstdint>
#include <initializer_list>
#include <type_traits>

namespace kq {

template <class E>
class TSet {
    static_assert(std::is_enum_v<E>);

public:
    constexpr TSet() = default;
    constexpr TSet(std::initializer_list<E> values) {
        for (E value : values) {
            Include(value);
        }
    }

    constexpr bool Contains(E value) const { return (bits_ & Bit(value)) != 0; }
    constexpr bool Empty() const { return bits_ == 0; }
    constexpr void Include(E value) { bits_ |= Bit(value); }
    constexpr void Exclude(E value) { bits_ &= ~Bit(value); }
    constexpr bool operator==(const TSet&) const = default;

private:
    static constexpr std::uint64_t Bit(E value) {
        return std::uint64_t{1} << static_cast<unsigned>(value);
    }

    std::uint64_t bits_ = 0;
};

} // namespace kq
