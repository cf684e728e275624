// Which output each family drives under which local identifier (or M7.0 routine parameter).
#include "ecusim/output_control.h"

#include <array>

namespace ecusim {
namespace {

using enum Effect;

// M1.5.4 family: 01 switches all four injectors, 05 and 06 the two double-spark coils.
constexpr std::array<OutputRow, 11> kM154{{
    {0x01, CutInjectors, 0x0F},
    {0x05, CutCoils, 0x09},
    {0x06, CutCoils, 0x06},
    {0x09, FuelPump},
    {0x0A, Fan},
    {0x0B, AcClutch},
    {0x0C, Lamp},
    {0x41, IdleStep},
    {0x42, IdleSpeed},
    {0x61, CoTrim},
    {0x62, Silent},  // ignition dwell: not in the data blocks
}};

// M7.9.7: one injector and one coil per cylinder; 0D second fan stage, 0E starter relay,
// 10 intake manifold flap; the CO trim has no item of its own in the block.
constexpr std::array<OutputRow, 18> kM797{{
    {0x01, CutInjectors, 0x01},
    {0x02, CutInjectors, 0x02},
    {0x03, CutInjectors, 0x04},
    {0x04, CutInjectors, 0x08},
    {0x05, CutCoils, 0x01},
    {0x06, CutCoils, 0x02},
    {0x07, CutCoils, 0x04},
    {0x08, CutCoils, 0x08},
    {0x09, FuelPump},
    {0x0A, Fan},
    {0x0B, AcClutch},
    {0x0C, Lamp},
    {0x0D, Fan},
    {0x0E, Silent},
    {0x10, Silent},
    {0x41, IdleStep},
    {0x42, IdleSpeed},
    {0x61, Silent},
}};

// M7.2: four injectors, two double-spark coils; 0D is the CO adjustment mode (no item).
constexpr std::array<OutputRow, 13> kM72{{
    {0x01, CutInjectors, 0x01},
    {0x02, CutInjectors, 0x02},
    {0x03, CutInjectors, 0x04},
    {0x04, CutInjectors, 0x08},
    {0x05, CutCoils, 0x09},
    {0x06, CutCoils, 0x06},
    {0x09, FuelPump},
    {0x0A, Fan},
    {0x0B, AcClutch},
    {0x0C, Lamp},
    {0x0D, Silent},
    {0x41, IdleStep},
    {0x42, IdleSpeed},
}};

// M7.0 through 30: 70 desired idle speed (control parameter 10), 31 oxygen sensor test value.
constexpr std::array<OutputRow, 2> kM70{{{0x70, IdleSpeed}, {0x31, Silent}}};

// M7.0 test routine 10, by its first parameter.
constexpr std::array<OutputRow, 10> kM70Routines{{
    {0x17, CutInjectors, 0x01},
    {0x34, CutInjectors, 0x02},
    {0x35, CutInjectors, 0x04},
    {0x16, CutInjectors, 0x08},
    {0x01, CutCoils, 0x09},
    {0x21, CutCoils, 0x06},
    {0x03, FuelPump},
    {0x46, Fan},
    {0x06, Fan},
    {0x23, AcClutch},
}};

}  // namespace

std::span<const OutputRow> m154_outputs() { return kM154; }
std::span<const OutputRow> m797_outputs() { return kM797; }
std::span<const OutputRow> m72_outputs() { return kM72; }
std::span<const OutputRow> m70_outputs() { return kM70; }
std::span<const OutputRow> m70_routines() { return kM70Routines; }

}  // namespace ecusim
