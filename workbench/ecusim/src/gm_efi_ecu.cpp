// GM EFI model: the 65-byte mode 1 block and tester control (which also clears codes).
#include "ecusim/gm_ecu.h"

#include "gm_encode.h"
#include "gm_model.h"

#include <array>
#include <cmath>

namespace ecusim {
namespace {

using namespace gm;

// Status item n (1..31) -> its bit, as the plug-in's work-flag list reads them.
constexpr std::array<FlagBit, 31> kFlags{{
    {51, 6}, {40, 1}, {40, 4}, {40, 5}, {52, 0}, {52, 1}, {52, 5}, {52, 7}, {54, 3}, {55, 4}, {55, 5},
    {55, 6}, {56, 1}, {56, 4}, {56, 6}, {56, 7}, {57, 7}, {58, 0}, {60, 0}, {60, 2}, {60, 6}, {60, 7},
    {61, 4}, {61, 7}, {62, 0}, {62, 3}, {62, 7}, {63, 1}, {63, 5}, {64, 2}, {64, 4},
}};

// Discrete outputs of d1 / d2; the oxygen bit allows closed loop.
enum Output : std::uint8_t { kFan = 0x02, kOxygen = 0x08, kAcClutch = 0x10 };
// One-shot tests of d3 and the clear request.
enum Test : std::uint8_t {
  kFuelFeed1 = 0x01,
  kFuelFeed2 = 0x02,
  kFuelPump = 0x04,
  kIgnition = 0x08,
  kStepMotor = 0x20,
  kClearCodes = 0x40,
  kReserveFeed = 0x80,
};

// What a value of d6 / d8 / d9 / d10 sets, chosen by d5 and d7.
constexpr std::array<GmSelector, 6> kSelectors{{
    {4, 0x01, -1, 0, 5, 0xFF, GmTarget::Purge},
    {6, 0x01, -1, 0, 7, 0xFF, GmTarget::Adjuster},
    {6, 0x02, -1, 0, 7, 0xFF, GmTarget::IdleStep},
    {6, 0x04, -1, 0, 8, 0xFF, GmTarget::Blend},
    {6, 0x08, -1, 0, 9, 0xFF, GmTarget::Advance},
    {6, 0x20, -1, 0, 9, 0xFF, GmTarget::Octane},
}};

void act(GmBlock &b) {
  EngineState &e = b.e;
  const auto idle_step = b.c[GmTarget::IdleStep];
  const double wobble = e.rpm - e.target_rpm;
  e.target_rpm = idle_step ? *idle_step * 25.0 : std::round(e.target_rpm / 25.0) * 25.0;
  e.rpm = e.target_rpm + wobble;
  if (b.tests & kFuelFeed1) e.rpm -= 150.0;
  if (b.tests & kFuelFeed2) e.rpm -= 150.0;
  if (b.tests & kIgnition) e.rpm -= 300.0;
  e.rpm = std::max(0.0, e.rpm);
  if (b.tests & kStepMotor) e.iac_steps = 0;
  b.closed_loop = b.forced(kOxygen, e.lambda_control) && e.lambda_control;
  b.pump = e.fuel_pump && !(b.tests & kFuelPump);
}

void fill(Bytes &a, const GmBlock &b) {
  const EngineState &e = b.e;
  const GmControl &c = b.c;
  const double injector_permille = e.injection_ms / (120000.0 / std::max(1.0, e.rpm)) * 1000.0;
  const auto advance = c[GmTarget::Advance], octane = c[GmTarget::Octane], blend = c[GmTarget::Blend];
  const auto adjuster = c[GmTarget::Adjuster];

  a[8] = byte_up((e.coolant_c + 40.0) / 0.75);
  a[9] = byte_up((30.0 + 40.0) / 0.75);
  a[10] = byte_of(e.adc_throttle_v * 256.0 / 5.0);
  a[11] = byte_up(e.throttle_pct * 2.56);
  a[12] = byte_of(e.rpm / 25.0);
  gm::put_word(a, 13, word_up(180.0 * e.rpm / std::max(1.0, e.target_rpm) * 65.535));
  a[15] = byte_of(e.speed_kmh / 1.6);
  a[17] = byte_up(e.o2_v * 1000.0 / 4.43);
  a[18] = b.idle_fixed ? 32 : static_cast<std::uint8_t>(static_cast<long>(b.s / 0.6) & 0xFF);
  a[19] = byte_of(e.lambda_factor * 128.0);
  a[20] = 128;
  a[21] = 16;
  a[22] = byte_up((62.0 - 50.0) * 2.56);
  a[23] = byte_of(e.iac_steps);
  a[24] = byte_of(e.iac_desired);
  a[25] = byte_of(e.target_rpm / 25.0);
  a[26] = byte_of(b.purge);
  a[27] = byte_up((b.map_kpa - 10.4) * 256.0 / 90.0);
  a[28] = byte_of((0.4 + b.map_kpa * 0.0182) * 256.0 / 5.0);
  a[29] = byte_up((99.0 - 10.4) * 256.0 / 90.0);
  a[30] = a[29];
  a[31] = byte_up((b.start_coolant + 40.0) / 0.75);
  a[32] = byte_of(e.adc_coolant_v * 256.0 / 5.0);
  a[33] = byte_of(e.battery_v * 10.0);
  a[34] = advance ? *advance : byte_of((66.0 - e.advance_deg) * 256.0 / 90.0);
  gm::put_word(a, 37, word_up(e.iac_steps * 10.0 * 65.535));
  a[39] = byte_of(e.injection_ms * 10.0);
  gm::put_word(a, 41, word_of(b.s));
  a[43] = octane ? *octane : 128;
  a[44] = blend ? *blend : 0;
  gm::put_word(a, 45, word_up(injector_permille * 65.535));
  gm::put_word(a, 47, word_up(b.purge * 100.0 / 256.0 * 10.0 * 65.535));
  a[49] = byte_of(e.adc_throttle_v * 256.0 / 5.0);
  a[50] = adjuster ? *adjuster : 0;
  a[66] = 0;  // octane correction, degrees * 256 / 90
  a[67] = c.active ? static_cast<std::uint8_t>(c.mask | c.tests) : 0;

  const std::array<bool, 31> flags{
      b.lamp,
      b.fan,
      b.ac,
      b.closed_loop,
      b.pump,
      e.rpm > 0,
      e.idling,
      e.enrichment,
      e.overrun_cutoff,
      b.purge > 0,
      false,
      e.rich,
      b.closed_loop,
      c.active,
      (b.tests & (kFuelFeed1 | kFuelFeed2)) != 0,
      (b.tests & kIgnition) != 0,
      (b.tests & kReserveFeed) != 0,
      (b.tests & kStepMotor) != 0,
      (b.cur(5) & 0x06) != 0,
      (b.cur(6) & 0x03) != 0,
      (b.cur(5) & 0x01) || (b.cur(6) & 0x60),
      (b.cur(5) & 0x18) != 0,
      (b.cur(6) & 0x10) != 0,
      (b.cur(5) & 0x40) != 0,
      b.start_coolant < 40.0,
      !e.engine_warm,
      false,
      false,
      false,
      false,
      (b.cur(7) & 0x02) != 0,
  };
  gm::put_flags(a, kFlags, flags);
}

constexpr GmModel kEfi{{std::nullopt, 67, 3102, kFan, kAcClutch, fill},
                       {std::nullopt, GmTests{2, kClearCodes, 5000.0}, std::nullopt, false, kSelectors, act},
                       {gm_efi_code_map, false, "GM EFI", "three"}};

}  // namespace

std::unique_ptr<AldlEcu> make_gm_efi_ecu() { return make_gm_ecu(kEfi); }

}  // namespace ecusim
