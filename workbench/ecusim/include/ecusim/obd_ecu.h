// A generic OBD-II engine ECU on an ISO 9141-2 or J1850 PWM bus: it answers the tester's
// functional requests for the current-data PIDs and the vehicle identification number
// from the engine model. It is always listening (no wake-up, no sleep) and stays silent
// for frames that are not a valid request or ask for something it does not support.
#pragma once

#include "ecusim/engine_model.h"
#include "ecusim/obd_frame.h"

#include <string>
#include <string_view>
#include <vector>

namespace ecusim {

inline constexpr std::string_view kDefaultVin = "XTA21099071234567";

class ObdEcu {
 public:
  explicit ObdEcu(ObdBus bus) : bus_(bus) {}

  ObdBus bus() const { return bus_; }
  // Ignition on: live values are computed from the time since this moment.
  void power_on(double now_ms) { power_on_ms_ = now_ms; }

  // A complete frame on the bus. The answer frames (several for a message that does not fit
  // one frame, as the VIN), or none when the ECU stays silent.
  std::vector<Bytes> hear(const Bytes &frame, double now_ms) const;
  // The negative answer 7F mode nrc.
  Bytes negative(std::uint8_t mode, std::uint8_t nrc) const;

  // "engine" ("running" / "idle-fixed") and "vin" (17 characters). False with a reason.
  bool set_option(std::string_view key, std::string_view value, std::string &error);

 private:
  ObdBus bus_;
  double power_on_ms_ = 0.0;
  EngineMode engine_ = EngineMode::Running;
  std::string vin_{kDefaultVin};
};

}  // namespace ecusim
