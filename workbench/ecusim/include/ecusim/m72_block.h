// Encoding of an engine state into the M7.2 blocks (21 01 with four current-fault bytes,
// 21 03 converter readings), byte for byte as m72_layout.md fixes them.
#pragma once

#include "ecusim/m7_ecu.h"

namespace ecusim {

Bytes m72_block(const M7BlockInput &in);          // 61 01 D5 .. D39 (0x25 service bytes)
Bytes m72_converter_block(const EngineState &e);  // 61 03 D5 .. D15

}  // namespace ecusim
