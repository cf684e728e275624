// Bosch M7.9.7 E2 and E3 at address 0x10: identification texts and block builders. Both take
// StartDiagnosticSession 81 and AccessTimingParameters 03 and serve 21 01, 21 03 and 21 A0.
#include "ecusim/m797_block.h"
#include "ecusim/m7_ecu.h"

#include <array>

namespace ecusim {
namespace {

// Options 0x90 .. 0x9A with the field lengths the plug-in copies: 17 16 12 10 15 9 10 10 7 7 10.
constexpr std::array<BoschIdent, 11> kE2Ident{{
    {0x90, "XTA21703070345678"},
    {0x91, "21126-1411020-20"},
    {0x92, "0261S04598-1"},
    {0x93, "1037383145"},
    {0x94, "VAZ2112 E2 0604"},
    {0x95, "V1.2.3-E2"},
    {0x96, "2006-04-12"},
    {0x97, "BOSCH     "},
    {0x98, "21126  "},
    {0x99, "2007-03"},
    {0x9A, "B110E20604"},
}};

constexpr std::array<BoschIdent, 11> kE3Ident{{
    {0x90, "XTA21703080456789"},
    {0x91, "21126-1411020-30"},
    {0x92, "0261S06811-2"},
    {0x93, "1037392311"},
    {0x94, "VAZ2112 E3 0712"},
    {0x95, "V2.0.1-E3"},
    {0x96, "2007-12-03"},
    {0x97, "BOSCH     "},
    {0x98, "21126  "},
    {0x99, "2008-02"},
    {0x9A, "B110E30712"},
}};

// Not constexpr: the output tables live in output_tables.cpp.
const std::array<M7Model, 2> kModels{{
    {"m797-e2",
     0x10,
     true,
     kE2Ident,
     0x9A,
     0,
     m797_e2_block,
     m797_converter_block,
     m797_immobiliser_block,
     nullptr,
     m797_outputs(),
     {},
     true},
    {"m797-e3",
     0x10,
     true,
     kE3Ident,
     0x9A,
     0,
     m797_e3_block,
     m797_converter_block,
     m797_immobiliser_block,
     nullptr,
     m797_outputs(),
     {},
     true},
}};

}  // namespace

std::span<const M7Model> m797_models() { return kModels; }

}  // namespace ecusim
