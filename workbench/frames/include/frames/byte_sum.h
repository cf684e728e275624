// The sum of bytes modulo 256, which both K-line protocols build their checksum on.
#pragma once

#include <cstddef>
#include <cstdint>

namespace frames {

constexpr std::uint8_t byte_sum(const std::uint8_t *bytes, std::size_t count) {
  unsigned sum = 0;
  for (std::size_t i = 0; i < count; ++i) sum += bytes[i];
  return static_cast<std::uint8_t>(sum & 0xFFu);
}

}  // namespace frames
