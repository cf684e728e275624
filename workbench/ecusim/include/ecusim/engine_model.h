// Physical state of a warm-running petrol engine at idle, computed deterministically from
// the time since ignition on, so that runs on the virtual clock repeat exactly.
#pragma once

#include <cstdint>
#include <optional>

namespace ecusim {

struct EngineState {
  double coolant_c = 0;    // coolant temperature
  double rpm = 0;          // engine speed
  double target_rpm = 0;   // desired idle speed
  double iac_steps = 0;    // idle air control position
  double iac_desired = 0;  // desired idle air control position
  double throttle_pct = 0;
  double co_correction = 0;  // idle mixture (CO) correction
  double air_fuel_ratio = 0;
  double lambda_factor = 0;  // oxygen feedback factor
  double advance_deg = 0;    // ignition advance
  double speed_kmh = 0;
  double battery_v = 0;
  double injection_ms = 0;
  double air_flow_kgh = 0;
  double air_per_cycle_mg = 0;
  double fuel_lh = 0;
  double economy_l100km = 0;
  double o2_v = 0;  // oxygen sensor voltage
  std::uint16_t status_word = 0;

  bool lambda_control = false;
  bool overrun_cutoff = false;
  bool fuel_pump = false;
  bool fan = false;
  bool ac_clutch = false;
  bool idling = false;
  bool canister_purge = false;
  bool full_load = false;
  bool knock = false;
  bool o2_warm = false;
  bool engine_warm = false;
  bool immobiliser_released = false;
  bool enrichment = false;
  bool rich = false;  // oxygen sensor sees a rich mixture
  bool adaptive_rich = false;
  bool o2_heater = false;
  // Check-engine lamp as the tester has switched it; empty: the ECU lights it for faults.
  std::optional<bool> lamp_command;

  // Converter (ADC) input voltages.
  double adc_coolant_v = 0;
  double adc_air_flow_v = 0;
  double adc_throttle_v = 0;
  double adc_battery_v = 0;  // behind the ECU's divider
  double adc_o2_v = 0;
  double adc_co_v = 0;
  double adc_knock_v = 0;
};

enum class EngineMode { Running, IdleFixed };

// Running: idle 800-850 rpm with wobble, warm-up from 20 to 90 degC in 4 minutes, then up
// to 99 degC where the fan cycles it between 94 and 99 degC.
// IdleFixed: the frozen state idle_fixed_state(), whatever the time.
EngineState engine_state(EngineMode mode, double seconds);
EngineState idle_fixed_state();

}  // namespace ecusim
