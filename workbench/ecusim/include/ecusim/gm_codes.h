// Trouble-code bits of the GM ALDL models: which GM code number each bit of the mode 1 code
// bytes stands for (text ID = base + k * 256 + mask, k = the byte's position in the stripped
// answer). Bits absent from a table have no code on the real units and no text.
#pragma once

#include "ecusim/kwp_frame.h"

#include <cstdint>
#include <optional>
#include <span>
#include <vector>

namespace ecusim {

struct GmCodeBit {
  int code;           // GM ALDL code number, e.g. 14
  int k;              // position of the current-code byte in the stripped answer
  std::uint8_t mask;  // bit of that byte
};

struct GmCodeMap {
  std::span<const GmCodeBit> bits;
  int first_k;        // first code byte (5 for both units)
  std::size_t bytes;  // number of code bytes
};

const GmCodeMap &gm_isfi_code_map();
const GmCodeMap &gm_efi_code_map();

// The code bytes with the bits of the given code numbers set; nullopt when a number is not
// in the map.
std::optional<Bytes> gm_code_bytes(const GmCodeMap &map, const std::vector<int> &codes);

}  // namespace ecusim
