// Actuator catalogue of the Bosch M1.5.4 family (ECU 0x10): the eleven tests
// and the two lists that share them; the lists differ only at index 9, where
// the M1.5.4 menu runs the interactive CO adjustment.
#include "actuators/act_catalogue.h"

namespace {

using namespace vaz::act;
constexpr u32 kCaution = 0xFE551022;
constexpr u32 kListMenu = VAZ_MENU_ACT_M154;

}  // namespace

// clang-format off
#define M154_TESTS(X) \
  X(ACT_BOSCH_M154_ENG_INJECTORS, kwp_switch(kCaution, frame(0x84, 0x10, 0xF1, 0x30, 0x01, 0x06, 0x01), frame(0x84, 0x10, 0xF1, 0x30, 0x01, 0x06, 0x00))) \
  X(ACT_BOSCH_M154_ENG_IGNITION1, kwp_switch(kCaution, frame(0x84, 0x10, 0xF1, 0x30, 0x05, 0x06, 0x01), frame(0x84, 0x10, 0xF1, 0x30, 0x05, 0x06, 0x00))) \
  X(ACT_BOSCH_M154_ENG_IGNITION2, kwp_switch(kCaution, frame(0x84, 0x10, 0xF1, 0x30, 0x06, 0x06, 0x01), frame(0x84, 0x10, 0xF1, 0x30, 0x06, 0x06, 0x00))) \
  X(ACT_BOSCH_M154_ENG_FUELPUMP,  kwp_switch(kWarnDrive,  frame(0x84, 0x10, 0xF1, 0x30, 0x09, 0x06, 0x01), frame(0x84, 0x10, 0xF1, 0x30, 0x09, 0x06, 0x00))) \
  X(ACT_BOSCH_M154_ENG_COOLING,   kwp_switch(kNoText,  frame(0x84, 0x10, 0xF1, 0x30, 0x0A, 0x06, 0x01), frame(0x84, 0x10, 0xF1, 0x30, 0x0A, 0x06, 0x00))) \
  X(ACT_BOSCH_M154_ENG_AC,        kwp_switch(kNoText,  frame(0x84, 0x10, 0xF1, 0x30, 0x0B, 0x06, 0x01), frame(0x84, 0x10, 0xF1, 0x30, 0x0B, 0x06, 0x00))) \
  X(ACT_BOSCH_M154_ENG_LAMP,      kwp_switch(kNoText,  frame(0x84, 0x10, 0xF1, 0x30, 0x0C, 0x06, 0x01), frame(0x84, 0x10, 0xF1, 0x30, 0x0C, 0x06, 0x00))) \
  X(ACT_BOSCH_M154_ENG_IDLE_STEP, kwp_value(kNoText, frame(0x84, 0x10, 0xF1, 0x30, 0x41, 0x07, 0x00), Conversion::Same)) \
  X(ACT_BOSCH_M154_ENG_IDLE_SPEED, kwp_value(kNoText, frame(0x84, 0x10, 0xF1, 0x30, 0x42, 0x07, 0x00), Conversion::Div10)) \
  X(ACT_BOSCH_M154_ENG_CO,        kwp_value(kNoText, frame(0x84, 0x10, 0xF1, 0x30, 0x61, 0x08, 0x00), Conversion::Div255)) \
  X(ACT_BOSCH_M154_ENG_DWELL,     kwp_value(kNoText, frame(0x84, 0x10, 0xF1, 0x30, 0x62, 0x08, 0x00), Conversion::Same))
// clang-format on

#define VAZ_ACT_TABLE kM154
VAZ_ACT_CATALOGUE(M154_TESTS, kM154Members)

namespace {

constexpr int kCoIndex = 9;

// The M1.5.4 list: the same members with the interactive CO adjustment at index 9.
constexpr auto kM154XMembers = [] {
  std::array<Routine, std::size(kM154Members)> m{};
  for (std::size_t i = 0; i < m.size(); ++i) m[i] = kM154Members[i];
  m[kCoIndex] = ACT_BOSCH_M154_ENG_CO_X;
  return m;
}();

}  // namespace

namespace vaz::act {
std::span<const Test> bosch_m154_tests() { return kM154; }
}  // namespace vaz::act

extern "C" {

VAZ_EXPORT int ACT_BOSCH_M154_ENG(void) { return run_list({kListMenu, kM154Members, true}); }
VAZ_EXPORT int ACT_BOSCH_M154_ENG_X(void) { return run_list({kListMenu, kM154XMembers, true}); }

}  // extern "C"
