// Physical values to the bytes of the M7.9.7 blocks (inverse of the plug-in's formulas).
// Most pairs are joined as hi * 255 + lo; the model never sends the sign bit of the
// signed pairs (its corrections are all positive).
#include "ecusim/m797_block.h"

#include "ecusim/block_encoding.h"
#include "ecusim/m7_extras.h"

#include <algorithm>

namespace ecusim {
namespace {

using enc::byte_of;
using enc::flags;

double temp_raw(double c) { return (c + 48.0) / 0.75; }
double o2_raw(double v) { return (v + 0.2) * 0.75 * 255.0; }

// D5 .. D69: items 1 .. 39 and the flag bytes D67 .. D69 that E2 and E3 share.
enc::DRecord shared_block(const M7BlockInput &in, std::size_t last) {
  const EngineState &e = in.engine;
  enc::DRecord d(0x61, 0x01, last);
  d.set(5, static_cast<std::uint8_t>(operating_mode(e)));
  d.set(6, byte_of(temp_raw(e.coolant_c)));
  d.set(7, byte_of(temp_raw(intake_air_c(e))));
  d.set(8, byte_of(temp_raw(kAmbientC)));
  d.set(9, byte_of(e.battery_v * 13.5));
  d.set(10, byte_of(e.speed_kmh / 1.25));
  d.set(11, byte_of(e.throttle_pct / 0.392));
  d.set(12, byte_of(e.rpm / 40.0));
  d.v255(13, e.rpm * 10.0);
  d.set(15, byte_of(e.advance_deg / 0.75));
  d.set(16, 0);  // no knock retard
  d.v255(17, e.air_flow_kgh / 0.0234);
  d.set(19, byte_of(load_pct(e) / 0.75));
  d.set(20, static_cast<std::uint8_t>((e.fan ? 1 : 0) << 6));
  d.v255(21, e.air_per_cycle_mg * 75.0);
  d.set(23, byte_of(e.target_rpm / 10.0));
  d.set(24, byte_of(e.iac_steps));
  const double duty_pct = e.injection_ms / (120000.0 / e.rpm) * 100.0;  // one injection per 2 turns
  d.v255(25, duty_pct * 640.0);
  d.be16(27, e.iac_steps / 2.4 / 0.00305);  // idle controller output, %
  d.set(29, byte_of(o2_raw(e.o2_v)));
  d.v255(30, e.lambda_control ? 32768.0 : 0.0);
  d.set(34, byte_of((e.canister_purge ? 25.0 : 0.0) / 0.392));
  d.v255(35, e.fuel_lh / 0.0195);
  d.v255(37, e.injection_ms * 1000.0 / 0.576);
  d.v255(39, 35.0 / 0.576);  // injection time adaptation, us
  // D41 .. D50 misfire counters: none.
  d.v255(51, std::min(in.seconds, 6.0 * 65279.0) / 6.0);
  d.v255(53, e.status_word);
  d.v255(55, 123.4 / 0.215);
  d.set(57, 0x12);
  d.v255(58, 1.5 / 0.00305);
  d.v255(60, 0.3 / 0.00305);
  d.v255(62, 32768.0);  // mixture adaptation enabled
  d.v255(64, 0.4 / 0.0469);
  d.set(67, flags({e.lambda_control, e.idling, e.overrun_cutoff, e.fuel_pump, e.fan, e.ac_clutch, e.canister_purge,
                   in.lamp}));
  d.set(68, flags({e.o2_warm, e.lambda_control, e.engine_warm, e.knock, e.o2_heater, e.full_load, true, e.o2_heater}));
  return d;
}

}  // namespace

Bytes m797_e2_block(const M7BlockInput &in) {
  enc::DRecord d = shared_block(in, 69);
  d.set(69, flags({in.engine.immobiliser_released}));
  return d.service();
}

Bytes m797_e3_block(const M7BlockInput &in) {
  const EngineState &e = in.engine;
  enc::DRecord d = shared_block(in, 76);
  d.set(69, flags({e.immobiliser_released, e.o2_warm, false, e.o2_warm, false, false, false}));
  d.set(70, byte_of((e.target_rpm + 100.0) / 10.0));
  d.set(71, byte_of(o2_raw(rear_o2_v(e))));
  d.set(72, byte_of(2.4 / 0.04));
  d.set(73, 0);
  return d.service();
}

Bytes m797_converter_block(const EngineState &e) {
  enc::DRecord d(0x61, 0x03, 23);
  d.be16(5, e.air_flow_kgh / 0.0176);
  d.set(7, byte_of(e.adc_throttle_v * 256.0 / 5.0));
  d.v255(8, e.adc_coolant_v / 0.00488);
  d.v255(10, e.adc_o2_v * 13107.0);
  d.v255(12, ntc_sensor_v(intake_air_c(e)) / 0.00488);
  d.set(14, byte_of(e.adc_knock_v * 256.0 / 5.0));
  d.v255(15, e.adc_battery_v / 0.00488);
  // 60-2 teeth: the period of one tooth, counted in 2 us steps.
  d.be16(17, e.rpm > 0 ? 1e6 / (e.rpm / 60.0 * 60.0) / 2.0 : 0.0);
  d.be16(22, 0);  // vehicle speed sensor: no pulses at standstill
  return d.service();
}

Bytes m797_immobiliser_block(const EngineState &e) {
  enc::DRecord d(0x61, 0xA0, 9);
  d.be16(5, 0x2A5C);  // status word
  const bool ok = e.immobiliser_released;
  d.set(7, flags({true, ok, ok, ok, !ok, !ok}));
  return d.service();
}

}  // namespace ecusim
