// GM EFI model: the 65-byte mode 1 block and tester control (which also clears codes).
#include "ecusim/gm_efi_ecu.h"

#include "ecusim/gm_codes.h"
#include "gm_encode.h"

#include <array>
#include <cmath>

namespace ecusim {
namespace {

using gm::byte_of;
using gm::byte_up;
using gm::FlagBit;
using gm::word_of;
using gm::word_up;

constexpr std::size_t kLastByte = 67;  // data A[3] .. A[67]
constexpr std::uint16_t kPromId = 3102;

// Status item n (1..31) -> its bit, as the plug-in's work-flag list reads them.
constexpr std::array<FlagBit, 31> kFlags{{
    {51, 6}, {40, 1}, {40, 4}, {40, 5}, {52, 0}, {52, 1}, {52, 5}, {52, 7}, {54, 3}, {55, 4}, {55, 5},
    {55, 6}, {56, 1}, {56, 4}, {56, 6}, {56, 7}, {57, 7}, {58, 0}, {60, 0}, {60, 2}, {60, 6}, {60, 7},
    {61, 4}, {61, 7}, {62, 0}, {62, 3}, {62, 7}, {63, 1}, {63, 5}, {64, 2}, {64, 4},
}};

// Discrete outputs of d1 / d2; the oxygen bit allows closed loop.
enum Output : std::uint8_t { kLamp = 0x01, kFan = 0x02, kOxygen = 0x08, kAcClutch = 0x10 };
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
enum class Target { Purge, Adjuster, IdleSpeed, Blend, Advance, Octane };
struct Selector {
  std::uint8_t index;   // data byte that selects (4 = d5, 6 = d7)
  std::uint8_t value;   // selector value
  std::uint8_t source;  // data byte that carries the value (0-based)
  Target target;
};
constexpr std::array<Selector, 6> kSelectors{{
    {4, 0x01, 5, Target::Purge},
    {6, 0x01, 7, Target::Adjuster},
    {6, 0x02, 7, Target::IdleSpeed},
    {6, 0x04, 8, Target::Blend},
    {6, 0x08, 9, Target::Advance},
    {6, 0x20, 9, Target::Octane},
}};

}  // namespace

GmEfiEcu::GmEfiEcu() {
  on(0x01, [this](const Bytes &d, double t) -> std::optional<Bytes> {
    if (!d.empty()) return std::nullopt;
    return gm::block_answer(block(t));
  });
  on(0x04, [this](const Bytes &d, double t) -> std::optional<Bytes> {
    if (d.size() != 10) return std::nullopt;
    control(d, t);
    return build_aldl(0x04, {});
  });
}

void GmEfiEcu::control(const Bytes &d, double now_ms) {
  if (d[2] & kClearCodes) codes_.assign(3, 0);
  Control c;
  c.mask = d[0];
  c.state = d[1];
  c.tests = static_cast<std::uint8_t>(d[2] & ~kClearCodes);
  c.tests_until_ms = now_ms + kTestMs;
  for (const auto &s : kSelectors) {
    if (d[s.index] != s.value) continue;
    const std::uint8_t v = d[s.source];
    switch (s.target) {
      case Target::Purge: c.purge = v; break;
      case Target::Adjuster: c.adjuster = v; break;
      case Target::IdleSpeed: c.idle_step = v; break;
      case Target::Blend: c.blend = v; break;
      case Target::Advance: c.advance_byte = v; break;
      case Target::Octane: c.octane = v; break;
    }
  }
  c.active = c.mask || c.tests || c.purge || c.adjuster || c.idle_step || c.blend || c.advance_byte || c.octane;
  control_ = c;
}

Bytes GmEfiEcu::block(double now_ms) const {
  EngineState e = engine_at(now_ms);
  const double s = run_seconds(now_ms);
  const Control &c = control_;
  auto forced = [&](std::uint8_t out, bool otherwise) { return (c.mask & out) ? (c.state & out) != 0 : otherwise; };
  const std::uint8_t tests = now_ms < c.tests_until_ms ? c.tests : 0;

  const double wobble = e.rpm - e.target_rpm;
  double target = c.idle_step ? *c.idle_step * 25.0 : std::round(e.target_rpm / 25.0) * 25.0;
  e.rpm = target + wobble;
  if (tests & kFuelFeed1) e.rpm -= 150.0;
  if (tests & kFuelFeed2) e.rpm -= 150.0;
  if (tests & kIgnition) e.rpm -= 300.0;
  e.rpm = std::max(0.0, e.rpm);
  if (tests & kStepMotor) e.iac_steps = 0;
  const bool closed_loop = forced(kOxygen, e.lambda_control) && e.lambda_control;
  if (!closed_loop) e.rich = false;
  const bool any_code = std::any_of(codes_.begin(), codes_.end(), [](auto b) { return b != 0; });
  const bool lamp = forced(kLamp, any_code);
  const bool fan = forced(kFan, e.fan);
  const bool ac = forced(kAcClutch, e.ac_clutch);
  const bool pump = e.fuel_pump && !(tests & kFuelPump);
  const double purge = c.purge ? *c.purge : (e.canister_purge ? 64.0 : 0.0);
  const double start_coolant = idle_fixed() ? 90.0 : 20.0;
  const double map_kpa = 33.0 * e.rpm / std::max(1.0, target);
  const double injector_permille = e.injection_ms / (120000.0 / std::max(1.0, e.rpm)) * 1000.0;
  auto cur = [&](int k) { return codes_[static_cast<std::size_t>(k - 5)]; };

  Bytes a(kLastByte + 1, 0);
  gm::put_word(a, 3, kPromId);
  for (std::size_t i = 0; i < 3; ++i) a[5 + i] = codes_[i];
  a[8] = byte_up((e.coolant_c + 40.0) / 0.75);
  a[9] = byte_up((30.0 + 40.0) / 0.75);
  a[10] = byte_of(e.adc_throttle_v * 256.0 / 5.0);
  a[11] = byte_up(e.throttle_pct * 2.56);
  a[12] = byte_of(e.rpm / 25.0);
  gm::put_word(a, 13, word_up(180.0 * e.rpm / std::max(1.0, target) * 65.535));
  a[15] = byte_of(e.speed_kmh / 1.6);
  a[17] = byte_up(e.o2_v * 1000.0 / 4.43);
  a[18] = idle_fixed() ? 32 : static_cast<std::uint8_t>(static_cast<long>(s / 0.6) & 0xFF);
  a[19] = byte_of(e.lambda_factor * 128.0);
  a[20] = 128;
  a[21] = 16;
  a[22] = byte_up((62.0 - 50.0) * 2.56);
  a[23] = byte_of(e.iac_steps);
  a[24] = byte_of(e.iac_desired);
  a[25] = byte_of(target / 25.0);
  a[26] = byte_of(purge);
  a[27] = byte_up((map_kpa - 10.4) * 256.0 / 90.0);
  a[28] = byte_of((0.4 + map_kpa * 0.0182) * 256.0 / 5.0);
  a[29] = byte_up((99.0 - 10.4) * 256.0 / 90.0);
  a[30] = a[29];
  a[31] = byte_up((start_coolant + 40.0) / 0.75);
  a[32] = byte_of(e.adc_coolant_v * 256.0 / 5.0);
  a[33] = byte_of(e.battery_v * 10.0);
  a[34] = c.advance_byte ? *c.advance_byte : byte_of((66.0 - e.advance_deg) * 256.0 / 90.0);
  gm::put_word(a, 37, word_up(e.iac_steps * 10.0 * 65.535));
  a[39] = byte_of(e.injection_ms * 10.0);
  gm::put_word(a, 41, word_of(s));
  a[43] = c.octane ? *c.octane : 128;
  a[44] = c.blend ? *c.blend : 0;
  gm::put_word(a, 45, word_up(injector_permille * 65.535));
  gm::put_word(a, 47, word_up(purge * 100.0 / 256.0 * 10.0 * 65.535));
  a[49] = byte_of(e.adc_throttle_v * 256.0 / 5.0);
  a[50] = c.adjuster ? *c.adjuster : 0;
  a[66] = 0;  // octane correction, degrees * 256 / 90
  a[67] = c.active ? static_cast<std::uint8_t>(c.mask | c.tests) : 0;

  const std::array<bool, 31> flags{
      lamp,
      fan,
      ac,
      closed_loop,
      pump,
      e.rpm > 0,
      e.idling,
      e.enrichment,
      e.overrun_cutoff,
      purge > 0,
      false,
      e.rich,
      closed_loop,
      c.active,
      (tests & (kFuelFeed1 | kFuelFeed2)) != 0,
      (tests & kIgnition) != 0,
      (tests & kReserveFeed) != 0,
      (tests & kStepMotor) != 0,
      (cur(5) & 0x06) != 0,
      (cur(6) & 0x03) != 0,
      (cur(5) & 0x01) || (cur(6) & 0x60),
      (cur(5) & 0x18) != 0,
      (cur(6) & 0x10) != 0,
      (cur(5) & 0x40) != 0,
      start_coolant < 40.0,
      !e.engine_warm,
      false,
      false,
      false,
      false,
      (cur(7) & 0x02) != 0,
  };
  gm::put_flags(a, kFlags, flags);
  return a;
}

bool GmEfiEcu::set_option(std::string_view key, std::string_view value, std::string &error) {
  static const CodeOptions options{gm_efi_code_map(), "faults: three hex bytes (code bytes 5..7), e.g. \"02 00 00\"",
                                   "dtc: GM EFI code numbers, comma-separated, e.g. \"14,33\" (see gm_layout.md)"};
  return set_code_option(options, codes_, codes_, key, value, error);
}

}  // namespace ecusim
