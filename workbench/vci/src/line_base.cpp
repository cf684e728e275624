// Shared part of the simulated lines: clock switching, line selection, settings, batches
// and the checks and answer layout common to their requests.
#include "line_base.h"

#include "line_timing.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>

namespace vci {

LineBase::LineBase(WireTrace &trace) : trace_(trace), clock_(make_clock(false, 0.0)) {}

void LineBase::use_clock(bool virtual_time, bool traced) {
  // The virtual clock continues from the line's last activity (0 after a reset), so that a
  // run on it does not depend on how much real time passed before the switch.
  const double t = virtual_time ? last_activity_ : now();
  clock_ = make_clock(virtual_time, t);
  virtual_ = virtual_time;
  if (traced) trace_.event(t, virtual_time ? "virtual clock" : "real-time clock");
}

void LineBase::advance(unsigned ms) { clock_->wait_until(now() + ms); }

int LineBase::fail(std::string why) {
  error_ = std::move(why);
  if (batch_open_) batch_failed_ = true;
  return -1;
}

int LineBase::select_pin(int connector, int a, int b, int c, int d) {
  catch_up();
  char s[96];
  std::snprintf(s, sizeof s, "line %s: connector %d, pins %d %d %d %d", refuse_line_ ? "refused" : "selected",
                connector, a, b, c, d);
  trace_.event(now(), s);
  if (refuse_line_) {
    error_ = "line selection refused (line option \"refused\")";
    return -1;
  }
  pin_selected_ = true;
  return 0;
}

void LineBase::setting(const std::string &what) {
  catch_up();
  trace_.event(now(), what);
}

int LineBase::set_baud(double baud) {
  catch_up();
  char s[64];
  if (!(baud > 0) || !std::isfinite(baud)) {
    std::snprintf(s, sizeof s, "baud rate %.0f refused", baud);
    trace_.event(now(), s);
    error_ = "baud rate must be positive";
    return -1;
  }
  baud_ = baud;
  std::snprintf(s, sizeof s, "baud rate %.0f", baud);
  trace_.event(now(), s + baud_remark());
  return 0;
}

void LineBase::set_time_interval(double gap, int b, int c) {
  catch_up();
  byte_gap_ms_ = std::isfinite(gap) ? std::clamp(gap, 0.0, kMaxTesterByteGap) : 0.0;
  char s[96];
  std::snprintf(s, sizeof s, "time intervals %.1f %d %d (%s)", gap, b, c, interval_remark().c_str());
  trace_.event(now(), s);
}

std::string LineBase::interval_remark() const {
  char s[32];
  std::snprintf(s, sizeof s, "tester byte gap %.1f ms", byte_gap_ms_);
  return s;
}

int LineBase::begin_combination() {
  catch_up();
  batch_open_ = true;
  batch_failed_ = false;
  return 1;
}

int LineBase::end_combination() {
  catch_up();
  if (!batch_open_) {
    error_ = "EndCombination without BeginCombination";
    return -1;
  }
  batch_open_ = false;
  return batch_failed_ ? -1 : 1;
}

bool LineBase::ready_to_send(bool needs_baud) {
  if (!pin_selected_) {
    trace_.event(now(), "request not sent: no line selected");
    fail("no line selected (SelectPIN)");
    return false;
  }
  if (needs_baud && baud_ <= 0) {
    trace_.event(now(), "request not sent: no baud rate set");
    fail("no baud rate set (SetEcuBaudRate)");
    return false;
  }
  return true;
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
  error_ = std::move(why);
  return -1;
}

std::string no_answer_note(double wait_ms) {
  char s[48];
  std::snprintf(s, sizeof s, "no answer within %.0f ms", wait_ms);
  return s;
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
