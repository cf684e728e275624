// The simulated K line between the tester and one ECU. It has no thread: each call first
// replays the idle time since the last activity (keep-alives at their moments, the ECU's
// sleep time-out), then handles the call, computing every frame's moment on the clock and
// waiting on the clock only as long as the call would really take.
#pragma once

#include "clock.h"
#include "fault_injector.h"
#include "wire_trace.h"

#include "ecusim/kwp_ecu.h"

#include <cstdint>
#include <memory>
#include <optional>
#include <string>

namespace vci {

using ecusim::Bytes;

// Longest answer buffer a caller hands in (the plug-in's answer buffer).
inline constexpr std::size_t kAnswerBufferSize = 344;

class KLine {
 public:
  explicit KLine(WireTrace &trace);

  // Clock and car.
  void use_clock(bool virtual_time);
  bool virtual_clock() const { return virtual_; }
  void advance(unsigned ms);
  void set_ecu(std::unique_ptr<ecusim::KwpEcu> ecu, const std::string &name);
  ecusim::KwpEcu *ecu() { return ecu_.get(); }
  FaultInjector &faults() { return faults_; }
  void refuse_line(bool refuse) { refuse_line_ = refuse; }

  // Line services (results as the exported functions return them).
  int select_pin(int connector, int a, int b, int c, int d);
  void setting(const std::string &what);  // a setting with no effect on the model: traced
  int set_baud(double baud);
  void set_time_interval(double p4, int b, int c);
  int line_voltage(int mode, int low_ms, int high_ms);
  int begin_combination();
  int end_combination();
  int send(const std::uint8_t *frame, std::uint8_t *answer);
  int set_link_keep(const std::uint8_t *frame, int length, int a, int b);

  const std::string &last_error() const { return error_; }
  void set_error(std::string e) { error_ = std::move(e); }

 private:
  struct Result {
    bool ok = false;
    Bytes answer;
    double done_at = 0;
  };
  enum class Origin { Caller, KeepAlive };

  double now() { return clock_->now_ms(); }
  void catch_up();
  void settle_ecu(double t_ms);
  bool line_ready() const { return pin_selected_ && baud_ > 0; }
  Result exchange(const Bytes &frame, double earliest, Origin origin);

  WireTrace &trace_;
  std::unique_ptr<Clock> clock_;
  bool virtual_ = false;
  std::unique_ptr<ecusim::KwpEcu> ecu_;
  FaultInjector faults_;
  std::string error_;

  bool refuse_line_ = false;
  bool pin_selected_ = false;
  double baud_ = 0;
  double p4_ms_ = 0;
  double line_free_at_ = 0;   // earliest start of the next tester frame
  double last_activity_ = 0;  // end of the last thing on the line
  std::optional<Bytes> keep_alive_;
  bool batch_open_ = false;
  bool batch_failed_ = false;
};

}  // namespace vci
