// GM ISFI model: the 64-byte mode 1 block, code clearing and tester control.
#include "ecusim/gm_ecu.h"

#include "gm_encode.h"
#include "gm_model.h"

#include <array>
#include <cmath>

namespace ecusim {
namespace {

using namespace gm;

// Status item n (1..58) -> its bit, as the plug-in's work-flag list reads them.
constexpr std::array<FlagBit, 58> kFlags{{
    {53, 0}, {53, 2}, {53, 3}, {53, 4}, {54, 0}, {54, 4}, {54, 5}, {55, 0}, {55, 2}, {56, 0}, {56, 2}, {56, 3},
    {56, 4}, {56, 5}, {56, 6}, {57, 0}, {57, 1}, {57, 2}, {57, 3}, {57, 5}, {57, 6}, {57, 7}, {58, 0}, {58, 1},
    {58, 2}, {58, 3}, {58, 4}, {58, 5}, {58, 6}, {58, 7}, {59, 0}, {59, 1}, {60, 0}, {60, 1}, {60, 5}, {60, 6},
    {61, 3}, {61, 5}, {61, 6}, {61, 7}, {62, 0}, {62, 1}, {62, 2}, {62, 4}, {63, 0}, {63, 1}, {63, 2}, {63, 6},
    {63, 7}, {64, 2}, {64, 3}, {64, 4}, {64, 5}, {64, 7}, {65, 0}, {65, 2}, {65, 6}, {65, 7},
}};

// Discrete outputs of d1 / d2.
enum Output : std::uint8_t {
  kFuelPump = 0x02,
  kEgr1 = 0x04,
  kEgr2 = 0x08,
  kEgr3 = 0x10,
  kFan = 0x20,
  kAcClutch = 0x40,
};
// d5 modes.
enum Mode5 : std::uint8_t { kOpenLoop = 0x02, kSevereKnock = 0x04, kCoAdjust = 0x10, kSaAdjust = 0x20 };

// d3 = 1 sets the purge from d4; otherwise d7 (or d10's low bits) set what d6 (and d9 where
// given) choose.
constexpr std::array<GmSelector, 5> kSelectors{{
    {2, 0x01, -1, 0, 3, 0xFF, GmTarget::Purge},
    {5, 0x03, -1, 0, 6, 0xFF, GmTarget::Iac},
    {5, 0x1B, 8, 0x38, 6, 0xFF, GmTarget::Spark},
    {5, 0x19, -1, 0, 6, 0xFF, GmTarget::IdleStep},
    {5, 0x59, -1, 0, 9, 0x0F, GmTarget::Injectors},
}};

int bit_count(std::uint8_t b) {
  int n = 0;
  for (; b; b &= static_cast<std::uint8_t>(b - 1)) ++n;
  return n;
}

double knock_retard(const GmControl &c) { return (c.modes & kSevereKnock) ? 10.0 : 0.0; }

// Tester control acts on the running engine.
void act(GmBlock &b) {
  EngineState &e = b.e;
  const GmControl &c = b.c;
  const auto iac = c[GmTarget::Iac], idle_step = c[GmTarget::IdleStep], spark = c[GmTarget::Spark];
  const double wobble = e.rpm - e.target_rpm;
  if (idle_step) e.target_rpm = *idle_step * 12.5;
  if (iac) e.iac_steps = *iac;
  e.rpm = e.target_rpm + wobble + (iac ? (*iac - e.iac_desired) * 5.0 : 0.0);
  e.rpm = std::max(0.0, e.rpm - 90.0 * bit_count(c[GmTarget::Injectors].value_or(0)));
  if (spark) e.advance_deg = *spark;
  e.advance_deg -= knock_retard(c);
  b.closed_loop = e.lambda_control && !(c.modes & kOpenLoop);
  b.pump = b.forced(kFuelPump, e.fuel_pump);
}

void fill(Bytes &a, const GmBlock &b) {
  const EngineState &e = b.e;
  const GmControl &c = b.c;
  const double air_gs = e.air_flow_kgh / 3.6;
  const std::uint8_t injector_cut = c[GmTarget::Injectors].value_or(0);

  for (std::size_t i = 0; i < b.stored.size(); ++i)
    a[12 + i] = static_cast<std::uint8_t>(b.stored[i] | b.current[i]);  // a current code is stored too
  a[19] = byte_up((e.coolant_c + 40.0) / 0.75);
  a[20] = byte_up((30.0 + 40.0) / 0.75);  // intake air
  a[21] = byte_up((b.start_coolant + 40.0) / 0.75);
  a[22] = byte_of(e.adc_throttle_v * 51.0);
  a[23] = byte_up(e.throttle_pct * 2.55);
  a[24] = byte_of(e.target_rpm / 12.5);
  gm::put_word(a, 25, word_of(e.rpm > 0 ? 3932100.0 / e.rpm : 65535.0));
  a[27] = byte_of(e.speed_kmh);
  a[28] = byte_of(e.o2_v * 1000.0 / 4.5);
  a[29] = b.idle_fixed ? 32 : static_cast<std::uint8_t>(static_cast<long>(b.s / 0.6) & 0xFF);
  a[30] = byte_of(128.0 + (e.lambda_factor - 1.0) * 128.0);
  a[31] = 128;
  a[32] = 16;
  a[33] = byte_of(e.iac_steps);
  a[34] = byte_of(e.iac_desired);
  a[35] = byte_of(b.purge);
  a[36] = byte_of(knock_retard(c));
  a[37] = (c.modes & kSevereKnock) ? 12 : 0;
  a[38] = byte_of(e.battery_v * 10.0);
  gm::put_word(a, 39, word_of(std::max(0.0, e.advance_deg) * 256.0 / 90.0));
  gm::put_word(a, 41, word_of(e.injection_ms * 65.4));
  gm::put_word(a, 43, word_of(1638.4 / e.air_fuel_ratio));
  gm::put_word(a, 45, word_of(b.s));
  gm::put_word(a, 47, word_of(air_gs * 256.0));
  gm::put_word(a, 49, word_up(b.map_kpa * 256.0));
  a[51] = byte_of(18.0 * e.rpm / std::max(1.0, e.target_rpm));
  a[52] = 99;  // barometric pressure, kPa

  const std::array<bool, 58> flags{
      b.pump,
      e.rpm > 0,
      b.closed_loop,
      b.lamp,
      e.o2_warm,
      e.rich,
      b.fan,
      e.idling,
      false,
      e.overrun_cutoff,
      e.enrichment,
      b.ac,
      b.ac,
      b.forced(kEgr1, false),
      b.forced(kEgr2, false),
      b.closed_loop,
      b.forced(kEgr3, false),
      b.purge > 0,
      false,
      false,
      false,
      c.active,
      (injector_cut & 0x01) != 0,
      (injector_cut & 0x08) != 0,
      (injector_cut & 0x02) != 0,
      (injector_cut & 0x04) != 0,
      c[GmTarget::Spark].has_value(),
      c[GmTarget::IdleStep].has_value(),
      c[GmTarget::Iac].has_value(),
      c[GmTarget::Purge].has_value(),
      (c.modes & kSevereKnock) != 0,
      false,
      (b.cur(5) & 0x06) != 0,
      (b.cur(5) & 0x18) != 0,
      (b.cur(5) & 0x01) || (b.cur(6) & 0x80) || (b.cur(7) & 0x01),
      (b.cur(6) & 0x06) != 0,
      b.pump,
      true,
      e.rich,
      e.engine_warm,
      b.start_coolant < 40.0,
      !e.engine_warm,
      false,
      c[GmTarget::Iac].has_value(),
      (b.cur(5) & 0x40) != 0,
      (b.cur(6) & 0x40) != 0,
      (b.cur(6) & 0x20) || (b.cur(8) & 0x02),
      (b.cur(9) & 0x0F) != 0,
      (b.cur(7) & 0x06) != 0,
      false,
      (b.cur(7) & 0x08) != 0,
      false,
      false,
      (c.modes & (kCoAdjust | kSaAdjust)) != 0,
      std::any_of(a.begin() + 12, a.begin() + 18, [](auto v) { return v != 0; }),
      b.any_current,
      false,
      b.cleared,
  };
  gm::put_flags(a, kFlags, flags);
}

constexpr GmModel kIsfi{{0x00, 66, 6050, kFan, kAcClutch, fill},
                        {0x0A, std::nullopt, 4, true, kSelectors, act},
                        {gm_isfi_code_map, true, "GM ISFI", "six"}};

}  // namespace

std::unique_ptr<AldlEcu> make_gm_isfi_ecu() { return make_gm_ecu(kIsfi); }

}  // namespace ecusim
