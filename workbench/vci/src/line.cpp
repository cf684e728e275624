// Bookkeeping every line shares: selection, settings, batches and the error text.
#include "line.h"

#include "line_timing.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>

namespace vci {

Line::Line(WireTrace &trace) : trace_(trace), clock_(make_clock(false, 0.0)) {}

std::string Line::last_error() const {
  std::lock_guard<std::mutex> g(error_lock_);
  return error_;
}

void Line::set_error(std::string e) {
  std::lock_guard<std::mutex> g(error_lock_);
  error_ = std::move(e);
}

int Line::fail(std::string why) {
  set_error(std::move(why));
  if (batch_open_) batch_failed_ = true;
  return -1;
}

int Line::select_pin(int connector, int a, int b, int c, int d) {
  catch_up();
  char s[96];
  std::snprintf(s, sizeof s, "line selected: connector %d, pins %d %d %d %d", connector, a, b, c, d);
  trace_.event(now(), s);
  pin_selected_ = true;
  return 0;
}

void Line::setting(const std::string &what) {
  catch_up();
  trace_.event(now(), what);
}

int Line::set_baud(double baud) {
  catch_up();
  char s[64];
  if (!(baud > 0) || !std::isfinite(baud)) {
    std::snprintf(s, sizeof s, "baud rate %.0f refused", baud);
    trace_.event(now(), s);
    set_error("baud rate must be positive");
    return -1;
  }
  baud_ = baud;
  std::snprintf(s, sizeof s, "baud rate %.0f", baud);
  trace_.event(now(), s + baud_remark());
  return 0;
}

void Line::set_time_interval(double gap, int b, int c) {
  catch_up();
  byte_gap_ms_ = std::isfinite(gap) ? std::clamp(gap, 0.0, kMaxTesterByteGap) : 0.0;
  char s[96];
  std::snprintf(s, sizeof s, "time intervals %.1f %d %d (%s)", gap, b, c, interval_remark().c_str());
  trace_.event(now(), s);
}

std::string Line::interval_remark() const {
  char s[32];
  std::snprintf(s, sizeof s, "tester byte gap %.1f ms", byte_gap_ms_);
  return s;
}

int Line::begin_combination() {
  catch_up();
  batch_open_ = true;
  batch_failed_ = false;
  return 1;
}

int Line::end_combination() {
  catch_up();
  if (!batch_open_) {
    set_error("EndCombination without BeginCombination");
    return -1;
  }
  batch_open_ = false;
  return batch_failed_ ? -1 : 1;
}

bool Line::ready_to_send(bool needs_baud) {
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

int put_answer_frames(const std::vector<std::vector<std::uint8_t>> &frames, std::uint8_t *answer) {
  std::size_t at = 1;
  int count = 0;
  for (const auto &f : frames) {
    if (at + 1 + f.size() > kAnswerBufferSize) break;  // never past the caller's buffer
    answer[at] = static_cast<std::uint8_t>(f.size());
    std::memcpy(answer + at + 1, f.data(), f.size());
    at += 1 + f.size();
    ++count;
  }
  answer[0] = static_cast<std::uint8_t>(count);
  return count;
}

std::string no_answer_note(double wait_ms) {
  char s[48];
  std::snprintf(s, sizeof s, "no answer within %.0f ms", wait_ms);
  return s;
}

}  // namespace vci
