// Encoding helpers of the GM block builders: the plug-in truncates most GM values, so the
// models round a value up to the next step where the display would otherwise read one low.
#pragma once

#include "ecusim/aldl_frame.h"
#include "ecusim/kwp_frame.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>

namespace ecusim::gm {

inline std::uint8_t byte_of(double x) { return static_cast<std::uint8_t>(std::clamp(std::lround(x), 0L, 255L)); }
inline std::uint8_t byte_up(double x) {
  return static_cast<std::uint8_t>(std::clamp(static_cast<long>(std::ceil(x - 1e-9)), 0L, 255L));
}
inline std::uint16_t word_of(double x) { return static_cast<std::uint16_t>(std::clamp(std::lround(x), 0L, 65535L)); }
inline std::uint16_t word_up(double x) {
  return static_cast<std::uint16_t>(std::clamp(static_cast<long>(std::ceil(x - 1e-9)), 0L, 65535L));
}
// High byte first, at A[k], A[k + 1].
inline void put_word(Bytes &a, std::size_t k, std::uint16_t w) {
  a[k] = static_cast<std::uint8_t>(w >> 8);
  a[k + 1] = static_cast<std::uint8_t>(w & 0xFF);
}

struct FlagBit {
  std::uint8_t byte;  // A index
  std::uint8_t bit;
};

// Sets the bit of every status item that holds.
template <std::size_t N>
void put_flags(Bytes &a, const std::array<FlagBit, N> &bits, const std::array<bool, N> &flags) {
  for (std::size_t i = 0; i < N; ++i)
    if (flags[i]) a[bits[i].byte] |= static_cast<std::uint8_t>(1u << bits[i].bit);
}

// The mode 1 answer carries the block from A[3] on.
inline Bytes block_answer(const Bytes &a) { return build_aldl(0x01, Bytes(a.begin() + 3, a.end())); }

}  // namespace ecusim::gm
