// The ELM327 line: set-up, fast init, requests as command lines, replies read back,
// keep-alive by the adapter or by a thread of its own.
#include "elm327_line.h"

#include "kwp_services.h"
#include "line_timing.h"
#include "repeat_policy.h"
#include "wire_assembler.h"

#include "ecusim/kwp_frame.h"

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstring>

namespace vci {
namespace {

constexpr double kSettingLimit = 1000;  // an AT command's reply
constexpr double kResetLimit = 3000;    // ATZ: the adapter restarts
constexpr double kInitLimit = 5000;     // a fast init (the adapter retries it itself)
constexpr double kRequestLimit = 3000;  // a request: the adapter's time-out is far shorter
constexpr int kAdapterRepeats = 1;      // a lost answer to a reading request is asked for once more

std::string hex2(unsigned v) {
  char s[4];
  std::snprintf(s, sizeof s, "%02X", v & 0xFFu);
  return s;
}

std::string hex_spaced(const std::vector<std::uint8_t> &b) {
  std::string s;
  for (std::uint8_t x : b) s += (s.empty() ? "" : " ") + hex2(x);
  return s;
}

// ATST counts in steps of 4.096 ms; the wait covers P2max whole.
unsigned st_steps(double p2max_ms) { return static_cast<unsigned>(std::ceil(p2max_ms / 4.096)); }

// ATSW counts in steps of 20 ms.
unsigned sw_steps(double period_ms) { return static_cast<unsigned>(std::lround(period_ms / 20.0)); }

std::string same_text(std::string s) {
  std::erase(s, ' ');
  for (char &c : s) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  return s;
}

}  // namespace

std::string describe_caps(const AdapterCaps &c) {
  auto yn = [](bool v) { return v ? "yes" : "no"; };
  char rate[64];
  if (c.host_baud > 0)
    std::snprintf(rate, sizeof rate, "%.0f baud", c.host_baud);
  else
    std::snprintf(rate, sizeof rate, "network connection");
  std::string s;
  s += "adapter:                   " + c.version + "\n";
  s += std::string("host rate:                 ") + rate + "\n";
  s += std::string("fast init on demand ATFI:  ") + (c.fast_init_tried ? yn(c.fast_init) : "not tried") + "\n";
  s += std::string("long answers ATAL:         ") + yn(c.long_answers) + "\n";
  s += std::string("responses-expected digit:  ") + (c.digit_tried ? yn(c.expected_digit) : "not tried") + "\n";
  s += std::string("wake-up message ATWM:      ") + yn(c.wakeup_message) + "\n";
  s += std::string("wake-up period ATSW:       ") + yn(c.wakeup_period) + "\n";
  s += std::string("headers ATH1, ATSH x y z:  ") + yn(c.header) + "\n";
  s += std::string("time-out ATST:             ") + yn(c.timeout) + "\n";
  s += std::string("adaptive timing off ATAT0: ") + yn(c.adaptive) + "\n";
  return s;
}

ElmLine::ElmLine(WireTrace &trace) : LineBase(trace) {
  keeper_ = std::thread([this] { keeper_loop(); });
}

ElmLine::~ElmLine() {
  {
    Lock l(mutex_);
    stopping_ = true;
  }
  keeper_wake_.notify_all();
  keeper_.join();
}

// ---- control ----

bool ElmLine::use_adapter(std::unique_ptr<AdapterTransport> transport, const AdapterCaps &found) {
  Lock l(mutex_);
  transport_ = std::move(transport);
  caps_ = found;
  trace_.event(now(), "ELM327 adapter on " + transport_->where());
  if (!set_up()) return false;
  std::string table = describe_caps(caps_);
  table.pop_back();
  for (std::size_t at = 0, nl = 0; at < table.size(); at = nl + 1) {
    nl = table.find('\n', at);
    if (nl == std::string::npos) nl = table.size();
    trace_.event(now(), "capability " + table.substr(at, nl - at));
  }
  return true;
}

void ElmLine::use_clock(bool virtual_time, bool traced) {
  if (virtual_time && traced) trace_.event(now(), "virtual clock refused: an adapter runs in real time");
}

void ElmLine::advance(unsigned ms) { clock_->wait_until(now() + ms); }

std::string ElmLine::take_user_notes() {
  Lock l(mutex_);
  std::string n;
  n.swap(user_notes_);
  return n;
}

void ElmLine::note_user(const std::string &text) {
  if (user_notes_.find(text) == std::string::npos) user_notes_ += text + "\n";
}

int ElmLine::fail_noted(const std::string &why) {
  note_user(why);
  return fail(why);
}

void ElmLine::lost(const std::string &why) {
  trace_.event(now(), "adapter lost: " + why);
  note_user(why + ": the request failed; the next one tries to reach the adapter once more");
  ready_ = false;
  protocol_open_ = false;
}

// ---- the adapter's text ----

ElmLine::Command ElmLine::command(const std::string &line, double limit_ms) {
  Command c;
  std::string error;
  if (const std::size_t stray = transport_->discard_input())
    trace_.event(now(), std::to_string(stray) + " stray character(s) from the adapter dropped");
  trace_.event(now(), "A> " + line);
  if (!transport_->write(line + "\r", error)) {
    lost(error);
    return c;
  }
  const double deadline = now() + limit_ms;
  const std::string echo = same_text(line);
  std::string pending;  // the line being read
  char buf[512];
  while (true) {
    std::size_t got = 0;
    const auto r = transport_->read(buf, sizeof buf, got, deadline - now(), error);
    if (r == AdapterTransport::Read::Lost) {
      lost(error);
      return c;
    }
    if (r == AdapterTransport::Read::Timeout) {
      if (now() < deadline) continue;
      trace_.event(now(), "no prompt from the adapter within " + std::to_string(static_cast<int>(limit_ms)) + " ms");
      ready_ = false;  // set it up afresh before the next request
      return c;
    }
    for (std::size_t i = 0; i < got; ++i) {
      const char ch = buf[i];
      if (ch == '\r' || ch == '\n' || ch == '>') {
        if (!pending.empty() && same_text(pending) != echo) {
          trace_.event(now(), "A< " + pending);
          c.text += pending + "\r";
        }
        pending.clear();
        if (ch == '>') {
          // The prompt ends the reply; anything after it is the adapter's own business.
          c.ok = true;
          last_activity_ = now();
          return c;
        }
      } else if (ch != '\0') {
        pending += ch;
      }
    }
  }
}

AdapterReply ElmLine::setting_command(const std::string &line, bool *capability) {
  const Command c = command(line, line == "ATZ" ? kResetLimit : kSettingLimit);
  AdapterReply r = c.ok ? read_reply(reply_lines(c.text)) : AdapterReply{};
  if (capability) *capability = c.ok && r.kind != ReplyKind::Refused;
  return r;
}

bool ElmLine::set_up() {
  ready_ = false;
  protocol_open_ = false;
  header_.clear();
  if (!command("ATZ", kResetLimit).ok) return fail_noted("the adapter on " + transport_->where() + " does not answer");
  for (const char *s : {"ATE0", "ATL0", "ATS0"})
    if (!command(s, kSettingLimit).ok) return fail_noted("the adapter stopped answering during set-up");
  {
    const Command c = command("ATI", kSettingLimit);
    const auto lines = reply_lines(c.text);
    if (!lines.empty()) caps_.version = lines.front();
  }
  setting_command("ATH1", &caps_.header);
  setting_command("ATAT0", &caps_.adaptive);
  setting_command("ATST" + hex2(st_steps(kP2Max)), &caps_.timeout);
  // The adapter's default wake-up goes to the functional address, which these ECUs ignore:
  // none until the plug-in arms its own.
  setting_command("ATSW00", &caps_.wakeup_period);
  setting_command("ATWM C1 33 F1 3E", &caps_.wakeup_message);
  bool protocol = false;
  setting_command("ATSP5", &protocol);
  if (!protocol) return fail_noted("the adapter refuses ISO 14230-4 fast init (ATSP5): it cannot reach these ECUs");
  // Some adapters forget this with every protocol change: it follows each one.
  setting_command("ATAL", &caps_.long_answers);
  if (!caps_.header)
    return fail_noted("the adapter cannot show or set headers (ATH1, ATSH): checksums could not be read");
  ready_ = true;
  if (keep_alive_ && !arm_adapter_keep_alive()) keep_by_adapter_ = false;
  return true;
}

bool ElmLine::set_header(std::uint8_t format, std::uint8_t target, std::uint8_t source) {
  // The adapter puts the length in: only the format byte's address bits count, and a low
  // part of 0 asks for the four-byte form (a separate length byte).
  const std::string h = hex2((format & frames::kwp::kAddressBits) | (frames::kwp::short_form(format) ? 1u : 0u)) + " " +
                        hex2(target) + " " + hex2(source);
  if (h == header_) return true;
  bool ok = false;
  setting_command("ATSH " + h, &ok);
  if (ok) header_ = h;
  return ok;
}

bool ElmLine::arm_adapter_keep_alive() {
  keep_by_adapter_ = false;
  if (!keep_alive_ || !caps_.wakeup_message || !caps_.wakeup_period) return false;
  const std::vector<std::uint8_t> body(keep_alive_->begin(), keep_alive_->end() - 1);
  bool wm = false, sw = false;
  setting_command("ATWM " + hex_spaced(body), &wm);
  setting_command("ATSW" + hex2(sw_steps(kKeepAlivePeriod)), &sw);
  keep_by_adapter_ = wm && sw;
  return keep_by_adapter_;
}

// ---- settings ----

int ElmLine::select_pin(int connector, int a, int b, int c, int d) {
  Lock l(mutex_);
  if (!transport_) return fail("no adapter chosen");
  if (!ready_) {
    std::string error;
    if (!transport_->reconnect(error)) return fail_noted(error);
    if (!set_up()) return -1;
  }
  return LineBase::select_pin(connector, a, b, c, d);
}

void ElmLine::setting(const std::string &what) {
  Lock l(mutex_);
  LineBase::setting(what);
}

int ElmLine::begin_combination() {
  Lock l(mutex_);
  return LineBase::begin_combination();
}

int ElmLine::end_combination() {
  Lock l(mutex_);
  return LineBase::end_combination();
}

void ElmLine::set_time_interval(double gap, int b, int c) {
  Lock l(mutex_);
  LineBase::set_time_interval(gap, b, c);
}

int ElmLine::set_baud(double baud) {
  Lock l(mutex_);
  if (LineBase::set_baud(baud) != 0) return -1;
  if (std::fabs(baud - kEcuBaud) > kEcuBaud * kBaudTolerance) {
    baud_ = 0;
    if (std::fabs(baud - 8192) < 8192 * kBaudTolerance) return fail_noted(kNoAldl);
    return fail_noted("an ELM327 adapter talks to these ECUs only at 10400 baud (ISO 14230-4)");
  }
  return 0;
}

// ---- fast init ----

int ElmLine::line_voltage(int mode, int low_ms, int high_ms) {
  Lock l(mutex_);
  if (!transport_ || !ready_) return fail("the adapter is not set up");
  char s[128];
  std::snprintf(s, sizeof s, "fast init (mode %d, %d / %d ms) left to the adapter: done before the next request", mode,
                low_ms, high_ms);
  trace_.event(now(), s);
  if (mode == 2) init_wanted_ = true;
  return 0;
}

bool ElmLine::fast_init() {
  init_wanted_ = false;
  if (protocol_open_) {
    // The adapter starts its protocol afresh only when it was closed: a new protocol
    // choice closes it, and the settings it may forget follow.
    bool ok = false;
    setting_command("ATSP5", &ok);
    setting_command("ATAL");
    header_.clear();
    protocol_open_ = false;
    if (keep_alive_ && keep_by_adapter_) arm_adapter_keep_alive();
  }
  if (!caps_.fast_init) return true;  // the request itself makes the adapter initialise
  const Command c = command("ATFI", kInitLimit);
  if (!c.ok) return false;
  const AdapterReply r = read_reply(reply_lines(c.text));
  caps_.fast_init_tried = true;
  if (r.kind == ReplyKind::Refused) {
    caps_.fast_init = false;
    trace_.event(now(), "the adapter has no ATFI: its own init goes with the next request");
    return true;
  }
  if (r.kind == ReplyKind::InitFailed) {
    fail_noted(kNoEcuAdvice);
    return false;
  }
  protocol_open_ = true;
  return true;
}

// ---- requests ----

std::optional<std::vector<AdapterFrame>> ElmLine::wait_pending() {
  trace_.event(now(), "response pending: waiting up to 5000 ms on the adapter's monitor (ATMA)");
  std::string error;
  trace_.event(now(), "A> ATMA");
  if (!transport_->write("ATMA\r", error)) {
    lost(error);
    return std::nullopt;
  }
  const double deadline = now() + kPendingWait;
  std::optional<std::vector<AdapterFrame>> answer;
  std::string pending;
  char buf[512];
  bool prompt = false;
  bool stop_sent = false;
  double stop_deadline = deadline;
  while (!prompt) {
    std::size_t got = 0;
    const double t = now();
    if (!stop_sent && (answer || t >= deadline)) {
      // Any character ends the monitor; the adapter then prints its prompt.
      trace_.event(t, "A> (monitor stopped)");
      if (!transport_->write("\r", error)) {
        lost(error);
        return std::nullopt;
      }
      stop_sent = true;
      stop_deadline = t + kSettingLimit;
    }
    if (stop_sent && t >= stop_deadline) {
      ready_ = false;
      break;
    }
    const auto r = transport_->read(buf, sizeof buf, got, (stop_sent ? stop_deadline : deadline) - t, error);
    if (r == AdapterTransport::Read::Lost) {
      lost(error);
      return std::nullopt;
    }
    for (std::size_t i = 0; i < got; ++i) {
      const char ch = buf[i];
      if (ch != '\r' && ch != '\n' && ch != '>') {
        pending += ch;
        continue;
      }
      if (!pending.empty()) {
        trace_.event(now(), "A< " + pending);
        const AdapterReply one = read_reply({pending});
        if (!answer && one.kind == ReplyKind::Frames) {
          for (const AdapterFrame &f : one.frames) trace_.frame(now(), "E<", f);
          answer = one.frames;
        }
      }
      pending.clear();
      if (ch == '>') prompt = true;
    }
  }
  last_activity_ = now();
  if (!answer) trace_.event(now(), no_answer_note(kPendingWait));
  return answer;
}

std::optional<std::vector<AdapterFrame>> ElmLine::request(const std::vector<std::uint8_t> &frame) {
  const std::uint8_t format = frame[0];
  if (!frames::kwp::has_addresses(format)) {
    fail("a frame without addresses cannot go through the adapter");
    return std::nullopt;
  }
  const std::size_t at = frames::kwp::header_size(format);
  const std::vector<std::uint8_t> service(frame.begin() + static_cast<long>(at), frame.end() - 1);
  if (service.size() > 7 && !caps_.long_answers) {
    fail("the adapter sends at most 7 data bytes without ATAL");
    return std::nullopt;
  }
  Repeats repeats(kAdapterRepeats, !service.empty() && kwp_repeatable(service.front()));
  while (true) {
    if (!set_header(format, frame[1], frame[2])) {
      fail("the adapter refused the header");
      return std::nullopt;
    }
    std::string line;
    for (std::uint8_t b : service) line += hex2(b);
    if (caps_.expected_digit) line += "1";
    trace_.frame(now(), "T>", frame);
    const Command c = command(line, kRequestLimit);
    if (!c.ok) {
      if (transport_) fail("no prompt from the adapter");
      return std::nullopt;
    }
    const AdapterReply r = read_reply(reply_lines(c.text));
    for (const AdapterFrame &f : r.pending) trace_.frame(now(), "E<", f);
    for (const AdapterFrame &f : r.frames) trace_.frame(now(), "E<", f);
    switch (r.kind) {
      case ReplyKind::Frames: protocol_open_ = true; return r.frames;
      case ReplyKind::Pending: protocol_open_ = true; return wait_pending();
      case ReplyKind::NoData: trace_.event(now(), "no answer (the adapter says NO DATA)"); return std::nullopt;
      case ReplyKind::Refused:
        if (caps_.expected_digit) {
          // Taken as lacking the digit: the same request once more without it.
          caps_.expected_digit = false;
          caps_.digit_tried = true;
          trace_.event(now(), "the adapter refuses the responses-expected digit: each request waits out its time-out");
          continue;
        }
        fail("the adapter refused the request");
        return std::nullopt;
      case ReplyKind::InitFailed:
        protocol_open_ = false;
        fail_noted(kNoEcuAdvice);
        return std::nullopt;
      case ReplyKind::BusFault:
        fail_noted("the adapter reports \"" + r.status +
                   "\": a fault on the K line (shorted, or another tester on it) or in the adapter");
        return std::nullopt;
      case ReplyKind::Reset:
        trace_.event(now(), "the adapter restarted itself (" + r.status + "): set up again");
        note_user("the adapter restarted itself during the session (supply voltage low?); it was set up again");
        if (!set_up() || !set_header(format, frame[1], frame[2])) return std::nullopt;
        if (caps_.fast_init && !fast_init()) return std::nullopt;
        break;
      case ReplyKind::Repeat: trace_.event(now(), "answer lost in the adapter (" + r.status + ")"); break;
      case ReplyKind::Ok:
      case ReplyKind::Text:
        fail("the adapter's reply is no answer: " + (r.lines.empty() ? std::string("(none)") : r.lines.front()));
        return std::nullopt;
    }
    if (!repeats.repeatable()) {
      // The request may have reached the unit: what changes the car is never sent twice.
      fail("the adapter lost the answer to a request that is not repeated");
      return std::nullopt;
    }
    if (!repeats.another()) {
      fail("the adapter lost the answer twice");
      return std::nullopt;
    }
  }
}

int ElmLine::send(const std::uint8_t *frame, std::uint8_t *answer) {
  Lock l(mutex_);
  if (!frame || !answer) return fail("null frame or answer buffer");
  if (!transport_) return fail("no adapter chosen");
  if (!ready_) {
    // One try to reach the adapter again between requests.
    std::string error;
    if (!transport_->reconnect(error)) return fail_noted(error);
    if (!set_up()) return -1;
    init_wanted_ = true;
  }
  if (!ready_to_send(true)) return -1;
  std::size_t have = 1;
  int size = 0;
  while ((size = kwp_frame_size(frame, have)) == 0) ++have;
  if (size < 5 || static_cast<std::size_t>(size) > kMaxRequestBytes) return fail("not a KWP2000 request");
  const std::vector<std::uint8_t> f(frame, frame + size);
  // The adapter's fast init sends StartCommunication with the header in force.
  if (init_wanted_ && frames::kwp::has_addresses(f[0]) && !set_header(f[0], f[1], f[2]))
    return fail("the adapter refused the header");
  if (init_wanted_ && !fast_init()) return -1;
  const auto frames = request(f);
  keeper_wake_.notify_all();
  if (!frames) return -1;
  return put_answer_frames(*frames, answer);
}

void ElmLine::probe_request_capabilities() {
  Lock l(mutex_);
  if (!ready_) return;
  {
    const Command c = command("ATFI", kInitLimit);
    const AdapterReply r = read_reply(reply_lines(c.text));
    caps_.fast_init_tried = c.ok;
    caps_.fast_init = c.ok && r.kind != ReplyKind::Refused;
  }
  // Tester present to the engine ECU: harmless to a car, and a "?" tells the digit apart.
  if (set_header(0x81, 0x10, 0xF1)) {
    const Command c = command("3E1", kInitLimit);
    const AdapterReply r = read_reply(reply_lines(c.text));
    caps_.digit_tried = c.ok;
    caps_.expected_digit = c.ok && r.kind != ReplyKind::Refused;
  }
}

// ---- keep-alive ----

int ElmLine::set_link_keep(const std::uint8_t *frame, int length, int a, int b) {
  Lock l(mutex_);
  if (!frame || length <= 0) {
    if (keep_alive_) trace_.event(now(), "keep-alive stopped");
    if (keep_by_adapter_ && transport_ && ready_) setting_command("ATSW00");
    keep_alive_.reset();
    keep_by_adapter_ = false;
    return 0;
  }
  if (length > static_cast<int>(kMaxKwpFrame) || kwp_frame_size(frame, static_cast<std::size_t>(length)) != length) {
    set_error("keep-alive frame length does not match its format byte");
    return -1;
  }
  keep_alive_ = std::vector<std::uint8_t>(frame, frame + length);
  keep_alive_failures_ = 0;
  const bool by_adapter = transport_ && ready_ && arm_adapter_keep_alive();
  char s[160];
  std::snprintf(s, sizeof s, " when the line idles %.0f ms (%d, %d), %s", kKeepAlivePeriod, a, b,
                by_adapter ? "sent by the adapter (ATWM, ATSW)" : "sent by the interface");
  trace_.event(now(), "keep-alive armed: " + WireTrace::hex(*keep_alive_) + s);
  l.unlock();
  keeper_wake_.notify_all();
  return 0;
}

void ElmLine::keeper_loop() {
  Lock l(mutex_);
  while (!stopping_) {
    if (!keep_alive_ || keep_by_adapter_ || !transport_ || !ready_ || !protocol_open_) {
      keeper_wake_.wait_for(l, std::chrono::milliseconds(200));
      continue;
    }
    const double due = last_activity_ + kKeepAlivePeriod;
    const double t = now();
    if (t < due) {
      keeper_wake_.wait_for(l, std::chrono::duration<double, std::milli>(due - t));
      continue;
    }
    trace_.event(now(), "keep-alive");
    if (request(*keep_alive_)) {
      keep_alive_failures_ = 0;
    } else {
      ++keep_alive_failures_;
      trace_.event(now(), "keep-alive unanswered (" + std::to_string(keep_alive_failures_) + " in a row)");
      last_activity_ = now();
    }
  }
}

}  // namespace vci
