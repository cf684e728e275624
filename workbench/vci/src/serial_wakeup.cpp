// Fast init on a real cable: a held break, or a 0x00 byte at 360 baud where the port cannot
// hold a break on the wire, after the idle time the ECU needs.
#include "serial_line.h"

#include "line_timing.h"

#include <algorithm>
#include <cmath>

namespace vci {

int SerialLine::line_voltage(int mode, int low_ms, int high_ms) {
  Lock l(mutex_);
  if (!port_) return fail(no_port());
  if (mode != 2) {
    Line::setting(fmt("line pulse mode %.0f not driven", mode));
    return 0;
  }
  // Without a usable rate nothing could follow the pattern (a refused rate was said already).
  if (baud_ <= 0) return fail("no usable baud rate set: fast init not driven");
  if (low_ms <= 0 || high_ms < 0 || low_ms > 1000 || high_ms > 1000)
    return fail(fmt("fast-init times %.0f / %.0f ms out of range", low_ms, high_ms));
  wake_low_ms_ = low_ms;
  wake_high_ms_ = high_ms;
  return wake(low_ms, high_ms);
}

int SerialLine::wake(int low_ms, int high_ms) {
  // The ECU takes a pattern only after the line was idle long enough.
  sleep_until(std::max(now(), last_activity_ + kIdleBeforeInit));
  Wakeup how = settings_.wakeup;
  if (how == Wakeup::Auto) how = port_->break_reaches_wire() ? Wakeup::Break : Wakeup::Byte;
  const int r = how == Wakeup::Break ? wake_by_break(low_ms, high_ms) : wake_by_byte(low_ms, high_ms);
  last_activity_ = now();
  line_free_at_ = last_activity_;  // StartCommunication follows the pattern at once
  return r;
}

int SerialLine::wake_by_break(int low_ms, int high_ms) {
  port_->discard_input();
  const double t0 = now();
  if (!port_->set_break(true)) return fail_noted("the port refused to hold a break (use the port option wakeup=byte)");
  sleep_until(t0 + low_ms);
  const double t1 = now();
  port_->set_break(false);
  sleep_until(t1 + high_ms);
  const double t2 = now();
  port_->discard_input();  // what the break left in the receiver
  trace_.event(
      t0, fmt("fast init by break: low %.1f ms, high %.1f ms (asked %.0f, %.0f)", t1 - t0, t2 - t1, low_ms, high_ms));
  return 0;
}

int SerialLine::wake_by_byte(int low_ms, int high_ms) {
  const double line_rate = baud_;
  double actual = 0;
  std::string how, error;
  if (!port_->set_rate(kWakeByteBaud, actual, how, error) || std::fabs(actual - kWakeByteBaud) > kWakeByteBaud * 0.02)
    return fail_noted(fmt("the port cannot make %.0f baud for the wake-up byte (gives %.0f); use wakeup=break",
                          kWakeByteBaud, actual));
  port_->discard_input();
  const double t0 = now();
  const std::uint8_t zero = 0;
  if (!port_->write(&zero, 1, error)) {
    port_lost(error);
    return fail(error);
  }
  double echo_at = -1;
  if (settings_.echo) {
    std::uint8_t b = 0;
    std::size_t got = 0;
    const double deadline = t0 + 10 * 1000.0 / kWakeByteBaud + kEchoWait;
    while (now() < deadline) {
      const auto r = port_->read(&b, 1, got, deadline - now(), error);
      if (r == SerialPort::Read::Lost) {
        port_lost(error);
        return fail(error);
      }
      if (r == SerialPort::Read::Data) {
        echo_at = now();
        break;
      }
    }
  }
  // The low level lasts nine bit times whatever the caller asked; the high time is kept
  // from the end of the low level, after the rate is back.
  const double low_end = t0 + kWakeByteLowMs;
  sleep_until(low_end);
  // A new rate must not cut the byte's last bits off.
  port_->drain(t0 + byte_ms(kWakeByteBaud) - now(), kDrainLimit);
  if (!port_->set_rate(line_rate, actual, how, error)) {
    port_lost(error);
    return fail(error);
  }
  sleep_until(low_end + high_ms);
  const double end = now();
  trace_.event(t0, fmt("fast init by 0x00 at 360 baud: low %.1f ms (9 bit times), high %.1f ms (asked %.0f, %.0f)",
                       kWakeByteLowMs, end - low_end, low_ms, high_ms) +
                       (settings_.echo ? (echo_at < 0 ? "; no echo" : fmt("; echo after %.1f ms", echo_at - t0))
                                       : std::string()));
  port_->discard_input();
  return 0;
}

}  // namespace vci
