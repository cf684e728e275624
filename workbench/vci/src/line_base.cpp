// Shared part of the simulated lines: clock switching, a refused selection, and the answer
// layout common to their requests.
#include "line_base.h"

#include <algorithm>
#include <cstdio>
#include <cstring>

namespace vci {

void LineBase::use_clock(bool virtual_time, bool traced) {
  // The virtual clock continues from the line's last activity (0 after a reset), so that a
  // run on it does not depend on how much real time passed before the switch.
  const double t = virtual_time ? last_activity_ : now();
  clock_ = make_clock(virtual_time, t);
  virtual_ = virtual_time;
  if (traced) trace_.event(t, virtual_time ? "virtual clock" : "real-time clock");
}

int LineBase::select_pin(int connector, int a, int b, int c, int d) {
  if (!refuse_line_) return Line::select_pin(connector, a, b, c, d);
  catch_up();
  char s[96];
  std::snprintf(s, sizeof s, "line refused: connector %d, pins %d %d %d %d", connector, a, b, c, d);
  trace_.event(now(), s);
  set_error("line selection refused (line option \"refused\")");
  return -1;
}

int LineBase::ignore_pulse(const char *where, int mode, int low_ms, int high_ms) {
  char s[96];
  std::snprintf(s, sizeof s, "line pulse ignored on %s: mode %d, %d ms low, %d ms high", where, mode, low_ms, high_ms);
  setting(s);
  return pin_selected_ ? 0 : fail("no line selected");
}

int LineBase::no_keep_alive(const std::uint8_t *frame, int length, const std::string &refusal, std::string why) {
  if (!frame || length <= 0) {  // nothing runs, but the stop is worth seeing in the trace
    setting("keep-alive stopped");
    return 0;
  }
  setting(refusal);
  set_error(std::move(why));
  return -1;
}

LineBase::Outcome LineBase::schedule_answer(double tx_end, std::span<Bytes> frames, const std::optional<Fault> &fault,
                                            const AnswerTiming &t) {
  const double given_up = tx_end + t.wait;
  if (frames.empty()) {
    trace_.event(given_up, no_answer_note(t.wait));
    line_free_at_ = given_up + t.quiet;
    return {false, given_up};
  }
  const bool late = fault && fault->kind == FaultKind::Late;
  const bool corrupt = fault && fault->kind == FaultKind::BadChecksum;
  // A wrong checksum spoils the first frame, the one the caller would take.
  if (corrupt) frames.front().back() = static_cast<std::uint8_t>(frames.front().back() + 1);
  if (late) trace_.event(given_up, no_answer_note(t.wait));
  double a_start = tx_end + (late ? t.late_delay : t.answer_delay);
  double a_end = a_start;
  for (const Bytes &f : frames) {
    trace_.frame(a_start, "E<", f);
    a_end = a_start + static_cast<double>(f.size()) * t.byte_ms;
    a_start = a_end + t.answer_delay;
  }
  last_activity_ = a_end;
  line_free_at_ = a_end + t.quiet;
  if (late) {
    trace_.event(a_end, "answer after the time-out ignored");
    return {false, given_up};
  }
  if (corrupt) {
    trace_.event(a_end, t.corrupt_note);
    return {false, a_end};
  }
  return {true, a_end};
}

int LineBase::deliver(const Bytes &answer, std::uint8_t *buffer) {
  const std::size_t n = std::min<std::size_t>(answer.size(), kAnswerBufferSize - 2);
  buffer[0] = 1;
  buffer[1] = static_cast<std::uint8_t>(n);
  std::memcpy(buffer + 2, answer.data(), n);
  return 1;
}

}  // namespace vci
