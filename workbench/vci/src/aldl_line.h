// The simulated ALDL line between the tester and one GM engine ECU (8227 baud, one wire).
// It offers the same services as the K line, so that the interface can route the plug-in's
// calls to whichever line the selected car sits on; only the ALDL exchange does real work.
// ALDL ECUs never sleep and need no keep-alive, so the lazy idle replay reduces to letting
// the clock pass.
#pragma once

#include "clock.h"
#include "fault_injector.h"
#include "wire_trace.h"

#include "ecusim/aldl_ecu.h"

#include <cstdint>
#include <memory>
#include <string>

namespace vci {

using ecusim::Bytes;

// Timing of the simulated ALDL line, in milliseconds.
inline constexpr double kAldlBaud = 8227.0;          // what the ECUs listen at (+-2 %)
inline constexpr double kAldlAnswerDelay = 10.0;     // ECU turn-around after a request
inline constexpr double kAldlWait = 50.0;            // the interface's wait for an answer
inline constexpr double kAldlLateDelay = 70.0;       // a "late" fault's answer delay
inline constexpr double kAldlQuiet = 20.0;           // line quiet before the next request

class AldlLine {
 public:
  explicit AldlLine(WireTrace &trace);

  // Clock and car.
  void use_clock(bool virtual_time, bool traced = true);
  bool virtual_clock() const { return virtual_; }
  void advance(unsigned ms);
  void set_ecu(std::unique_ptr<ecusim::AldlEcu> ecu, const std::string &name);
  ecusim::AldlEcu *ecu() { return ecu_.get(); }
  FaultInjector &faults() { return faults_; }
  void refuse_line(bool refuse) { refuse_line_ = refuse; }

  // Line services, named as on the K line (results as the exported functions return them).
  int select_pin(int connector, int a, int b, int c, int d);
  void setting(const std::string &what);
  void voltage_logic(int a, int b);
  int set_baud(double baud);
  void set_time_interval(double gap, int b, int c);
  int line_voltage(int mode, int low_ms, int high_ms);
  int begin_combination();
  int end_combination();
  int send(const std::uint8_t *frame, std::uint8_t *answer);  // KWP2000: not on this line
  int set_link_keep(const std::uint8_t *frame, int length, int a, int b);
  // One ALDL request of 'length' bytes from the device identifier, checksum included.
  int send_aldl(const std::uint8_t *frame, int length, std::uint8_t *answer);

  const std::string &last_error() const { return error_; }
  void set_error(std::string e) { error_ = std::move(e); }

 private:
  double now() { return clock_->now_ms(); }
  void catch_up() { clock_->wait_until(last_activity_); }
  int fail(std::string why);

  WireTrace &trace_;
  std::unique_ptr<Clock> clock_;
  bool virtual_ = false;
  std::unique_ptr<ecusim::AldlEcu> ecu_;
  FaultInjector faults_;
  std::string error_;

  bool refuse_line_ = false;
  bool pin_selected_ = false;
  bool logic_ok_ = false;  // the ALDL levels (0, 0xFF) are set
  double baud_ = 0;
  double gap_ms_ = 0;
  double line_free_at_ = 0;
  double last_activity_ = 0;
  bool batch_open_ = false;
  bool batch_failed_ = false;
};

}  // namespace vci
