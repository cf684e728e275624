// Simulated K line: lazy idle replay, fast init, request/answer exchange with timing,
// faults and trace.
#include "k_line.h"

#include "line_timing.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <limits>

namespace vci {
namespace {

std::string hex_bytes(const Bytes &b) {
  std::string s;
  char x[4];
  for (auto v : b) {
    std::snprintf(x, sizeof x, "%02X", v);
    if (!s.empty()) s += ' ';
    s += x;
  }
  return s;
}

std::string ecu_name(const ecusim::KwpEcu &e) {
  char b[16];
  std::snprintf(b, sizeof b, "ECU %02X", e.address());
  return b;
}

}  // namespace

// Keep-alives and the ECU's sleep that fall into the advanced time happen at once.
void KLine::advance(unsigned ms) {
  LineBase::advance(ms);
  catch_up();
}

void KLine::set_ecu(std::unique_ptr<ecusim::KwpEcu> ecu, const std::string &name) {
  catch_up();
  ecu_ = std::move(ecu);
  if (ecu_) ecu_->power_on(now());
  trace_.event(now(), "car " + name + (ecu_ ? " (" + ecu_name(*ecu_) + ")" : " (silent line)"));
}

void KLine::settle_ecu(double t_ms) {
  if (ecu_ && ecu_->awake() && ecu_->asleep_at_ms() <= t_ms) {
    ecu_->fall_asleep();
    trace_.event(ecu_->asleep_at_ms(), ecu_name(*ecu_) + " asleep (5000 ms without a request)");
  }
}

void KLine::catch_up() {
  constexpr double kNever = std::numeric_limits<double>::infinity();
  while (true) {
    const double t = now();
    const double keep =
        keep_alive_ && line_ready() ? std::max(last_activity_ + kKeepAlivePeriod, line_free_at_) : kNever;
    const double sleep = ecu_ && ecu_->awake() ? ecu_->asleep_at_ms() : kNever;
    if (std::min(keep, sleep) > t) break;
    if (sleep <= keep)
      settle_ecu(sleep);
    else
      exchange(*keep_alive_, keep, Origin::KeepAlive);  // the answer is swallowed
  }
  // A keep-alive still on the line holds the call until it is over.
  clock_->wait_until(last_activity_);
}

int KLine::line_voltage(int mode, int low_ms, int high_ms) {
  catch_up();
  if (!pin_selected_) {
    set_error("no line selected");
    trace_.event(now(), "line pulse not driven: no line selected");
    return -1;
  }
  const double start = std::max(now(), line_free_at_);
  const double end = start + std::max(0, low_ms) + std::max(0, high_ms);
  char s[96];
  const bool pattern =
      mode == 2 && low_ms >= kWakeMinMs && low_ms <= kWakeMaxMs && high_ms >= kWakeMinMs && high_ms <= kWakeMaxMs;
  std::snprintf(s, sizeof s, "%s: mode %d, %d ms low, %d ms high",
                pattern ? "fast-init pattern" : "line pulse (no wake-up)", mode, low_ms, high_ms);
  trace_.event(start, s);
  settle_ecu(start);
  if (ecu_) {
    if (pattern)
      ecu_->hear_wakeup_pattern();
    else
      ecu_->hear_noise();
  }
  // StartCommunication follows the pattern at once, without the usual quiet time.
  last_activity_ = end;
  line_free_at_ = end;
  clock_->wait_until(end);
  return 0;
}

int KLine::send(const std::uint8_t *frame, std::uint8_t *answer) {
  catch_up();
  if (!frame || !answer) return fail("null frame or answer buffer");
  // A long-form request carries its length in the fourth byte; frame_length reads it only then.
  const std::size_t len = ecusim::frame_length(frame, frames::kwp::header_size(frame[0]));
  if (len == 0) return fail("frame does not start with a physically addressed format byte");
  if (len > kMaxRequestBytes) {
    trace_.event(now(), "request refused: " + std::to_string(len) + " bytes announced, at most " +
                            std::to_string(kMaxRequestBytes));
    return fail("request longer than " + std::to_string(kMaxRequestBytes) + " bytes");
  }
  request_.assign(frame, frame + len);
  if (!ready_to_send(true)) return -1;
  Result r = exchange(request_, now(), Origin::Caller);
  clock_->wait_until(r.done_at);
  if (!r.ok) return fail("no valid answer");
  return deliver(*r.answer, answer);
}

KLine::Result KLine::exchange(const Bytes &frame, double earliest, Origin origin) {
  const double bt = byte_ms(baud_);
  const double start = std::max(earliest, line_free_at_);
  const double tx_end =
      start + static_cast<double>(frame.size()) * bt + static_cast<double>(frame.size() - 1) * byte_gap_ms_;
  settle_ecu(start);
  trace_.frame(start, "T>", frame);
  last_activity_ = tx_end;

  // Parsed into a reused request, answered into a reused frame: a live-data pass touches no heap.
  const ecusim::Request *request = ecusim::parse_frame(frame, parsed_) ? &parsed_ : nullptr;
  std::optional<Fault> fault;
  if (origin == Origin::Caller && frame.size() > 3) fault = faults_.take(request ? request->service[0] : frame[3]);

  const bool was_awake = ecu_ && ecu_->awake();
  Bytes *answer = nullptr;
  const bool readable = request && std::fabs(baud_ - kEcuBaud) <= kEcuBaud * kBaudTolerance;
  if (ecu_) {
    if (!readable || (fault && fault->kind == FaultKind::NoAnswer)) {
      ecu_->hear_noise();
    } else if (fault && fault->kind == FaultKind::Negative) {
      const Bytes nrc{0x7F, request->service[0], fault->nrc};
      if (ecu_->hear(*request, tx_end, answer_, &nrc)) answer = &answer_;
    } else if (ecu_->hear(*request, tx_end, answer_)) {
      answer = &answer_;
    }
  }
  if (ecu_ && !was_awake && ecu_->awake()) trace_.event(tx_end, ecu_name(*ecu_) + " awake");

  const AnswerTiming timing{kP2, kP2Max, kLateP2, kP3Min, bt, "answer checksum wrong: discarded"};
  const auto outcome =
      schedule_answer(tx_end, answer ? std::span<Bytes>(answer, 1) : std::span<Bytes>(), fault, timing);
  Result r;
  r.ok = outcome.ok;
  r.answer = outcome.ok ? answer : nullptr;
  r.done_at = outcome.done_at;
  if (ecu_ && was_awake && !ecu_->awake())
    trace_.event(last_activity_, ecu_name(*ecu_) + " asleep (communication ended)");
  return r;
}

int KLine::set_link_keep(const std::uint8_t *frame, int length, int a, int b) {
  catch_up();
  if (!frame || length <= 0) {
    if (keep_alive_) trace_.event(now(), "keep-alive stopped");
    keep_alive_.reset();
    return 0;
  }
  if (length > 255 ||
      ecusim::frame_length(frame, static_cast<std::size_t>(length)) != static_cast<std::size_t>(length)) {
    set_error("keep-alive frame length does not match its format byte");
    return -1;
  }
  keep_alive_ = Bytes(frame, frame + length);
  char s[64];
  std::snprintf(s, sizeof s, " every %.0f ms (%d, %d)", kKeepAlivePeriod, a, b);
  trace_.event(now(), "keep-alive armed: " + hex_bytes(*keep_alive_) + s);
  return 0;
}

}  // namespace vci
