// Values the M7 generation reports beyond the shared engine state: intake and ambient air,
// the second oxygen sensor, engine load, run time. Derived deterministically from the state.
#pragma once

#include "ecusim/engine_model.h"

namespace ecusim {

inline constexpr double kAmbientC = 20.0;
inline constexpr double kIdleFixedSeconds = 600.0;  // run time the frozen engine reports

double intake_air_c(const EngineState &e);  // heat soak from the engine bay
double ntc_sensor_v(double temp_c);         // NTC against a 2 kOhm pull-up at 5 V
double rear_o2_v(const EngineState &e);     // after the catalyst: steady once warm
double load_pct(const EngineState &e);      // relative air charge
double desired_air_flow_kgh(const EngineState &e);
int operating_mode(const EngineState &e);  // 1 warm-up, 2 idle (warm)

}  // namespace ecusim
