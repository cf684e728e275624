// What every simulated line has in common: its clock, the trace it writes to, the armed
// faults, line selection, the settings the plug-in makes before talking (baud rate, byte
// gap), the BeginCombination/EndCombination bookkeeping and the last error. Each line adds
// its own car and its own exchange on top.
#pragma once

#include "clock.h"
#include "fault_injector.h"
#include "wire_trace.h"

#include "ecusim/kwp_frame.h"

#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <span>
#include <string>

namespace vci {

using ecusim::Bytes;

// Longest answer buffer a caller hands in (the plug-in's answer buffer).
inline constexpr std::size_t kAnswerBufferSize = 344;
// The longest request the interface sends, format byte to checksum: what a caller's
// length-prefixed frame can hold (its length byte counts at most 255 bytes). The service
// gets no size, so a long-form length byte announcing more (up to 260) is refused before
// anything past the header is read.
inline constexpr std::size_t kMaxRequestBytes = 255;

// How a line answers in time, in milliseconds: the ECU's turn-around (also between two of
// its frames), the interface's wait for an answer, a "late" fault's delay and the quiet
// the line keeps before the next request.
struct AnswerTiming {
  double answer_delay;
  double wait;
  double late_delay;
  double quiet;
  double byte_ms;            // one answer byte on the wire
  const char *corrupt_note;  // what the trace says of an answer spoiled by a fault
};

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

// The trace's note when nothing usable came within the wait.
std::string no_answer_note(double wait_ms);

class LineBase {
 public:
  explicit LineBase(WireTrace &trace);
  virtual ~LineBase() = default;
  LineBase(const LineBase &) = delete;
  LineBase &operator=(const LineBase &) = delete;

  // Clock.
  void use_clock(bool virtual_time, bool traced = true);
  bool virtual_clock() const { return virtual_; }
  double clock_ms() { return now(); }
  virtual void advance(unsigned ms);
  FaultInjector &faults() { return faults_; }
  void refuse_line(bool refuse) { refuse_line_ = refuse; }

  // Line services every line answers alike (results as the exported functions return them).
  int select_pin(int connector, int a, int b, int c, int d);
  void setting(const std::string &what);  // a setting with no effect on the model: traced
  int set_baud(double baud);
  void set_time_interval(double gap, int b, int c);
  int begin_combination();
  int end_combination();

  const std::string &last_error() const { return error_; }
  void set_error(std::string e) { error_ = std::move(e); }

 protected:
  double now() { return clock_->now_ms(); }
  // Brings the line up to the present before a call; a line without idle traffic only lets
  // whatever is still on the wire finish.
  virtual void catch_up() { clock_->wait_until(last_activity_); }
  // Records the error and spoils an open batch; always -1, the failed service's result.
  int fail(std::string why);
  // False, traced and failed, when a request may not go out yet.
  bool ready_to_send(bool needs_baud);
  // A line that drives no pulses only traces one ('where' names the line in the trace).
  int ignore_pulse(const char *where, int mode, int low_ms, int high_ms);
  // A line without keep-alive: a stop is harmless, a frame to repeat is refused.
  int no_keep_alive(const std::uint8_t *frame, int length, const std::string &refusal, std::string why);
  // Where an exchange ends once the request is on the wire: the ECU's answer frames (none
  // if it stayed silent) put on the line at their moments, late or spoiled as the fault
  // asks, and traced. 'ok' when the caller may take the frames; 'done_at' is when the
  // caller stops waiting.
  struct Outcome {
    bool ok = false;
    double done_at = 0;
  };
  Outcome schedule_answer(double tx_end, std::span<Bytes> frames, const std::optional<Fault> &fault,
                          const AnswerTiming &timing);
  // Puts one answer frame into the caller's buffer: count 1, length, bytes.
  static int deliver(const Bytes &answer, std::uint8_t *buffer);

  // What the trace adds to a baud rate and to time intervals; a bus with a fixed rate and
  // timing says so instead.
  virtual std::string baud_remark() const { return {}; }
  virtual std::string interval_remark() const;

  WireTrace &trace_;
  std::unique_ptr<Clock> clock_;
  FaultInjector faults_;
  bool refuse_line_ = false;
  bool pin_selected_ = false;
  double baud_ = 0;
  double byte_gap_ms_ = 0;    // tester inter-byte time (P4 on the K line)
  double line_free_at_ = 0;   // earliest start of the next tester frame
  double last_activity_ = 0;  // end of the last thing on the line

 private:
  bool virtual_ = false;
  std::string error_;
  bool batch_open_ = false;
  bool batch_failed_ = false;
};

}  // namespace vci
