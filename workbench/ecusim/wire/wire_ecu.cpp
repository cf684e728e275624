// Event loop, echo, rate check, request hand-over and paced answers.
#include "wire_ecu.h"

#include <poll.h>

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <iterator>
#include <string>

namespace ecusim::wire {
namespace {

bool within(double rate, double nominal) { return std::fabs(rate - nominal) <= nominal * kBaudTolerance; }

std::string text(const char *fmt, double a, double b = 0) {
  char s[128];
  std::snprintf(s, sizeof s, fmt, a, b);
  return s;
}

}  // namespace

WireEcu::WireEcu(WirePort &port, ModelFront &front, WireLog &log, const WireClock &clock, EchoMode echo,
                 const WireTiming &timing)
    : port_(port), front_(front), log_(log), clock_(clock), echo_(echo), assembler_(front.framing()), timing_(timing) {}

int WireEcu::run(const volatile std::sig_atomic_t &stop, const sigset_t *poll_mask) {
  while (!stop) {
    const double now = clock_.now_ms();
    if (auto d = assembler_.expire(now)) note_drop(*d, now);
    send_due(now);
    deliver_held(now);
    if (closed_) {
      log_.line(now, "line closed by the fault");
      return 0;
    }
    front_.settle(now);

    const auto deadline = next_deadline();
    timespec wait{};
    if (deadline) wait = clock_.until(*deadline);
    pollfd p{port_.fd(), POLLIN, 0};
    const int r = ppoll(&p, 1, deadline ? &wait : nullptr, poll_mask);
    if (r < 0) {
      if (errno == EINTR) continue;
      log_.line(clock_.now_ms(), std::string("line failed: ") + std::strerror(errno));
      return 1;
    }
    if (p.revents & POLLIN)
      while (auto byte = port_.read_byte()) receive(*byte, clock_.now_ms());
    if (port_.failed() || (!(p.revents & POLLIN) && (p.revents & (POLLERR | POLLHUP | POLLNVAL)))) {
      log_.line(clock_.now_ms(), "line closed: " + port_.path());
      return 1;
    }
  }
  return 0;
}

std::optional<double> WireEcu::next_deadline() const {
  std::optional<double> d;
  auto earliest = [&d](std::optional<double> t) {
    if (t && (!d || *t < *d)) d = t;
  };
  if (sending_)
    earliest(sending_->next_at);
  else if (later_)
    earliest(later_->next_at);
  earliest(assembler_.deadline());
  earliest(noise_at_);
  if (!held_.empty()) earliest(held_.front().due);
  earliest(front_.sleep_due());
  return d;
}

void WireEcu::receive(const LineByte &byte, double now) {
  ++received_;
  // The rate first: over a pty the tester may switch it as soon as it has the echo.
  const double rate = port_.rate();
  echo(byte);
  if (!decodable(byte, rate, now)) return;
  const auto step = assembler_.push(byte.value, now);
  if (step.dropped) note_drop(*step.dropped, now);
  if (assembler_.pending() == 1) frame_began_while_answering_ = answering();
  if (step.request) take(*step.request);
}

void WireEcu::echo(const LineByte &byte) {
  // A break cannot be echoed at the tester's rate; the tester drove the line itself.
  if (echo_.kind == EchoMode::Kind::Off || byte.framing_error) return;
  std::uint8_t out = byte.value;
  if (echo_.kind == EchoMode::Kind::Corrupt && received_ == echo_.corrupt_byte) out = static_cast<std::uint8_t>(~out);
  const bool sent = put(out, clock_.now_ms());
  if (!sent && !echo_lost_) log_.line(clock_.now_ms(), "echo lost: the tester's side takes no more bytes");
  echo_lost_ = !sent;
}

// Whether the byte counts as part of a request; the wake-up pulse and bytes at a foreign
// rate are dealt with here.
bool WireEcu::decodable(const LineByte &byte, double rate, double now) {
  const bool fast_init = front_.takes_fast_init() && byte.value == 0x00 &&
                         (byte.framing_error || (port_.is_pty() && within(rate, kFastInitBaud)));
  if (fast_init) {
    if (auto d = assembler_.abandon()) note_drop(*d, now);
    front_.hear_wakeup(now);
    log_.line(now, byte.framing_error ? "wake-up pattern (break)" : text("wake-up pattern (0x00 at %.0f baud)", rate));
    // A fast init starts afresh: the quiet time after an earlier answer no longer applies.
    answer_end_ms_ = -std::numeric_limits<double>::infinity();
    logged_rate_ = rate;
    return false;
  }
  if (byte.framing_error) {
    if (auto d = assembler_.abandon()) note_drop(*d, now);
    log_.line(now, "ignored: framing error");
    front_.hear_noise();
    return false;
  }
  const bool ok = within(rate, front_.ecu_baud());
  if (std::lround(rate) != std::lround(logged_rate_)) {
    logged_rate_ = rate;
    log_.line(now, ok ? text("rate %.0f baud", rate)
                      : text("ignored: rate %.0f baud outside %.0f +-2 %%", rate, front_.ecu_baud()));
  }
  if (ok) return true;
  if (auto d = assembler_.abandon()) note_drop(*d, now);
  front_.hear_noise();
  return false;
}

void WireEcu::take(const Assembled &request) {
  const double t = request.last_ms;
  if (frame_began_while_answering_ || request.first_ms - answer_end_ms_ < front_.min_quiet_ms()) {
    log_.line(t, "request " + hex_bytes(request.frame));
    if (frame_began_while_answering_)
      log_.line(t, "ignored: request while the ECU was answering");
    else
      log_.line(t, text("ignored: request %.1f ms after the answer (P3min 55 ms)", request.first_ms - answer_end_ms_));
    front_.settle(t);
    return;
  }
  auto reply = front_.hear(request);
  if (!reply) return;
  sending_ = Outgoing{std::move(reply->frame), 0, t + reply->delay_ms, reply->endless, reply->cut_after};
  if (reply->later) later_ = Outgoing{std::move(*reply->later), 0, sending_->next_at + reply->later_ms};
  if (timing_.noise_ms > 0) noise_at_ = std::max(t, sending_->next_at - timing_.noise_ms);
}

bool WireEcu::put(std::uint8_t byte, double now) {
  if (timing_.burst_ms <= 0) return port_.write_byte(byte);
  // A USB adapter hands over what it gathered when its latency timer runs out.
  held_.push_back({std::ceil(now / timing_.burst_ms) * timing_.burst_ms, byte});
  return true;
}

void WireEcu::deliver_held(double now) {
  while (!held_.empty() && (held_.front().due <= now || closed_)) {
    port_.write_byte(held_.front().byte);
    held_.pop_front();
  }
}

// Gaps up to the maximum, in a fixed pattern so that a run can be repeated; every
// fifth gap is the maximum itself.
double WireEcu::gap_after_byte() {
  static constexpr double kShare[] = {1.0, 0.5, 0.85, 0.25, 0.7};
  if (timing_.gap_ms <= 0) return 0;
  return timing_.gap_ms * kShare[gap_index_++ % std::size(kShare)];
}

void WireEcu::send_due(double now) {
  while (true) {
    if (!sending_ && later_ && later_->next_at <= now) {
      sending_ = std::move(later_);
      later_.reset();
    }
    if (noise_at_ && *noise_at_ <= now) {
      char s[48];
      std::snprintf(s, sizeof s, "noise %02X before the answer", noise_byte_);
      log_.line(now, s);
      put(noise_byte_, now);
      noise_byte_ = static_cast<std::uint8_t>(~noise_byte_);
      noise_at_.reset();
    }
    if (!sending_ || sending_->next_at > now) return;
    Outgoing &out = *sending_;
    if (!out.logged) log_.line(now, "answer " + hex_bytes(out.bytes));
    out.logged = true;
    put(out.bytes[out.next++], now);
    if (out.cut_after != 0 && out.next == out.cut_after) {
      log_.line(now, "fault cut: the line closes after " + std::to_string(out.next) + " bytes");
      closed_ = true;
      sending_.reset();
      later_.reset();
      return;
    }
    if (out.next == out.bytes.size()) {
      answer_end_ms_ = now;
      if (out.endless) {
        out.next = 0;
        out.next_at = now + kEndlessPauseMs;
        continue;
      }
      sending_.reset();
      continue;
    }
    // Paced from the previous deadline, not from now: a late wake-up does not push the rest.
    double rate = port_.rate();
    if (rate < 50) rate = front_.port_baud();
    out.next_at += kBitsPerByte * 1000.0 / rate + gap_after_byte();
  }
}

void WireEcu::note_drop(const Dropped &dropped, double now) {
  const char *unit = dropped.bytes == 1 ? "byte" : "bytes";
  char s[128];
  switch (dropped.why) {
    case Dropped::Why::Gap:
      std::snprintf(s, sizeof s, "frame dropped: %.0f ms gap after %zu %s", dropped.gap_ms, dropped.bytes, unit);
      break;
    case Dropped::Why::BadLengthCode:
      std::snprintf(s, sizeof s, "frame dropped: length code %02X (below 56)", dropped.code);
      break;
    case Dropped::Why::Abandoned:
      std::snprintf(s, sizeof s, "frame dropped: %zu %s, then a byte that could not be decoded", dropped.bytes, unit);
      break;
  }
  log_.line(now, s);
}

}  // namespace ecusim::wire
