// Serial line services: port life, wake-up, echo-checked transmission, answer assembly,
// and the keep-alive thread.
#include "serial_line.h"

#include "line_timing.h"

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstring>

namespace vci {
namespace {

std::string fmt(const char *format, double a, double b = 0, double c = 0, double d = 0) {
  char s[192];
  std::snprintf(s, sizeof s, format, a, b, c, d);
  return s;
}

// Where the service identifier of a KWP2000 frame sits: after the format byte, the two
// addresses when the format byte announces them, and the length byte when it is separate.
std::size_t service_offset(const WireBytes &f) {
  std::size_t at = (f[0] & 0xC0) != 0 ? 3 : 1;
  if ((f[0] & 0x3F) == 0) ++at;
  return at;
}

bool response_pending(const WireBytes &f) {
  const std::size_t s = service_offset(f);
  return f.size() > s + 3 && f[s] == 0x7F && f[s + 2] == 0x78;
}

}  // namespace

SerialLine::SerialLine(WireTrace &trace) : LineBase(trace) {
  keeper_ = std::thread([this] { keeper_loop(); });
}

SerialLine::~SerialLine() {
  {
    Lock l(mutex_);
    stopping_ = true;
  }
  keeper_wake_.notify_all();
  keeper_.join();
}

// ---- control ----

bool SerialLine::use_port(const std::string &device, const PortSettings &settings) {
  Lock l(mutex_);
  refused_.clear();
  port_.reset();
  device_ = device;
  settings_ = settings;
  return open_port(l);
}

bool SerialLine::open_port(const Lock &) {
  std::string error;
  port_ = SerialPort::open(device_, settings_, error);
  if (!port_) {
    trace_.event(now(), "port " + device_ + " not opened: " + error);
    set_error(error);
    return false;
  }
  trace_.event(now(), "port " + device_ + " opened" + port_->open_notes());
  if (!port_->warning().empty()) note_user(port_->warning());
  baud_ = 0;
  echo_seen_ = false;
  last_activity_ = now();
  line_free_at_ = last_activity_;
  return true;
}

void SerialLine::use_clock(bool virtual_time, bool traced) {
  if (virtual_time && traced) trace_.event(now(), "virtual clock refused: a serial line runs in real time");
}

void SerialLine::advance(unsigned ms) { sleep_until(now() + ms); }

std::string SerialLine::take_user_notes() {
  Lock l(mutex_);
  std::string n;
  n.swap(user_notes_);
  return n;
}

void SerialLine::refuse_configuration(const std::string &why) {
  Lock l(mutex_);
  port_.reset();
  refused_ = why;
  note_user(why);
  set_error(why);
}

void SerialLine::note_user(const std::string &text) {
  if (user_notes_.find(text) == std::string::npos) user_notes_ += text + "\n";
}

int SerialLine::fail_noted(const std::string &why) {
  note_user(why);
  return fail(why);
}

void SerialLine::port_lost(const std::string &why) {
  trace_.event(now(), "port lost: " + why);
  note_user("the line stopped working (" + why +
            "): cable unplugged or interface gone; the next session opens the port again");
  port_.reset();
  baud_ = 0;
}

void SerialLine::sleep_until(double t_ms) { clock_->wait_until(t_ms); }

// ---- settings ----

int SerialLine::select_pin(int connector, int a, int b, int c, int d) {
  Lock l(mutex_);
  if (!port_ && !device_.empty() && !open_port(l)) return fail_noted(last_error());
  if (!port_) return fail(refused_.empty() ? "no serial port chosen" : refused_);
  return LineBase::select_pin(connector, a, b, c, d);
}

void SerialLine::setting(const std::string &what) {
  Lock l(mutex_);
  LineBase::setting(what);
}

int SerialLine::begin_combination() {
  Lock l(mutex_);
  return LineBase::begin_combination();
}

int SerialLine::end_combination() {
  Lock l(mutex_);
  return LineBase::end_combination();
}

void SerialLine::set_time_interval(double gap, int b, int c) {
  Lock l(mutex_);
  LineBase::set_time_interval(gap, b, c);
}

void SerialLine::voltage_logic(int a, int b) {
  Lock l(mutex_);
  LineBase::setting("voltage logic " + std::to_string(a) + ' ' + std::to_string(b) + " (set by the cable)");
}

int SerialLine::set_baud(double baud) {
  Lock l(mutex_);
  if (LineBase::set_baud(baud) != 0) return -1;
  baud_ = 0;
  if (!port_) return fail(no_port());
  double actual = 0;
  std::string how, error;
  if (!port_->set_rate(baud, actual, how, error)) return fail_noted("baud rate " + fmt("%.0f", baud) + ": " + error);
  const double off = std::fabs(actual - baud) / baud;
  if (off > kRateTolerance) {
    const std::string why = fmt("the port cannot make %.0f baud: it gives %.0f (%.1f %% off; at most 0.5 %% is usable)",
                                baud, actual, off * 100) +
                            (port_->driver().empty() ? "" : " with the " + port_->driver() + " driver");
    trace_.event(now(), "baud rate refused: " + why);
    return fail_noted(why);
  }
  baud_ = baud;
  trace_.event(now(), fmt("port rate %.2f baud", actual) + " (" + how + ")");
  return 0;
}

// ---- wake-up ----

int SerialLine::line_voltage(int mode, int low_ms, int high_ms) {
  Lock l(mutex_);
  if (!port_) return fail(no_port());
  if (mode != 2) {
    LineBase::setting(fmt("line pulse mode %.0f not driven", mode));
    return 0;
  }
  // Without a usable rate nothing could follow the pattern (a refused rate was said already).
  if (baud_ <= 0) return fail("no usable baud rate set: fast init not driven");
  if (low_ms <= 0 || high_ms < 0 || low_ms > 1000 || high_ms > 1000)
    return fail(fmt("fast-init times %.0f / %.0f ms out of range", low_ms, high_ms));
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
  port_->drain();  // a new rate must not cut the byte's last bits off
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

// ---- requests ----

void SerialLine::trace_notes(WireAssembler &as) {
  for (const WireNote &n : as.take_notes()) trace_.event(n.t_ms, n.text);
}

bool SerialLine::transmit(const WireBytes &frame, WireAssembler &as) {
  const double bt = byte_ms(baud_);
  std::string error;
  double next = now();
  double last_echo_gap = 0;
  trace_.frame(next, "T>", frame);
  for (std::uint8_t b : frame) {
    sleep_until(next);
    const double sent_at = now();
    if (!port_->write(&b, 1, error)) {
      port_lost(error);
      fail(error);
      return false;
    }
    if (!settings_.echo) {
      next = sent_at + bt + byte_gap_ms_;
      continue;
    }
    as.expect_echo(&b, 1);
    const double deadline = sent_at + bt + kEchoWait;
    std::uint8_t buf[64];
    while (as.echo_pending() != 0 && !as.echo_mismatch()) {
      std::size_t got = 0;
      // Past the deadline one more look without waiting: this process may have been held
      // up itself while the echo was already there.
      const auto r = port_->read(buf, sizeof buf, got, deadline - now(), error);
      if (r == SerialPort::Read::Lost) {
        port_lost(error);
        fail(error);
        return false;
      }
      if (r == SerialPort::Read::Data) {
        as.feed(buf, got, now());
        continue;
      }
      if (now() < deadline) continue;
      trace_.event(now(), "no echo of byte " + WireTrace::hex({b}));
      fail_noted(echo_seen_ ? "the line gave no echo of a request byte: bus fault (K line shorted or open?)"
                            : "the interface does not echo: with a cable that removes the echo itself, set the port "
                              "option echo=off");
      return false;
    }
    trace_notes(as);
    if (as.echo_mismatch()) {
      fail_noted("the line gave back other bytes than were sent: bus error (another tester or noise on the K line?)");
      return false;
    }
    echo_seen_ = true;
    last_echo_gap = now() - sent_at;
    next = std::max(now(), sent_at + bt) + byte_gap_ms_;
  }
  if (settings_.echo)
    trace_.event(now(), "echo " + WireTrace::hex(frame) + fmt(" (last after %.1f ms)", last_echo_gap));
  last_activity_ = std::max(now(), next - byte_gap_ms_);
  return true;
}

SerialLine::Exchange SerialLine::receive(WireAssembler &as, double from, double wait, WireProtocol protocol) {
  Exchange ex;
  ex.wait_ms = wait;
  double deadline = from + wait;
  std::uint8_t buf[128];
  std::string error;
  bool late_look = false;  // the one read allowed past the deadline
  while (true) {
    const double t = now();
    if (!as.receiving() && t >= deadline) {
      if (late_look) break;
      late_look = true;
    }
    const double until = as.receiving() ? as.last_byte_ms() + kP1Max + 0.5 : deadline;
    std::size_t got = 0;
    // A read is tried even past the deadline: what arrived while this process was held up
    // counts, and its time is when it is read.
    const auto r = port_->read(buf, sizeof buf, got, until - t, error);
    if (r == SerialPort::Read::Lost) {
      port_lost(error);
      ex.ok = false;
      return ex;
    }
    if (r == SerialPort::Read::Data) {
      as.feed(buf, got, now());
    } else {
      as.idle(now());
    }
    trace_notes(as);
    while (auto f = as.next_frame()) {
      trace_.frame(f->start_ms, "E<", f->bytes);
      last_activity_ = f->end_ms;
      if (!f->checksum_ok) {
        trace_.event(f->end_ms, "answer checksum wrong: discarded");
        continue;
      }
      if (protocol == WireProtocol::Kwp && response_pending(f->bytes)) {
        trace_.event(f->end_ms, "response pending: waiting up to 5000 ms");
        deadline = f->end_ms + kPendingWait;
        ex.wait_ms = kPendingWait;
        late_look = false;
        continue;
      }
      ex.frames.push_back(std::move(f->bytes));
      ex.ok = true;
      if (protocol == WireProtocol::Aldl) return ex;
      deadline = f->end_ms + kP2Max;  // another frame may follow within P2max
      ex.wait_ms = kP2Max;
      late_look = false;
    }
  }
  last_activity_ = std::max(last_activity_, as.last_byte_ms());
  return ex;
}

SerialLine::Exchange SerialLine::kwp_exchange(const WireBytes &frame) {
  sleep_until(line_free_at_);
  // Bytes waiting now came after the last answer was given up (a late answer, noise): P3
  // counts from the last byte on the line, so wait until it has been quiet that long.
  if (const std::size_t stray = port_->discard_input()) {
    trace_.event(now(), std::to_string(stray) + " stray byte(s) dropped before the request");
    if (!wait_quiet(kP3Min, kSerialQuietLimit)) return {};
  }
  WireAssembler as(WireProtocol::Kwp, kP1Max);
  if (!transmit(frame, as)) {
    if (port_) line_free_at_ = now() + kP3Min;
    return {};
  }
  const double tx_end = last_activity_;
  Exchange ex = receive(as, tx_end, kP2Max, WireProtocol::Kwp);
  if (!port_) return ex;
  if (ex.frames.empty()) trace_.event(now(), no_answer_note(ex.wait_ms));
  line_free_at_ = std::max(last_activity_, tx_end) + kP3Min;
  return ex;
}

int SerialLine::deliver_frames(const std::vector<WireBytes> &frames, std::uint8_t *answer) {
  std::size_t at = 1;
  int count = 0;
  for (const WireBytes &f : frames) {
    if (at + 1 + f.size() > kAnswerBufferSize) break;  // never past the caller's buffer
    answer[at] = static_cast<std::uint8_t>(f.size());
    std::memcpy(answer + at + 1, f.data(), f.size());
    at += 1 + f.size();
    ++count;
  }
  answer[0] = static_cast<std::uint8_t>(count);
  return count;
}

int SerialLine::send(const std::uint8_t *frame, std::uint8_t *answer) {
  Lock l(mutex_);
  if (!frame || !answer) return fail("null frame or answer buffer");
  if (!port_) return fail(no_port());
  if (!ready_to_send(true)) return -1;
  // The length comes from the frame's own format and length bytes, read one at a time so
  // that nothing past the announced frame (at most 260 bytes) is touched.
  std::size_t have = 1;
  int size = 0;
  while ((size = kwp_frame_size(frame, have)) == 0) ++have;
  if (size < 5) return fail("frame does not start with a KWP2000 format byte");
  if (static_cast<std::size_t>(size) > kMaxRequestBytes) {
    trace_.event(now(), "request refused: " + std::to_string(size) + " bytes announced, at most " +
                            std::to_string(kMaxRequestBytes));
    return fail("request longer than " + std::to_string(kMaxRequestBytes) + " bytes");
  }
  const WireBytes f(frame, frame + size);
  Exchange ex = kwp_exchange(f);
  keeper_wake_.notify_all();
  if (!ex.ok || ex.frames.empty()) return fail(port_ ? "no valid answer" : last_error());
  return deliver_frames(ex.frames, answer);
}

bool SerialLine::wait_quiet(double quiet_ms, double limit_ms) {
  const double start = now();
  double last = start;
  std::size_t dropped = 0;
  std::uint8_t buf[64];
  std::string error;
  while (now() - last < quiet_ms) {
    if (now() - start > limit_ms) {
      trace_.event(now(), std::to_string(dropped) + " chatter byte(s): the line never went quiet");
      return false;
    }
    std::size_t got = 0;
    const auto r = port_->read(buf, sizeof buf, got, last + quiet_ms - now(), error);
    if (r == SerialPort::Read::Lost) {
      port_lost(error);
      return false;
    }
    if (r == SerialPort::Read::Data) {
      dropped += got;
      last = now();
    }
  }
  if (dropped != 0) trace_.event(now(), std::to_string(dropped) + " chatter byte(s) before the request");
  return true;
}

int SerialLine::send_aldl(const std::uint8_t *frame, int length, std::uint8_t *answer) {
  Lock l(mutex_);
  if (!frame || !answer) return fail("null frame or answer buffer");
  if (length < 4 || length > static_cast<int>(kMaxAldlFrame))
    return fail("ALDL frame length " + std::to_string(length) + " out of 4..173");
  if (!port_) return fail(no_port());
  if (!ready_to_send(true)) return -1;
  sleep_until(line_free_at_);
  if (!wait_quiet(kSerialAldlQuiet, kSerialQuietLimit))
    return fail(port_ ? "the ALDL line never went quiet" : last_error());
  const WireBytes f(frame, frame + length);
  WireAssembler as(WireProtocol::Aldl, kP1Max, f[0]);
  if (!transmit(f, as)) return -1;
  const double tx_end = last_activity_;
  Exchange ex = receive(as, tx_end, kSerialAldlWait, WireProtocol::Aldl);
  if (!port_) return fail(last_error());
  line_free_at_ = last_activity_;
  if (!ex.ok) {
    trace_.event(now(), no_answer_note(ex.wait_ms));
    return fail("no valid answer");
  }
  return deliver_frames(ex.frames, answer);
}

// ---- keep-alive ----

int SerialLine::set_link_keep(const std::uint8_t *frame, int length, int a, int b) {
  Lock l(mutex_);
  if (!frame || length <= 0) {
    if (keep_alive_) trace_.event(now(), "keep-alive stopped");
    keep_alive_.reset();
    return 0;
  }
  if (length > static_cast<int>(kMaxKwpFrame) || kwp_frame_size(frame, static_cast<std::size_t>(length)) != length) {
    set_error("keep-alive frame length does not match its format byte");
    return -1;
  }
  keep_alive_ = WireBytes(frame, frame + length);
  keep_alive_failures_ = 0;
  trace_.event(now(), "keep-alive armed: " + WireTrace::hex(*keep_alive_) +
                          fmt(" when the line idles %.0f ms (%.0f, %.0f)", kKeepAlivePeriod, a, b));
  l.unlock();
  keeper_wake_.notify_all();
  return 0;
}

void SerialLine::keeper_loop() {
  Lock l(mutex_);
  while (!stopping_) {
    if (!keep_alive_ || !port_ || baud_ <= 0) {
      keeper_wake_.wait(l);
      continue;
    }
    const double due = std::max(last_activity_ + kKeepAlivePeriod, line_free_at_);
    const double t = now();
    if (t < due) {
      keeper_wake_.wait_for(l, std::chrono::duration<double, std::milli>(due - t));
      continue;
    }
    // The answer is read and dropped; only failures are worth a line.
    trace_.event(now(), "keep-alive");
    const Exchange ex = kwp_exchange(*keep_alive_);
    if (ex.ok) {
      keep_alive_failures_ = 0;
    } else if (port_) {
      ++keep_alive_failures_;
      trace_.event(now(), "keep-alive unanswered (" + std::to_string(keep_alive_failures_) + " in a row)");
    }
  }
}

}  // namespace vci
