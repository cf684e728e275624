// How the idling engine answers what the tester holds: switched relays and lamp show in the
// state bits, cut cylinders make it drop speed and run rough (all four: it stalls), a
// commanded idle speed or valve position moves the speed, the CO trim shows as the idle
// mixture correction.
#include "ecusim/output_control.h"

#include <algorithm>
#include <bit>
#include <cmath>

namespace ecusim {
namespace {

constexpr double kPi = 3.14159265358979323846;
constexpr double kRpmPerStep = 10.0;  // idle air valve: one step moves about 10 rpm
constexpr double kRpmPerDeadCylinder = 110.0;
constexpr double kRoughRpm = 30.0;          // extra shake per dead cylinder
constexpr double kRoughPeriod = 0.37;       // s
constexpr double kCatchSteps = 6.0;         // the idle controller opens the valve per dead cylinder
constexpr double kBatteryEngineOff = 12.4;  // no charging with the engine stopped

struct Commands {
  std::uint8_t no_fuel = 0, no_spark = 0;
  std::optional<bool> fuel_pump, fan, ac_clutch, lamp;
  std::optional<std::uint8_t> idle_speed, idle_step, co_trim;
};

template <class Map>
void collect(const Map &held, Commands &c) {
  for (const auto &[id, h] : held) {
    const bool on = h.value != 0;
    switch (h.effect) {
      case Effect::CutInjectors:
        if (!on) c.no_fuel |= h.cylinders;
        break;
      case Effect::CutCoils:
        if (!on) c.no_spark |= h.cylinders;
        break;
      case Effect::FuelPump: c.fuel_pump = on; break;
      case Effect::Fan: c.fan = c.fan.value_or(false) || on; break;  // either stage runs it
      case Effect::AcClutch: c.ac_clutch = on; break;
      case Effect::Lamp: c.lamp = on; break;
      case Effect::IdleSpeed: c.idle_speed = h.value; break;
      case Effect::IdleStep: c.idle_step = h.value; break;
      case Effect::CoTrim: c.co_trim = h.value; break;
      case Effect::Silent: break;
    }
  }
}

// The trim byte is the correction byte of the block: below 128 b * 0.0039, else
// (b - 128) * 0.0039 - 0.5.
double co_correction_of(std::uint8_t b) { return b < 128 ? b * 0.0039 : (b - 128) * 0.0039 - 0.5; }

void stall(EngineState &e, const Commands &c) {
  e.rpm = 0;
  e.air_flow_kgh = 0;
  e.air_per_cycle_mg = 0;
  e.fuel_lh = 0;
  e.injection_ms = 0;
  e.idling = false;
  e.lambda_control = false;
  e.rich = false;
  e.lambda_factor = 1.0;
  e.o2_v = 0.45;
  e.adc_o2_v = 0.45;
  e.canister_purge = false;
  e.battery_v = kBatteryEngineOff;
  e.adc_battery_v = kBatteryEngineOff / 4.0;
  e.adc_air_flow_v = 1.0;
  e.fuel_pump = c.fuel_pump.value_or(false);  // the ECU drops the relay of a stopped engine
}

}  // namespace

EngineState OutputControl::react(EngineState e, double seconds) const {
  Commands c;
  collect(held_, c);
  collect(held_routines_, c);
  const double rpm_before = e.rpm;

  if (c.idle_speed) {
    const double delta = *c.idle_speed * 10.0 - e.target_rpm;
    e.target_rpm += delta;
    e.rpm += delta;
    e.iac_desired += delta / kRpmPerStep;
    e.iac_steps += delta / kRpmPerStep;
  }
  if (c.idle_step) {
    e.rpm += (*c.idle_step - e.iac_desired) * kRpmPerStep;
    e.iac_steps = e.iac_desired = *c.idle_step;
  }
  if (c.fan) e.fan = *c.fan;
  if (c.ac_clutch) e.ac_clutch = *c.ac_clutch;
  if (c.lamp) e.lamp_command = c.lamp;
  if (c.fuel_pump) e.fuel_pump = *c.fuel_pump;
  if (c.co_trim) e.co_correction = co_correction_of(*c.co_trim);

  const std::uint8_t dead = c.fuel_pump == false ? 0x0F : (c.no_fuel | c.no_spark) & 0x0F;
  const int n = std::popcount(dead);
  if (n == 4) {
    stall(e, c);
    return e;
  }
  if (n > 0) {
    e.rpm -= kRpmPerDeadCylinder * n;
    e.rpm += kRoughRpm * n * std::sin(2.0 * kPi * seconds / kRoughPeriod);
    e.iac_steps += kCatchSteps * n;
    // Unburnt air reaches the oxygen sensor: it reads lean and the controller enriches.
    e.rich = false;
    e.o2_v = e.adc_o2_v = 0.08;
    if (e.lambda_control) e.lambda_factor = std::min(1.25, e.lambda_factor + 0.08 * n);
  }
  e.rpm = std::max(0.0, e.rpm);
  e.iac_steps = std::clamp(e.iac_steps, 0.0, 255.0);
  if (rpm_before > 0) {
    const double ratio = e.rpm / rpm_before;
    const double firing = (4 - std::popcount(static_cast<std::uint8_t>(c.no_fuel & 0x0F))) / 4.0;
    e.air_flow_kgh *= ratio;
    e.fuel_lh *= ratio * firing;
  }
  return e;
}

}  // namespace ecusim
