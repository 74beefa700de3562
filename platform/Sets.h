// A set of values of one enumeration (at most 64 members), as the published properties
// and component states use them.
#pragma once

#include <cstdint>
#include <initializer_list>

template <typename E>
class TSet {
 public:
  constexpr TSet() = default;
  constexpr TSet(std::initializer_list<E> members) {
    for (E m : members) bits_ |= Bit(m);
  }
  static constexpr TSet FromBits(std::uint64_t bits) {
    TSet s;
    s.bits_ = bits;
    return s;
  }
  constexpr std::uint64_t Bits() const { return bits_; }

  constexpr bool Contains(E m) const { return (bits_ & Bit(m)) != 0; }
  constexpr bool Empty() const { return bits_ == 0; }
  constexpr TSet& Include(E m) { bits_ |= Bit(m); return *this; }
  constexpr TSet& Exclude(E m) { bits_ &= ~Bit(m); return *this; }

  constexpr TSet operator+(TSet o) const { return FromBits(bits_ | o.bits_); }
  constexpr TSet operator-(TSet o) const { return FromBits(bits_ & ~o.bits_); }
  constexpr TSet operator*(TSet o) const { return FromBits(bits_ & o.bits_); }
  constexpr TSet operator+(E m) const { return FromBits(bits_ | Bit(m)); }
  constexpr TSet operator-(E m) const { return FromBits(bits_ & ~Bit(m)); }
  constexpr TSet& operator+=(TSet o) { bits_ |= o.bits_; return *this; }
  constexpr TSet& operator-=(TSet o) { bits_ &= ~o.bits_; return *this; }
  constexpr TSet& operator+=(E m) { return Include(m); }
  constexpr TSet& operator-=(E m) { return Exclude(m); }
  constexpr bool operator==(const TSet&) const = default;

 private:
  static constexpr std::uint64_t Bit(E m) { return std::uint64_t{1} << static_cast<unsigned>(m); }
  std::uint64_t bits_ = 0;
};
