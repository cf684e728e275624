// GM ISFI model: the 64-byte mode 1 block, code clearing and tester control.
#include "ecusim/gm_isfi_ecu.h"

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

constexpr std::size_t kLastByte = 66;  // data A[3] .. A[66]
constexpr std::uint16_t kPromId = 6050;

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
  kLamp = 0x01,
  kFuelPump = 0x02,
  kEgr1 = 0x04,
  kEgr2 = 0x08,
  kEgr3 = 0x10,
  kFan = 0x20,
  kAcClutch = 0x40,
};
// d5 modes.
enum Mode5 : std::uint8_t { kOpenLoop = 0x02, kSevereKnock = 0x04, kCoAdjust = 0x10, kSaAdjust = 0x20 };

// What d7 sets, chosen by d6 (and d9 where given).
enum class Target { Iac, Spark, IdleSpeed, Injectors };
struct Selector {
  std::uint8_t d6;
  int d9;  // -1: any
  Target target;
};
constexpr std::array<Selector, 4> kSelectors{{
    {0x03, -1, Target::Iac},
    {0x1B, 0x38, Target::Spark},
    {0x19, -1, Target::IdleSpeed},
    {0x59, -1, Target::Injectors},
}};

int bit_count(std::uint8_t b) {
  int n = 0;
  for (; b; b &= static_cast<std::uint8_t>(b - 1)) ++n;
  return n;
}

}  // namespace

GmIsfiEcu::GmIsfiEcu() {
  on(0x01, [this](const Bytes &d, double t) { return read_block(d, t); });
  on(0x0A, [this](const Bytes &d, double) -> std::optional<Bytes> {
    if (!d.empty()) return std::nullopt;
    current_.assign(6, 0);
    stored_.assign(6, 0);
    cleared_ = true;
    return build_aldl(0x0A, {});
  });
  on(0x04, [this](const Bytes &d, double) -> std::optional<Bytes> {
    if (d.size() != 10) return std::nullopt;
    control(d);
    return build_aldl(0x04, {});
  });
}

std::optional<Bytes> GmIsfiEcu::read_block(const Bytes &data, double now_ms) {
  if (data.size() != 1 || data[0] != 0x00) return std::nullopt;  // only message 0
  return gm::block_answer(block(now_ms));
}

void GmIsfiEcu::control(const Bytes &d) {
  Control c;
  c.active = std::any_of(d.begin(), d.end(), [](std::uint8_t b) { return b != 0; });
  c.mask = d[0];
  c.state = d[1];
  if (d[2] == 0x01) c.purge = d[3];
  c.modes = d[4];
  for (const auto &s : kSelectors) {
    if (s.d6 != d[5] || (s.d9 >= 0 && s.d9 != d[8])) continue;
    switch (s.target) {
      case Target::Iac: c.iac = d[6]; break;
      case Target::Spark: c.spark_deg = d[6]; break;
      case Target::IdleSpeed: c.idle_step = d[6]; break;
      case Target::Injectors: c.injector_cut = static_cast<std::uint8_t>(d[9] & 0x0F); break;
    }
  }
  control_ = c;
}

