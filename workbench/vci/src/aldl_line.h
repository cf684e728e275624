// The simulated ALDL line between the tester and one GM engine ECU (8227 baud, one wire).
// It offers the same services as the K line, so that the interface can route the plug-in's
// calls to whichever line the selected car sits on; only the ALDL exchange does real work.
// ALDL ECUs never sleep and need no keep-alive, so the lazy idle replay reduces to letting
// the clock pass.
#pragma once

#include "line_base.h"

#include "ecusim/aldl_ecu.h"

#include <cstdint>
#include <memory>
#include <string>

namespace vci {

// Timing of the simulated ALDL line, in milliseconds.
inline constexpr double kAldlBaud = 8227.0;       // what the ECUs listen at (+-2 %)
inline constexpr double kAldlAnswerDelay = 10.0;  // ECU turn-around after a request
inline constexpr double kAldlWait = 50.0;         // the interface's wait for an answer
inline constexpr double kAldlLateDelay = 70.0;    // a "late" fault's answer delay
inline constexpr double kAldlQuiet = 20.0;        // line quiet before the next request

class AldlLine final : public LineBase {
 public:
  static constexpr LineOffers kOffers{.voltage_logic = true, .aldl = true};

  explicit AldlLine(WireTrace &trace) : LineBase(trace) {}

  // Car.
  void set_ecu(std::unique_ptr<ecusim::AldlEcu> ecu, const std::string &name);
  ecusim::AldlEcu *ecu() { return ecu_.get(); }

  // Line services, named as on the K line (results as the exported functions return them).
  void voltage_logic(int a, int b);
  int line_voltage(int mode, int low_ms, int high_ms) override;
  int send(const std::uint8_t *frame, std::uint8_t *answer) override;  // KWP2000: not on this line
  int set_link_keep(const std::uint8_t *frame, int length, int a, int b) override;
  // One ALDL request of 'length' bytes from the device identifier, checksum included.
  int send_aldl(const std::uint8_t *frame, int length, std::uint8_t *answer);

 private:
  std::unique_ptr<ecusim::AldlEcu> ecu_;
  bool logic_ok_ = false;  // the ALDL levels (0, 0xFF) are set
};

}  // namespace vci
