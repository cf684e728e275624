// GM ALDL frame helpers shared by the GM ECU models and the simulated ALDL line:
// device identifier F4, length code 0x55 + (mode + data bytes), mode, data, and a checksum
// that makes the sum of all frame bytes 0 modulo 256.
#pragma once

#include "ecusim/kwp_frame.h"
#include "frames/aldl_frame.h"

#include <cstdint>
#include <optional>

namespace ecusim {

inline constexpr std::uint8_t kAldlDevice = frames::aldl::kDevice;

struct AldlRequest {
  std::uint8_t mode = 0;
  Bytes data;  // the bytes between the mode and the checksum
};

// Splits a complete frame (device identifier .. checksum); nullopt when the device
// identifier, the length code or the checksum does not fit.
std::optional<AldlRequest> parse_aldl(const Bytes &frame);

// Builds an answer frame F4, length code, mode, data, checksum.
Bytes build_aldl(std::uint8_t mode, const Bytes &data);

}  // namespace ecusim