Bytes GmIsfiEcu::block(double now_ms) const {
  EngineState e = engine_at(now_ms);
  const double s = run_seconds(now_ms);
  const Control &c = control_;
  auto forced = [&](std::uint8_t out, bool otherwise) { return (c.mask & out) ? (c.state & out) != 0 : otherwise; };

  // Tester control acts on the running engine.
  const double wobble = e.rpm - e.target_rpm;
  if (c.idle_step) e.target_rpm = *c.idle_step * 12.5;
  if (c.iac) e.iac_steps = *c.iac;
  e.rpm = e.target_rpm + wobble + (c.iac ? (*c.iac - e.iac_desired) * 5.0 : 0.0);
  e.rpm = std::max(0.0, e.rpm - 90.0 * bit_count(c.injector_cut));
  double knock_retard = 0;
  if (c.spark_deg) e.advance_deg = *c.spark_deg;
  if (c.modes & kSevereKnock) {
    knock_retard = 10.0;
    e.advance_deg -= knock_retard;
  }
  const bool closed_loop = e.lambda_control && !(c.modes & kOpenLoop);
  if (!closed_loop) e.rich = false;
  const bool any_current = std::any_of(current_.begin(), current_.end(), [](auto b) { return b != 0; });
  const bool lamp = forced(kLamp, any_current);
  const bool pump = forced(kFuelPump, e.fuel_pump);
  const bool fan = forced(kFan, e.fan);
  const bool ac = forced(kAcClutch, e.ac_clutch);
  const double purge = c.purge ? *c.purge : (e.canister_purge ? 64.0 : 0.0);
  const double start_coolant = idle_fixed() ? 90.0 : 20.0;
  const double map_kpa = 33.0 * e.rpm / std::max(1.0, e.target_rpm);
  const double air_gs = e.air_flow_kgh / 3.6;
  auto cur = [&](int k) { return current_[static_cast<std::size_t>(k - 5)]; };

  Bytes a(kLastByte + 1, 0);
  gm::put_word(a, 3, kPromId);
  for (std::size_t i = 0; i < 6; ++i) {
    a[5 + i] = current_[i];
    a[12 + i] = static_cast<std::uint8_t>(stored_[i] | current_[i]);  // a current code is stored too
  }
  a[19] = byte_up((e.coolant_c + 40.0) / 0.75);
  a[20] = byte_up((30.0 + 40.0) / 0.75);  // intake air
  a[21] = byte_up((start_coolant + 40.0) / 0.75);
  a[22] = byte_of(e.adc_throttle_v * 51.0);
  a[23] = byte_up(e.throttle_pct * 2.55);
  a[24] = byte_of(e.target_rpm / 12.5);
  gm::put_word(a, 25, word_of(e.rpm > 0 ? 3932100.0 / e.rpm : 65535.0));
  a[27] = byte_of(e.speed_kmh);
  a[28] = byte_of(e.o2_v * 1000.0 / 4.5);
  a[29] = idle_fixed() ? 32 : static_cast<std::uint8_t>(static_cast<long>(s / 0.6) & 0xFF);
  a[30] = byte_of(128.0 + (e.lambda_factor - 1.0) * 128.0);
  a[31] = 128;
  a[32] = 16;
  a[33] = byte_of(e.iac_steps);
  a[34] = byte_of(e.iac_desired);
  a[35] = byte_of(purge);
  a[36] = byte_of(knock_retard);
  a[37] = (c.modes & kSevereKnock) ? 12 : 0;
  a[38] = byte_of(e.battery_v * 10.0);
  gm::put_word(a, 39, word_of(std::max(0.0, e.advance_deg) * 256.0 / 90.0));
  gm::put_word(a, 41, word_of(e.injection_ms * 65.4));
  gm::put_word(a, 43, word_of(1638.4 / e.air_fuel_ratio));
  gm::put_word(a, 45, word_of(s));
  gm::put_word(a, 47, word_of(air_gs * 256.0));
  gm::put_word(a, 49, word_up(map_kpa * 256.0));
  a[51] = byte_of(18.0 * e.rpm / std::max(1.0, e.target_rpm));
  a[52] = 99;  // barometric pressure, kPa

  const std::array<bool, 58> flags{
      pump,
      e.rpm > 0,
      closed_loop,
      lamp,
      e.o2_warm,
      e.rich,
      fan,
      e.idling,
      false,
      e.overrun_cutoff,
      e.enrichment,
      ac,
      ac,
      forced(kEgr1, false),
      forced(kEgr2, false),
      closed_loop,
      forced(kEgr3, false),
      purge > 0,
      false,
      false,
      false,
      c.active,
      (c.injector_cut & 0x01) != 0,
      (c.injector_cut & 0x08) != 0,
      (c.injector_cut & 0x02) != 0,
      (c.injector_cut & 0x04) != 0,
      c.spark_deg.has_value(),
      c.idle_step.has_value(),
      c.iac.has_value(),
      c.purge.has_value(),
      (c.modes & kSevereKnock) != 0,
      false,
      (cur(5) & 0x06) != 0,
      (cur(5) & 0x18) != 0,
      (cur(5) & 0x01) || (cur(6) & 0x80) || (cur(7) & 0x01),
      (cur(6) & 0x06) != 0,
      pump,
      true,
      e.rich,
      e.engine_warm,
      start_coolant < 40.0,
      !e.engine_warm,
      false,
      c.iac.has_value(),
      (cur(5) & 0x40) != 0,
      (cur(6) & 0x40) != 0,
      (cur(6) & 0x20) || (cur(8) & 0x02),
      (cur(9) & 0x0F) != 0,
      (cur(7) & 0x06) != 0,
      false,
      (cur(7) & 0x08) != 0,
      false,
      false,
      (c.modes & (kCoAdjust | kSaAdjust)) != 0,
      std::any_of(a.begin() + 12, a.begin() + 18, [](auto b) { return b != 0; }),
      any_current,
      false,
      cleared_,
  };
  gm::put_flags(a, kFlags, flags);
  return a;
}

bool GmIsfiEcu::set_option(std::string_view key, std::string_view value, std::string &error) {
  static const CodeOptions options{gm_isfi_code_map(),
                                   "faults: six hex bytes (code bytes 5..10), e.g. \"02 00 00 00 00 00\"",
                                   "dtc: GM ISFI code numbers, comma-separated, e.g. \"14,33\" (see gm_layout.md)"};
  return set_code_option(options, current_, stored_, key, value, error);
}

}  // namespace ecusim
