// The serial line's life and services: the port opened, lost and reopened, the settings the
// plug-in makes, and its KWP2000 and ALDL requests handed to the exchange.
#include "serial_line.h"

#include "line_timing.h"
#include "repeat_policy.h"

#include <cmath>
#include <cstdio>
#include <cstring>

namespace vci {

std::string SerialLine::fmt(const char *format, double a, double b, double c, double d) {
  char s[192];
  std::snprintf(s, sizeof s, format, a, b, c, d);
  return s;
}

SerialLine::SerialLine(WireTrace &trace) : Line(trace) {
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
  return Line::select_pin(connector, a, b, c, d);
}

void SerialLine::setting(const std::string &what) {
  Lock l(mutex_);
  Line::setting(what);
}

int SerialLine::begin_combination() {
  Lock l(mutex_);
  return Line::begin_combination();
}

int SerialLine::end_combination() {
  Lock l(mutex_);
  return Line::end_combination();
}

void SerialLine::set_time_interval(double gap, int b, int c) {
  Lock l(mutex_);
  Line::set_time_interval(gap, b, c);
}

void SerialLine::voltage_logic(int a, int b) {
  Lock l(mutex_);
  Line::setting("voltage logic " + std::to_string(a) + ' ' + std::to_string(b) + " (set by the cable)");
}

int SerialLine::set_baud(double baud) {
  Lock l(mutex_);
  if (Line::set_baud(baud) != 0) return -1;
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

// ---- requests ----

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
  const Exchange ex = kwp_request(f);
  keeper_wake_.notify_all();
  switch (ex.ending) {
    case Ending::Answer: return put_answer_frames(ex.frames, answer);
    case Ending::EchoFault:
    case Ending::PortLost: return fail_transmit();
    case Ending::Chatter:
      return fail_noted(
          "the K line never stopped talking: bus error (another device on the line, or an ECU that "
          "keeps sending?)");
    case Ending::NoAnswer:
    case Ending::Cut:
    case Ending::Spoilt: break;
  }
  return fail("no valid answer");
}

int SerialLine::send_aldl(const std::uint8_t *frame, int length, std::uint8_t *answer) {
  Lock l(mutex_);
  if (!frame || !answer) return fail("null frame or answer buffer");
  if (length < 4 || length > static_cast<int>(kMaxAldlFrame))
    return fail("ALDL frame length " + std::to_string(length) + " out of 4..173");
  if (!port_) return fail(no_port());
  if (!ready_to_send(true)) return -1;
  const WireBytes f(frame, frame + length);
  Repeats repeats(kRepeats, aldl_mode_repeatable(f[2]));
  transmit_failure_ = {};
  Exchange ex;
  do {
    if (repeats.done() > 0) trace_.event(now(), repeats.mark(repeat_reason(ex.ending)));
    // The quiet gap counts from the last byte on the line, not from now.
    sleep_until(line_free_at_);
    if (!wait_quiet(kSerialAldlQuiet, kSerialQuietLimit, last_activity_))
      return fail(port_ ? "the ALDL line never went quiet" : last_error());
    WireAssembler as(WireProtocol::Aldl, budget().frame_end(), f[0]);
    if (!transmit(f, as, Origin::Caller)) {
      if (!port_) return fail_transmit();
      ex = {};
      ex.ending = Ending::EchoFault;
      line_free_at_ = now() + kAfterCutRequest;
      continue;
    }
    const double tx_end = last_activity_;
    ex = receive(as, tx_end, kSerialAldlWait, WireProtocol::Aldl, {});
    if (!port_) return fail(last_error());
    line_free_at_ = last_activity_;
    if (ex.ok()) return put_answer_frames(ex.frames, answer);
    trace_.event(now(), no_answer_note(ex.wait_ms));
  } while (ex.worth_repeating() && repeats.another());
  if (ex.ending == Ending::EchoFault) return fail_transmit();
  return fail("no valid answer");
}

}  // namespace vci
