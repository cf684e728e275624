// Small encoders shared by the data-block builders of the M7 generation: rounding and
// clamping a physical value to its raw byte or word, flag bytes, two's-halves signed bytes.
#pragma once

#include "ecusim/kwp_frame.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <initializer_list>

namespace ecusim::enc {

// Nearest raw value, clamped to the byte.
inline std::uint8_t byte_of(double raw) { return static_cast<std::uint8_t>(std::clamp(std::lround(raw), 0L, 255L)); }

// Word high byte first (hi * 256 + lo), clamped.
inline void put_be16(Bytes &b, double raw) {
  const long w = std::clamp(std::lround(raw), 0L, 65535L);
  b.push_back(static_cast<std::uint8_t>(w >> 8));
  b.push_back(static_cast<std::uint8_t>(w & 0xFF));
}

// Word of the M7.9.7 kind, hi * 255 + lo: the ECU counts its low byte to 254 only.
inline void put_v255(Bytes &b, double raw) {
  const long v = std::clamp(std::lround(raw), 0L, 255L * 255L + 254L);
  b.push_back(static_cast<std::uint8_t>(v / 255));
  b.push_back(static_cast<std::uint8_t>(v % 255));
}

// Bit 0 first.
inline std::uint8_t flags(std::initializer_list<bool> bits) {
  std::uint8_t v = 0, mask = 1;
  for (bool bit : bits) {
    if (bit) v |= mask;
    mask = static_cast<std::uint8_t>(mask << 1);
  }
  return v;
}

// Signed byte of the Bosch kind: b < 128 is b * step, b >= 128 is (b - 128) * step - offset.
inline std::uint8_t signed_byte(double value, double step, double offset) {
  if (value >= 0) return byte_of(std::min(value / step, 127.0));
  return static_cast<std::uint8_t>(128 + std::clamp(std::lround((value + offset) / step), 0L, 127L));
}

// A record addressed the way the layout pages count: D[3] is the answer's service byte, D[4]
// the local identifier, data from D[5] up to and including D[last]. Unset bytes are 0.
class DRecord {
 public:
  DRecord(std::uint8_t service, std::uint8_t lid, std::size_t last) : d_(last + 1, 0) {
    d_[3] = service;
    d_[4] = lid;
  }
  void set(std::size_t k, std::uint8_t b) { d_.at(k) = b; }
  void be16(std::size_t k, double raw) {
    put_at(k, [&](Bytes &b) { put_be16(b, raw); });
  }
  void v255(std::size_t k, double raw) {
    put_at(k, [&](Bytes &b) { put_v255(b, raw); });
  }
  // The service bytes D[3] .. D[last].
  Bytes service() const { return Bytes(d_.begin() + 3, d_.end()); }

 private:
  template <class F>
  void put_at(std::size_t k, F put) {
    Bytes two;
    put(two);
    d_.at(k) = two[0];
    d_.at(k + 1) = two[1];
  }
  Bytes d_;
};

}  // namespace ecusim::enc
