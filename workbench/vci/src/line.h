// The small interface every line of the vehicle interface implements, simulated or real:
// the services the plug-in calls, the last error and the clock the trace is stamped with.
// It also keeps the bookkeeping no line does differently: line selection, the baud rate
// and tester byte gap the plug-in sets, BeginCombination/EndCombination and the error text.
// What only a simulation needs (virtual clock, armed faults, computed answers) lives in
// line_base.h; what only a cable needs in serial_line.h.
#pragma once

#include "clock.h"
#include "wire_trace.h"

#include <cstddef>
#include <cstdint>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

namespace vci {

// Longest answer buffer a caller hands in (the plug-in's answer buffer).
inline constexpr std::size_t kAnswerBufferSize = 344;
// The longest request the interface sends, format byte to checksum: what a caller's
// length-prefixed frame can hold (its length byte counts at most 255 bytes). The service
// gets no size, so a long-form length byte announcing more (up to 260) is refused before
// anything past the header is read.
inline constexpr std::size_t kMaxRequestBytes = 255;

// The services a line offers beyond those every line answers. Each line states its own;
// line_services.cpp holds each claim against the line's methods at compile time and
// routes a call only to a line that claims it, so a missing or misspelt method cannot
// pass for a service the line does not offer.
struct LineOffers {
  bool voltage_logic = false;  // voltage_logic(a, b) sets the line's levels
  bool aldl = false;           // send_aldl: one-to-one ALDL requests
  bool iso = false;            // send_iso, iso_open, iso_add, iso_send: ISO 9141 requests
  bool pwm = false;            // send_pwm: J1850 PWM requests
};

// Puts answer frames into a caller's answer buffer (kAnswerBufferSize bytes): byte 0 the
// frame count, then each frame after its length byte, as many whole frames as fit. Returns
// the count.
int put_answer_frames(const std::vector<std::vector<std::uint8_t>> &frames, std::uint8_t *answer);

// The trace's note when nothing usable came within the wait.
std::string no_answer_note(double wait_ms);

class Line {
 public:
  explicit Line(WireTrace &trace);
  virtual ~Line() = default;
  Line(const Line &) = delete;
  Line &operator=(const Line &) = delete;

  // Line services every line answers (results as the exported functions return them).
  virtual int select_pin(int connector, int a, int b, int c, int d);
  virtual void setting(const std::string &what);  // a setting with no effect on the line: traced
  virtual int set_baud(double baud);
  virtual void set_time_interval(double gap, int b, int c);
  virtual int begin_combination();
  virtual int end_combination();
  virtual int line_voltage(int mode, int low_ms, int high_ms) = 0;
  virtual int send(const std::uint8_t *frame, std::uint8_t *answer) = 0;
  virtual int set_link_keep(const std::uint8_t *frame, int length, int a, int b) = 0;

  // Clock: real time unless a line can run on a virtual one.
  virtual void use_clock(bool virtual_time, bool traced = true) = 0;
  virtual bool virtual_clock() const { return false; }
  virtual void advance(unsigned ms) { clock_->wait_until(now() + ms); }
  double clock_ms() { return now(); }

  // The last failure's text. A line with a thread of its own may fail from it, so the text
  // is copied out under a lock of its own.
  std::string last_error() const;
  void set_error(std::string e);

 protected:
  double now() { return clock_->now_ms(); }
  // Brings the line up to the present before a call; a simulated line replays its idle time.
  virtual void catch_up() {}
  // Records the error and spoils an open batch; always -1, the failed service's result.
  int fail(std::string why);
  // False, traced and failed, when a request may not go out yet.
  bool ready_to_send(bool needs_baud);

  // What the trace adds to a baud rate and to time intervals; a bus with a fixed rate and
  // timing says so instead.
  virtual std::string baud_remark() const { return {}; }
  virtual std::string interval_remark() const;

  WireTrace &trace_;
  std::unique_ptr<Clock> clock_;
  bool pin_selected_ = false;
  double baud_ = 0;
  double byte_gap_ms_ = 0;    // tester inter-byte time (P4 on the K line)
  double line_free_at_ = 0;   // earliest start of the next tester frame
  double last_activity_ = 0;  // end of the last thing on the line

 private:
  mutable std::mutex error_lock_;
  std::string error_;
  bool batch_open_ = false;
  bool batch_failed_ = false;
};

}  // namespace vci
