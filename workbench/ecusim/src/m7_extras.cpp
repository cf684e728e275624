// Derived values of the M7-generation models.
#include "ecusim/m7_extras.h"

#include <cmath>

namespace ecusim {

double intake_air_c(const EngineState &e) { return kAmbientC + (e.coolant_c - kAmbientC) * 0.2; }

double ntc_sensor_v(double temp_c) {
  const double r = 2200.0 * std::exp(3400.0 * (1.0 / (temp_c + 273.15) - 1.0 / 298.15));
  return 5.0 * r / (r + 2000.0);
}

double rear_o2_v(const EngineState &e) { return e.o2_warm ? 0.65 : 0.45; }

// 430 mg of air per cycle fills the cylinder at sea level.
double load_pct(const EngineState &e) { return e.air_per_cycle_mg / 4.3; }

double desired_air_flow_kgh(const EngineState &e) { return e.target_rpm * (9.0 / 840.0); }

int operating_mode(const EngineState &e) { return e.engine_warm ? 2 : 1; }

}  // namespace ecusim
