// Deterministic engine model: slow trends plus fixed-period wobble, no random numbers.
#include "ecusim/engine_model.h"

#include <algorithm>
#include <cmath>

namespace ecusim {
namespace {

constexpr double kPi = 3.14159265358979323846;

double wave(double seconds, double period) { return std::sin(2.0 * kPi * seconds / period); }

struct Coolant {
  double temp;
  bool fan;
};

// 20 -> 90 degC linearly over 240 s, 90 -> 99 over the next 300 s; from then on the fan
// relay (switched on above 97, here at 99) pulls it down to 94 in 30 s and it climbs back
// in 90 s.
Coolant coolant_at(double s) {
  if (s < 240.0) return {20.0 + 70.0 * s / 240.0, false};
  if (s < 540.0) return {90.0 + 9.0 * (s - 240.0) / 300.0, false};
  double phase = std::fmod(s - 540.0, 120.0);
  if (phase < 30.0) return {99.0 - 5.0 * phase / 30.0, true};
  return {94.0 + 5.0 * (phase - 30.0) / 90.0, false};
}

// Voltage of the coolant NTC (2.2 kOhm at 25 degC, B 3400) against a 2 kOhm pull-up at 5 V.
double ntc_volts(double temp_c) {
  double r = 2200.0 * std::exp(3400.0 * (1.0 / (temp_c + 273.15) - 1.0 / 298.15));
  return 5.0 * r / (r + 2000.0);
}

}  // namespace

EngineState idle_fixed_state() {
  EngineState e;
  e.coolant_c = 90;
  e.rpm = 840;
  e.target_rpm = 840;
  e.iac_steps = 30;
  e.iac_desired = 30;
  e.throttle_pct = 0;
  e.co_correction = 0.039;
  e.air_fuel_ratio = 14.7;
  e.lambda_factor = 0.9992;
  e.advance_deg = 12.0;
  e.speed_kmh = 0;
  e.battery_v = 14.0;
  e.injection_ms = 2.6;
  e.air_flow_kgh = 9.0;
  e.air_per_cycle_mg = 86.0;
  e.fuel_lh = 0.8;
  e.economy_l100km = 0;
  e.o2_v = 0.444;
  e.status_word = 0x0040;
  e.lambda_control = true;
  e.fuel_pump = true;
  e.idling = true;
  e.o2_warm = true;
  e.engine_warm = true;
  e.immobiliser_released = true;
  e.o2_heater = true;
  // Chosen on converter steps (5 V / 256) so that the raw bytes are exact.
  e.adc_coolant_v = 31 * 5.0 / 256;
  e.adc_air_flow_v = 70 * 5.0 / 256;
  e.adc_throttle_v = 26 * 5.0 / 256;
  e.adc_battery_v = 179 * 5.0 / 256;
  e.adc_o2_v = 23 * 5.0 / 256;
  e.adc_co_v = 128 * 5.0 / 256;
  e.adc_knock_v = 10 * 5.0 / 256;
  return e;
}

EngineState engine_state(EngineMode mode, double s) {
  if (mode == EngineMode::IdleFixed) return idle_fixed_state();
  s = std::max(0.0, s);
  EngineState e;
  const Coolant c = coolant_at(s);
  e.coolant_c = c.temp;
  e.fan = c.fan;
  e.engine_warm = e.coolant_c >= 75.0;
  e.o2_warm = s >= 60.0;
  e.o2_heater = true;
  e.lambda_control = e.o2_warm && e.coolant_c >= 40.0;

  // A cold engine idles faster; the idle controller's wobble is two incommensurate periods.
  e.target_rpm = std::clamp(840.0 + (90.0 - e.coolant_c) * 5.0, 840.0, 1200.0);
  e.rpm = e.target_rpm - 15.0 + 12.0 * wave(s, 1.7) + 6.0 * wave(s, 0.43);
  e.iac_desired = 30.0 + (e.target_rpm - 840.0) / 10.0;
  e.iac_steps = e.iac_desired + 2.0 * wave(s, 1.7);
  e.throttle_pct = 0;
  e.speed_kmh = 0;
  e.idling = true;
  e.fuel_pump = true;
  e.immobiliser_released = true;

  const double lambda_wave = wave(s, 1.2);
  e.lambda_factor = e.lambda_control ? 1.0 + 0.03 * lambda_wave : 1.0;
  e.rich = e.lambda_control && lambda_wave < 0.0;  // the factor leans out a rich mixture
  e.o2_v = e.lambda_control ? (e.rich ? 0.75 : 0.15) + 0.05 * lambda_wave : 0.45;
  e.air_fuel_ratio = 14.7 / e.lambda_factor;
  e.co_correction = 0.039;
  e.adaptive_rich = false;
  e.canister_purge = e.engine_warm && std::fmod(s, 60.0) < 30.0;

  e.advance_deg = 10.0 + 2.0 * wave(s, 2.3);
  e.battery_v = 14.0 + 0.2 * wave(s, 7.0);

  e.air_flow_kgh = e.rpm * (9.0 / 840.0);
  e.air_per_cycle_mg = e.air_flow_kgh * 1e6 / 60.0 / (e.rpm * 2.0);  // two intakes per turn
  const double cold_enrichment = 1.0 + std::max(0.0, 90.0 - e.coolant_c) / 140.0;
  e.injection_ms = 2.6 * cold_enrichment * e.lambda_factor;
  const double fuel_mg_per_cycle = e.air_per_cycle_mg / 14.7 * cold_enrichment * e.lambda_factor;
  e.fuel_lh = fuel_mg_per_cycle * e.rpm * 2.0 * 60.0 / 1e3 / 740.0;  // petrol 740 g/l
  e.economy_l100km = 0;                                              // standing still
  e.status_word = 0x0040;

  e.adc_coolant_v = ntc_volts(e.coolant_c);
  e.adc_air_flow_v = 1.0 + e.air_flow_kgh * 0.04;
  e.adc_throttle_v = 0.51;
  e.adc_battery_v = e.battery_v / 4.0;
  e.adc_o2_v = e.o2_v;
  e.adc_co_v = 2.5;
  e.adc_knock_v = 0.2 + 0.02 * wave(s, 0.9);
  return e;
}

}  // namespace ecusim
