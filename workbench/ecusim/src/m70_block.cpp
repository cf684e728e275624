// Physical values to the bytes of the M7.0 blocks (inverse of the plug-in's formulas).
#include "ecusim/m70_block.h"

#include "ecusim/block_encoding.h"
#include "ecusim/m7_extras.h"

#include <array>
#include <cmath>

namespace ecusim {
namespace {

using enc::byte_of;
using enc::flags;

constexpr double kAmbientPressureHpa = 1013.0;

// D5 and D12 .. D34: the items 1 .. 23 that E2 and E3 share.
void common_part(enc::DRecord &d, const M7BlockInput &in) {
  const EngineState &e = in.engine;
  d.set(5, static_cast<std::uint8_t>(operating_mode(e)));
  d.set(12, byte_of(e.o2_v * 256.0 / 5.0));
  d.set(13, byte_of(e.injection_ms * 20.0));
  d.set(14, byte_of(e.battery_v * 10.6));
  d.set(15, byte_of(e.coolant_c / 0.75 + 63.0));
  d.set(16, byte_of(144.0 - e.advance_deg / 0.75));
  d.set(17, byte_of(e.throttle_pct / 0.75));
  d.set(18, byte_of(load_pct(e) * 2.56));
  d.set(19, byte_of(e.air_per_cycle_mg * 0.8));
  d.set(20, byte_of(e.rpm / 40.0));
  d.be16(21, e.air_flow_kgh * 41.7);
  d.set(23, byte_of(e.iac_steps));
  d.set(24, byte_of(e.rpm / 10.0));
  d.set(27, byte_of(e.target_rpm / 10.0));
  d.set(28, byte_of(e.fuel_lh * 4.0));
  d.set(29, byte_of(e.economy_l100km * 4.0));
  d.set(30, byte_of(kAmbientPressureHpa / 4.431));
  d.set(31, byte_of(e.iac_desired));
  d.set(33, 0);  // misfires counted since the start
  d.set(34, byte_of((e.canister_purge ? 25.0 : 0.0) * 2.56));
}

// Split value D[hi] * 4/256 + D[lo] * 0.016/256 (multiplicative adaptation).
void put_fine_factor(enc::DRecord &d, std::size_t k, double value) {
  const double coarse = std::floor(value / 0.015625);
  d.set(k, byte_of(coarse));
  d.set(k + 1, byte_of((value - coarse * 0.015625) / 0.0000625));
}

}  // namespace

Bytes m70_e2_block(const M7BlockInput &in) {
  const EngineState &e = in.engine;
  enc::DRecord d(0x61, 0x01, 46);
  common_part(d, in);
  d.set(25, byte_of(e.speed_kmh));
  d.set(26, byte_of(e.rpm - e.target_rpm + 128.0));
  d.set(32, byte_of(e.lambda_factor * 64.0));
  d.set(37, flags({e.fuel_pump, e.fan, e.ac_clutch, in.lamp, false, e.canister_purge, false, e.o2_heater}));
  d.set(38, flags({false, false, false, false, false, false, e.lambda_control}));
  d.set(39, flags({e.overrun_cutoff}));
  d.set(42, flags({false, false, e.idling, false, false, e.engine_warm, e.enrichment}));
  return d.service();
}

Bytes m70_e3_block(const M7BlockInput &in) {
  const EngineState &e = in.engine;
  enc::DRecord d(0x61, 0x01, 87);
  common_part(d, in);
  d.set(25, byte_of(e.rpm - e.target_rpm + 128.0));
  d.set(26, byte_of(e.iac_steps - e.iac_desired + 128.0));
  d.set(31, byte_of(rear_o2_v(e) * 128.0));
  d.set(32, enc::signed_byte(e.lambda_factor - 1.0, 0.016, 2.032));
  d.set(33, byte_of(e.lambda_factor * 128.0));
  d.set(35, flags({e.lambda_control, e.idling, e.fuel_pump, false, e.overrun_cutoff, e.full_load, false, in.lamp}));
  d.set(36, flags({e.ac_clutch, e.canister_purge, e.o2_heater, e.o2_heater, e.fan, e.knock, e.ac_clutch}));
  // Bit 3 is the immobiliser's lock: the item "immobiliser released" shows NO when it is set.
  d.set(37, flags({e.o2_warm, e.o2_warm, e.engine_warm, !e.immobiliser_released, true, false, e.o2_warm, e.o2_warm}));
  d.set(38, byte_of(0.3 / 0.0045));
  d.set(39, byte_of((e.canister_purge ? 0.05 : 0.0) / 0.1 * 256.0));
  // Self-tests passed (set) or failed: the catalyst test fails while a fault is stored.
  d.set(40, flags({true, false, true, false, false, !in.lamp, true}));
  d.be16(44, desired_air_flow_kgh(e) * 10.0);
  d.be16(46, 1234.5 / 0.75);  // operating hours
  d.set(48, byte_of(intake_air_c(e) + 48.0));
  d.set(49, byte_of(kAmbientC + 48.0));
  d.set(50, byte_of(128.0 + (e.target_rpm - e.rpm) * 0.02 / 0.05));
  d.set(51, byte_of(e.injection_ms / e.lambda_factor / 0.05));
  d.set(52, 128);  // desired lambda 1.0
  d.set(53, byte_of(load_pct(e) / 0.48));
  d.set(54, byte_of(load_pct(e) * e.target_rpm / e.rpm / 0.48));
  d.be16(55, 1234);  // engine starts
  d.be16(57, std::min(in.seconds, 65535.0));
  for (std::size_t c = 0; c < 4; ++c) {
    d.set(59 + c, byte_of((200.0 + 10.0 * static_cast<double>(c)) / 2.441));  // knock sensor, mV
    d.set(63 + c, 144);                                                       // no knock retard
  }
  d.set(67, 128);  // additive adaptation (D67 - 128 + D68) * 0.004 ms
  d.set(68, 3);
  put_fine_factor(d, 69, 1.0234);
  d.set(71, byte_of(e.fuel_lh / 0.05));
  d.be16(72, 0.120 / 0.001);  // idle air correction, kg/h
  d.set(74, e.o2_warm ? flags({true, true, true, true}) : 0);
  d.set(75, byte_of(40.0 / 0.455));
  d.set(76, byte_of(30.0 / 0.455));
  d.set(77, 128);  // rear trim factor 1.0
  // D79, D80 rear trim offset 0.
  for (std::size_t c = 0; c < 3; ++c) d.set(81 + c, 128);  // running roughness 0.00
  d.set(84, 0);
  d.set(85, 50);  // misfire threshold 0.50
  d.set(87, flags({true, e.fan, true, e.immobiliser_released, true, e.speed_kmh > 0, false, true}));
  return d.service();
}

std::optional<std::uint8_t> m70_converter_cell(const EngineState &e, std::uint32_t address) {
  if (address < kM70ConverterBase || address >= kM70ConverterBase + 6) return std::nullopt;
  const std::array<double, 6> raw{e.adc_coolant_v * 256.0 / 5.0,  e.adc_air_flow_v * 256.0 / 5.0,
                                  e.adc_throttle_v * 256.0 / 5.0, e.battery_v * 256.0 / 24.31,
                                  e.o2_v * 256.0 / 1.15,          ntc_sensor_v(intake_air_c(e)) * 256.0 / 5.0};
  return byte_of(raw[address - kM70ConverterBase]);
}

}  // namespace ecusim
