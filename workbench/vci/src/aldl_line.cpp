// Simulated ALDL line: set-up checks, request/answer exchange with timing, faults and trace.
#include "aldl_line.h"

#include "k_line.h"
#include "line_timing.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>

namespace vci {

AldlLine::AldlLine(WireTrace &trace) : trace_(trace), clock_(make_clock(false, 0.0)) {}

void AldlLine::use_clock(bool virtual_time, bool traced) {
  const double t = virtual_time ? last_activity_ : now();
  clock_ = make_clock(virtual_time, t);
  virtual_ = virtual_time;
  if (traced) trace_.event(t, virtual_time ? "virtual clock" : "real-time clock");
}

void AldlLine::advance(unsigned ms) { clock_->wait_until(now() + ms); }

void AldlLine::set_ecu(std::unique_ptr<ecusim::AldlEcu> ecu, const std::string &name) {
  catch_up();
  ecu_ = std::move(ecu);
  if (ecu_) ecu_->power_on(now());
  trace_.event(now(), "car " + name + " (ALDL ECU F4)");
}

int AldlLine::fail(std::string why) {
  error_ = std::move(why);
  if (batch_open_) batch_failed_ = true;
  return -1;
}

int AldlLine::select_pin(int connector, int a, int b, int c, int d) {
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

void AldlLine::setting(const std::string &what) {
  catch_up();
  trace_.event(now(), what);
}

void AldlLine::voltage_logic(int a, int b) {
  logic_ok_ = a == 0 && b == 0xFF;
  setting("voltage logic " + std::to_string(a) + ' ' + std::to_string(b) + (logic_ok_ ? " (ALDL levels)" : ""));
}

int AldlLine::set_baud(double baud) {
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
  trace_.event(now(), s);
  return 0;
}

void AldlLine::set_time_interval(double gap, int b, int c) {
  catch_up();
  gap_ms_ = std::isfinite(gap) ? std::clamp(gap, 0.0, kMaxTesterByteGap) : 0.0;
  char s[96];
  std::snprintf(s, sizeof s, "time intervals %.1f %d %d (tester byte gap %.1f ms)", gap, b, c, gap_ms_);
  trace_.event(now(), s);
}

int AldlLine::line_voltage(int mode, int low_ms, int high_ms) {
  char s[96];
  std::snprintf(s, sizeof s, "line pulse ignored on ALDL: mode %d, %d ms low, %d ms high", mode, low_ms, high_ms);
  setting(s);
  return pin_selected_ ? 0 : fail("no line selected");
}

int AldlLine::begin_combination() {
  catch_up();
  batch_open_ = true;
  batch_failed_ = false;
  return 1;
}

int AldlLine::end_combination() {
  catch_up();
  if (!batch_open_) {
    error_ = "EndCombination without BeginCombination";
    return -1;
  }
  batch_open_ = false;
  return batch_failed_ ? -1 : 1;
}

int AldlLine::send(const std::uint8_t *, std::uint8_t *) {
  setting("KWP2000 request not sent: the car is on the ALDL line");
  return fail("KWP2000 request on the ALDL line");
}

int AldlLine::set_link_keep(const std::uint8_t *frame, int length, int a, int b) {
  if (!frame || length <= 0) {  // nothing runs on ALDL, but the stop is worth seeing in the trace
    setting("keep-alive stopped");
    return 0;
  }
  setting("keep-alive refused: ALDL has none (" + std::to_string(a) + ", " + std::to_string(b) + ")");
  error_ = "no keep-alive on the ALDL line";
  return -1;
}

int AldlLine::send_aldl(const std::uint8_t *frame, int length, std::uint8_t *answer) {
  catch_up();
  if (!frame || !answer) return fail("null frame or answer buffer");
  if (length < 4 || length > 0xAA + 3) return fail("ALDL frame length " + std::to_string(length) + " out of 4..173");
  if (!pin_selected_) {
    trace_.event(now(), "request not sent: no line selected");
    return fail("no line selected (SelectPIN)");
  }
  if (baud_ <= 0) {
    trace_.event(now(), "request not sent: no baud rate set");
    return fail("no baud rate set (SetEcuBaudRate)");
  }
  const Bytes f(frame, frame + length);
  const double bt = byte_ms(baud_);
  const double start = std::max(now(), line_free_at_);
  const double tx_end = start + static_cast<double>(f.size()) * bt + static_cast<double>(f.size() - 1) * gap_ms_;
  trace_.frame(start, "T>", f);
  last_activity_ = tx_end;

  // Faults are keyed by the mode byte, as K-line faults are by the service identifier.
  const auto fault = faults_.take(f[2]);
  const bool readable = std::fabs(baud_ - kAldlBaud) <= kAldlBaud * kBaudTolerance && logic_ok_;
  std::optional<Bytes> reply;
  // ALDL has no negative answer: a "negative" fault loses the request like "no-answer".
  const bool lost = fault && (fault->kind == FaultKind::NoAnswer || fault->kind == FaultKind::Negative);
  if (ecu_ && readable && !lost) reply = ecu_->hear(f, tx_end);
  if (ecusim::checksum(f.data(), f.size()) != 0) trace_.event(tx_end, "request checksum wrong");

  if (!reply) {
    const double done = tx_end + kAldlWait;
    trace_.event(done, "no answer within 50 ms");
    line_free_at_ = done + kAldlQuiet;
    clock_->wait_until(done);
    return fail("no valid answer");
  }
  const bool late = fault && fault->kind == FaultKind::Late;
  const bool corrupt = fault && fault->kind == FaultKind::BadChecksum;
  if (corrupt) reply->back() = static_cast<std::uint8_t>(reply->back() + 1);
  const double a_start = tx_end + (late ? kAldlLateDelay : kAldlAnswerDelay);
  const double a_end = a_start + static_cast<double>(reply->size()) * bt;
  if (late) trace_.event(tx_end + kAldlWait, "no answer within 50 ms");
  trace_.frame(a_start, "E<", *reply);
  last_activity_ = a_end;
  line_free_at_ = a_end + kAldlQuiet;
  if (late) {
    trace_.event(a_end, "answer after the time-out ignored");
    clock_->wait_until(tx_end + kAldlWait);
    return fail("no valid answer");
  }
  clock_->wait_until(a_end);
  if (corrupt) {
    trace_.event(a_end, "answer checksum wrong: discarded");
    return fail("no valid answer");
  }
  const std::size_t n = std::min<std::size_t>(reply->size(), kAnswerBufferSize - 2);
  answer[0] = 1;
  answer[1] = static_cast<std::uint8_t>(n);
  std::memcpy(answer + 2, reply->data(), n);
  return 1;
}

}  // namespace vci
