// Encoding of an engine state into the data blocks of the M1.5.4 family (21 01 and 21 03),
// byte for byte as m154_layout.md beside this folder fixes them.
#pragma once

#include "ecusim/engine_model.h"
#include "ecusim/kwp_frame.h"

#include <array>
#include <cstdint>

namespace ecusim {

enum class M154Layout { Basic, N };  // M1.5.4 and add-on / M1.5.4N

using FaultBits = std::array<std::uint8_t, 3>;  // D9, D10, D11

// Service bytes 61 01 and the record (D5 ..): 32 bytes for Basic, 34 for N.
// `into` lends its room (the ECU's spare answer buffer), so that live data allocates nothing.
Bytes m154_data_block(const EngineState &e, const FaultBits &faults, M154Layout layout, Bytes into = {});
// Service bytes 61 03 and the seven converter readings D5 .. D11.
Bytes m154_converter_block(const EngineState &e);

}  // namespace ecusim
