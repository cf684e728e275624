// What every simulated line adds to the line interface: the clock it may switch to virtual
// time, the armed faults, a refused line selection, and the answer machinery that puts a
// simulated ECU's frames on the line at their computed moments. Each line adds its own car
// and its own exchange on top.
#pragma once

#include "fault_injector.h"
#include "line.h"

#include "ecusim/kwp_frame.h"

#include <cstdint>
#include <optional>
#include <span>
#include <string>

namespace vci {

using ecusim::Bytes;

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

class LineBase : public Line {
 public:
  explicit LineBase(WireTrace &trace) : Line(trace) {}

  // Clock.
  void use_clock(bool virtual_time, bool traced = true) override;
  bool virtual_clock() const override { return virtual_; }
  FaultInjector &faults() { return faults_; }
  void refuse_line(bool refuse) { refuse_line_ = refuse; }

  int select_pin(int connector, int a, int b, int c, int d) override;

 protected:
  // A line without idle traffic only lets whatever is still on the wire finish.
  void catch_up() override { clock_->wait_until(last_activity_); }
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

  FaultInjector faults_;
  bool refuse_line_ = false;

 private:
  bool virtual_ = false;
};

}  // namespace vci
