// GM ALDL frames as bytes: the device identifier, a length code of 0x55 + (mode and data
// bytes), the mode, the data and a checksum that makes the sum of all the frame's bytes 0
// modulo 256.
#pragma once

#include "frames/byte_sum.h"

#include <cstddef>
#include <cstdint>
#include <string_view>

namespace frames::aldl {

inline constexpr std::uint8_t kDevice = 0xF4;
inline constexpr std::uint8_t kLengthBase = 0x55;
inline constexpr std::size_t kModeAt = 2;
// Device identifier, length code 0x55 + 170, checksum.
inline constexpr std::size_t kMaxFrame = 173;

inline constexpr std::uint8_t kClearCodes = 0x0A;  // the mode that clears the trouble codes

// Length of a frame from its first bytes, checksum included: 0 while the length code has
// not arrived, -1 when the code counts no mode byte (0x55 or below) and so starts no frame.
constexpr int frame_size(const std::uint8_t *bytes, std::size_t available) {
  if (available < 2) return 0;
  if (bytes[1] <= kLengthBase) return -1;
  return bytes[1] - kLengthBase + 3;
}

// The length code for this many mode and data bytes.
constexpr std::uint8_t length_code(std::size_t mode_and_data) {
  return static_cast<std::uint8_t>(kLengthBase + mode_and_data);
}

// The byte that completes the sum of 'bytes' to 0 modulo 256.
constexpr std::uint8_t checksum(const std::uint8_t *bytes, std::size_t count) {
  return static_cast<std::uint8_t>(0x100u - byte_sum(bytes, count));
}

// The whole frame, checksum included, sums to 0.
constexpr bool checksum_ok(const std::uint8_t *bytes, std::size_t count) { return byte_sum(bytes, count) == 0; }

// Name of a mode, "" when unknown.
std::string_view mode_name(std::uint8_t mode);

}  // namespace frames::aldl
