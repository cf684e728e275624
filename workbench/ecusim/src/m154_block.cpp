// Physical values to the bytes of the M1.5.4 family blocks (inverse of the plug-in's formulas).
#include "ecusim/m154_block.h"

#include <algorithm>
#include <cmath>

namespace ecusim {
namespace {

std::uint8_t byte_of(double x) { return static_cast<std::uint8_t>(std::clamp(std::lround(x), 0L, 255L)); }

void put_word(Bytes &b, double x) {
  long w = std::clamp(std::lround(x), 0L, 65535L);
  b.push_back(static_cast<std::uint8_t>(w & 0xFF));  // low byte first
  b.push_back(static_cast<std::uint8_t>(w >> 8));
}

// Signed byte of the family: b < 128 positive, b >= 128 stands for (b-128)*step - offset.
std::uint8_t signed_byte(double value, double step, double offset) {
  if (value >= 0) return byte_of(std::min(value / step, 127.0));
  return static_cast<std::uint8_t>(128 + std::min<long>(127, std::max(0L, std::lround((value + offset) / step))));
}

// Two-byte value hi*hi_step + lo*lo_step (M1.5.4N injection time and air flow).
void put_split(Bytes &b, double value, double hi_step, double lo_step) {
  double hi = std::clamp(std::floor(value / hi_step), 0.0, 255.0);
  b.push_back(byte_of((value - hi * hi_step) / lo_step));
  b.push_back(static_cast<std::uint8_t>(hi));
}

std::uint8_t flags(std::initializer_list<bool> bits) {
  std::uint8_t v = 0, mask = 1;
  for (bool bit : bits) {
    if (bit) v |= mask;
    mask = static_cast<std::uint8_t>(mask << 1);
  }
  return v;
}

}  // namespace

Bytes m154_data_block(const EngineState &e, const FaultBits &faults, M154Layout layout, Bytes into) {
  const bool any_fault = faults[0] | faults[1] | faults[2];
  Bytes b = std::move(into);
  b.clear();
  b.reserve(40);  // the longest block (M1.5.4N): at most one allocation, none with lent room
  b.insert(b.end(), {0x61, 0x01});
  b.push_back(0x00);  // D5, D6 operating mode
  b.push_back(0x00);
  b.push_back(flags({e.lambda_control, e.overrun_cutoff, e.fuel_pump, e.fan, e.ac_clutch, e.idling,
                     e.lamp_command.value_or(any_fault), e.canister_purge}));
  b.push_back(flags(
      {e.full_load, e.knock, e.o2_warm, e.engine_warm, e.immobiliser_released, e.enrichment, e.rich, e.adaptive_rich}));
  b.insert(b.end(), faults.begin(), faults.end());
  b.push_back(0x00);  // D12 reserved
  b.push_back(byte_of(e.coolant_c + 40.0));
  if (layout == M154Layout::Basic)
    b.push_back(signed_byte(e.co_correction, 0.0039, 0.5));
  else
    b.push_back(byte_of(e.air_fuel_ratio * 256.0 / 14.7 - 128.0));
  b.push_back(byte_of(e.throttle_pct));
  b.push_back(byte_of(e.rpm / 40.0));
  b.push_back(byte_of(e.rpm / 10.0));
  b.push_back(byte_of(e.iac_steps));
  b.push_back(byte_of(e.iac_desired));
  b.push_back(byte_of((e.lambda_factor - 0.5) / 0.0039));
  b.push_back(signed_byte(e.advance_deg, 0.5, 64.0));
  b.push_back(byte_of(e.speed_kmh));
  b.push_back(byte_of((e.battery_v - 5.2) * 20.0));
  b.push_back(byte_of(e.target_rpm / 10.0));
  if (layout == M154Layout::Basic) {
    put_word(b, e.injection_ms * 125.0);
    put_word(b, e.air_flow_kgh * 10.0);
  } else {
    b.push_back(byte_of(e.o2_v * 255.0 / 1.245));
    b.push_back(flags({e.o2_warm, e.o2_heater}));
    put_split(b, e.injection_ms, 2.05, 0.008);
    put_split(b, e.air_flow_kgh, 25.6, 0.1);
  }
  put_word(b, e.air_per_cycle_mg * 256.0 / 43.0);
  put_word(b, e.fuel_lh * 50.0);
  put_word(b, e.economy_l100km * 128.0);
  put_word(b, e.status_word);
  return b;
}

Bytes m154_converter_block(const EngineState &e) {
  Bytes b{0x61, 0x03};
  for (double v :
       {e.adc_coolant_v, e.adc_air_flow_v, e.adc_throttle_v, e.adc_battery_v, e.adc_o2_v, e.adc_co_v, e.adc_knock_v})
    b.push_back(byte_of(v * 256.0 / 5.0));
  return b;
}

}  // namespace ecusim
