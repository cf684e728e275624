// Bosch M7.0 E2 and E3 at address 0x11: identification texts and block builders. Both take
// StartDiagnosticSession 81 and AccessTimingParameters 03; the converter readings are
// memory cells read with 23 (one per item of the plug-in's converter list).
#include "ecusim/m70_block.h"
#include "ecusim/m7_ecu.h"

#include <array>

namespace ecusim {
namespace {

using namespace std::string_view_literals;

// Options of the identification command lists, in list order, with the field lengths the
// plug-in copies: 17 12 10 10 6, four packed-decimal bytes (8 digits), 1 character.
constexpr std::array<BoschIdent, 7> kE2Ident{{
    {0x90, "XTA21124050234567"},
    {0x91, "2112-1411020"},
    {0x92, "0261206942"},
    {0x94, "1037352104"},
    {0x9A, "M7.0E2"},
    {0x99, "\x20\x03\x05\x14"sv},  // programming date 2003-05-14
    {0x98, "2"},                   // emission standard
}};

constexpr std::array<BoschIdent, 7> kE3Ident{{
    {0x90, "XTA21124060345678"},
    {0x91, "2112-1411020"},
    {0x92, "0261208143"},
    {0x94, "1037359877"},
    {0x9A, "M7.0E3"},
    {0x99, "\x20\x06\x02\x21"sv},  // programming date 2006-02-21
    {0x98, "3"},
}};

// Not constexpr: the output tables live in output_tables.cpp.
const std::array<M7Model, 2> kModels{{
    {"m70-e2", 0x11, true, kE2Ident, 0x9A, 0, m70_e2_block, nullptr, nullptr, m70_converter_cell, m70_outputs(),
     m70_routines(), false},
    {"m70-e3", 0x11, true, kE3Ident, 0x9A, 0, m70_e3_block, nullptr, nullptr, m70_converter_cell, m70_outputs(),
     m70_routines(), false},
}};

}  // namespace

std::span<const M7Model> m70_models() { return kModels; }

}  // namespace ecusim
