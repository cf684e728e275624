// Code-bit tables of the GM ISFI and EFI models (see gm_layout.md).
#include "ecusim/gm_codes.h"

#include <array>

namespace ecusim {
namespace {

constexpr std::array<GmCodeBit, 33> kIsfi{{
    {13, 5, 0x01},
    {14, 5, 0x02},
    {15, 5, 0x04},
    {21, 5, 0x08},
    {22, 5, 0x10},
    {23, 5, 0x20},
    {24, 5, 0x40},
    {25, 5, 0x80},
    {32, 6, 0x01},
    {33, 6, 0x02},
    {34, 6, 0x04},
    {35, 6, 0x08},
    /* bit 4 of byte 6: no code */ {42, 6, 0x20},
    {43, 6, 0x40},
    {44, 6, 0x80},
    {45, 7, 0x01},
    {51, 7, 0x02},
    {52, 7, 0x04},
    {53, 7, 0x08},
    {54, 7, 0x10},
    {55, 7, 0x20},
    {31, 8, 0x01},
    {41, 8, 0x02},
    {61, 8, 0x04},
    {62, 8, 0x08},
    {63, 8, 0x10},
    {64, 8, 0x20},
    {71, 9, 0x01},
    {72, 9, 0x02},
    {73, 9, 0x04},
    {74, 9, 0x08},
    {81, 10, 0x01},
    {82, 10, 0x02},
}};

constexpr std::array<GmCodeBit, 19> kEfi{{
    {13, 5, 0x01}, {14, 5, 0x02}, {15, 5, 0x04}, {21, 5, 0x08}, {22, 5, 0x10}, {23, 5, 0x20}, {24, 5, 0x40},
    {25, 5, 0x80}, {33, 6, 0x01}, {34, 6, 0x02}, {35, 6, 0x04}, {42, 6, 0x08}, {43, 6, 0x10}, {44, 6, 0x20},
    {45, 6, 0x40}, {51, 7, 0x01}, {53, 7, 0x02}, {54, 7, 0x04}, {55, 7, 0x08},
}};

const GmCodeMap kIsfiMap{kIsfi, 5, 6};
const GmCodeMap kEfiMap{kEfi, 5, 3};

}  // namespace

const GmCodeMap &gm_isfi_code_map() { return kIsfiMap; }
const GmCodeMap &gm_efi_code_map() { return kEfiMap; }

std::optional<Bytes> gm_code_bytes(const GmCodeMap &map, const std::vector<int> &codes) {
  Bytes out(map.bytes, 0);
  for (int code : codes) {
    bool found = false;
    for (const auto &b : map.bits) {
      if (b.code != code) continue;
      out[static_cast<std::size_t>(b.k - map.first_k)] |= b.mask;
      found = true;
    }
    if (!found) return std::nullopt;
  }
  return out;
}

}  // namespace ecusim
