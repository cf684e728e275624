// Encoding of an engine state into the M7.0 blocks (21 01 of E2 and E3) and the converter
// cells read with 23, byte for byte as m70_layout.md beside this folder fixes them.
#pragma once

#include "ecusim/m7_ecu.h"

#include <cstdint>
#include <optional>

namespace ecusim {

inline constexpr std::uint32_t kM70ConverterBase = 0x00F840;  // six cells from here

Bytes m70_e2_block(const M7BlockInput &in);  // 61 01 D5 .. D46 (0x2C service bytes)
Bytes m70_e3_block(const M7BlockInput &in);  // 61 01 D5 .. D87 (0x55 service bytes)
std::optional<std::uint8_t> m70_converter_cell(const EngineState &e, std::uint32_t address);

}  // namespace ecusim
