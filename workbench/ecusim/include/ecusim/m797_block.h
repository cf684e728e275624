// Encoding of an engine state into the M7.9.7 blocks: 21 01 (E2 and E3), 21 03 converter
// readings and 21 A0 immobiliser state, byte for byte as m797_layout.md fixes them.
#pragma once

#include "ecusim/m7_ecu.h"

namespace ecusim {

Bytes m797_e2_block(const M7BlockInput &in);         // 61 01 D5 .. D69 (0x43 service bytes)
Bytes m797_e3_block(const M7BlockInput &in);         // 61 01 D5 .. D76 (0x4A service bytes)
Bytes m797_converter_block(const EngineState &e);    // 61 03 D5 .. D23
Bytes m797_immobiliser_block(const EngineState &e);  // 61 A0 D5 .. D9

}  // namespace ecusim
