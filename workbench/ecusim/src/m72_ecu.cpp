// Bosch M7.2 at address 0x10: served like the M1.5.4 family (no diagnostic session), with the
// M1.5.4 identification options and four current-fault bytes in its 21 01 block.
#include "ecusim/m72_block.h"
#include "ecusim/m7_ecu.h"

#include <array>

namespace ecusim {
namespace {

// Options 0x90 .. 0x9A with the M1.5.4 field lengths: 19 16 10 10 15 7 10 8 7 7 10.
constexpr std::array<BoschIdent, 11> kIdent{{
    {0x90, "XTA21214080456789  "},
    {0x91, "21214-1411020-10"},
    {0x92, "0261208945"},
    {0x93, "1037396512"},
    {0x94, "CAL 21214 0805 "},
    {0x95, "2008-05"},
    {0x96, "V07.02    "},
    {0x97, "BOSCH   "},
    {0x98, "21214  "},
    {0x99, "2008-09"},
    {0x9A, "I2 M7.2 V7"},
}};

// Not constexpr: the output tables live in output_tables.cpp.
const std::array<M7Model, 1> kModels{{
    {"m72",
     0x10,
     false,
     kIdent,
     0x9A,
     4,
     m72_block,
     m72_converter_block,
     nullptr,
     nullptr,
     m72_outputs(),
     {},
     false,
     true},
}};

}  // namespace

std::span<const M7Model> m72_models() { return kModels; }

}  // namespace ecusim
