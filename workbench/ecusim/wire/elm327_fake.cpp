// The fake ELM327's command interpreter and its K-line timing.
#include "elm327_fake.h"

#include "ecusim/kwp_frame.h"

#include <algorithm>
#include <cctype>
#include <cstdio>

namespace ecusim::wire {
namespace {

constexpr double kByteMs = 10 * 1000.0 / 10400.0;
constexpr double kInitIdleMs = 25.0 + 25.0;  // TiniL and the high time after it
constexpr std::size_t kShortLimit = 7;       // data bytes without ATAL

std::string hex2(unsigned v) {
  char s[4];
  std::snprintf(s, sizeof s, "%02X", v & 0xFFu);
  return s;
}

int digit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

bool parse_hex(const std::string &s, Bytes &out) {
  if (s.size() % 2 != 0) return false;
  for (std::size_t i = 0; i < s.size(); i += 2) {
    const int h = digit(s[i]), l = digit(s[i + 1]);
    if (h < 0 || l < 0) return false;
    out.push_back(static_cast<std::uint8_t>(h << 4 | l));
  }
  return true;
}

// A frame as the adapter sends it: the header's address bits, the length it inserts
// (in the format byte, or in a fourth header byte when the format byte's low part is 0).
Bytes with_header(const Bytes &header, const Bytes &data) {
  Bytes f;
  const auto form = frames::kwp::short_form(header[0]) ? HeaderForm::Short : HeaderForm::Long;
  frames::kwp::append_frame(f, header[0], header[1], header[2], data.data(), data.size(), form);
  return f;
}

std::size_t header_size(const Bytes &f) { return frames::kwp::header_size(f[0]); }

}  // namespace

FakeElm::FakeElm(ModelFront &front, WireLog &log, const ElmVariant &variant)
    : front_(front), log_(log), variant_(variant) {
  reset();
}

void FakeElm::reset() {
  echo_ = true;
  linefeeds_ = false;
  spaces_ = true;
  headers_ = false;
  long_ = false;
  protocol_ = 0;
  open_ = false;
  st_ = 0x32;
  sw_ = 0x92;
  header_ = {0xC1, 0x33, 0xF1};
  wakeup_ = {0xC1, 0x33, 0xF1, 0x3E};
  monitoring_ = false;
  late_.clear();
}

std::string FakeElm::show(const Bytes &frame) const {
  std::size_t from = 0, to = frame.size();
  if (!headers_) {
    from = std::min(header_size(frame), frame.size());
    to = frame.size() - 1;
  }
  std::string s;
  // Without ATAL the adapter keeps no more than seven data bytes of a frame.
  const std::size_t data_end = std::min(frame.size() - 1, header_size(frame) + kShortLimit);
  const bool cut = !long_ && frame.size() - 1 > data_end;
  if (cut) to = data_end;
  for (std::size_t i = from; i < to; ++i) s += (s.empty() || !spaces_ ? "" : " ") + hex2(frame[i]);
  return s;
}

std::vector<FakeElm::BusFrame> FakeElm::exchange(const Bytes &frame, double start, double &last_byte) {
  last_byte = start + frame.size() * kByteMs + (frame.size() - 1) * kAdapterP4Ms;
  bus_activity_ = last_byte;
  log_.line(start, "adapter sends " + hex_bytes(frame));
  std::vector<BusFrame> frames;
  if (!variant_.ignition) return frames;
  auto reply = front_.hear(Assembled{frame, start, last_byte});
  if (!reply) return frames;
  const double first = last_byte + reply->delay_ms;
  frames.push_back({first, first + reply->frame.size() * kByteMs, reply->frame});
  if (reply->later) {
    const double second = first + reply->later_ms;
    frames.push_back({second, second + reply->later->size() * kByteMs, *reply->later});
  }
  return frames;
}

bool FakeElm::fast_init(double t, double &done_at) {
  const double start = std::max(t, bus_free_at_) + kInitIdleMs;
  if (variant_.ignition) front_.hear_wakeup(start - kInitIdleMs);
  log_.line(start - kInitIdleMs, "adapter fast init");
  double last = 0;
  const Bytes start_comm = with_header(header_, Bytes{0x81});
  auto frames = exchange(start_comm, start, last);
  if (frames.empty()) {
    // It gives up after its time-out and a second try (modelled as its wait).
    done_at = last + 2 * st_ms() + 300;
    bus_free_at_ = done_at;
    open_ = false;
    return false;
  }
  done_at = frames.front().end_ms;
  bus_activity_ = done_at;
  bus_free_at_ = done_at + kAdapterP3Ms;
  open_ = true;
  return true;
}

std::vector<ElmOutput> FakeElm::command(const std::string &raw, double t, double char_ms) {
  std::string line;
  for (char c : raw)
    if (c != ' ' && c != '\n') line += static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  if (line.empty()) line = last_command_;  // a bare carriage return repeats the last command
  log_.line(t, "adapter heard \"" + raw + "\"");
  std::string text = echo_ ? raw + "\r" : "";
  double done_at = t;
  std::string reply;
  if (line.rfind("AT", 0) == 0) {
    reply = at_command(line.substr(2), t, done_at);
  } else if (!line.empty()) {
    last_command_ = line;
    reply = request(line, t, done_at);
  }
  if (drop_) return {};
  const std::string eol = linefeeds_ ? "\r\n" : "\r";
  std::vector<ElmOutput> out;
  // Each line is printed once its characters have gone out at the host rate.
  double at = done_at;
  std::string pending = text;
  std::size_t from = 0;
  while (from < reply.size()) {
    const std::size_t nl = reply.find('\r', from);
    const std::string l = reply.substr(from, nl - from);
    pending += l + eol;
    at += static_cast<double>(pending.size()) * char_ms;
    out.push_back({at, pending});
    pending.clear();
    from = nl == std::string::npos ? reply.size() : nl + 1;
  }
  if (monitoring_) {
    // The frames still to come on the bus, each printed when it is complete.
    for (const BusFrame &f : late_)
      if (f.end_ms >= t) out.push_back({f.end_ms + char_ms * 3 * f.bytes.size(), show(f.bytes) + eol});
    late_.clear();
    if (!pending.empty()) out.insert(out.begin(), {t, pending});
    return out;
  }
  pending += eol + ">";
  at += static_cast<double>(pending.size()) * char_ms;
  out.push_back({at, pending});
  std::string all;
  for (const ElmOutput &o : out) all += o.text;
  log_.line(at, "adapter printed " + std::to_string(all.size()) + " characters");
  return out;
}

std::vector<ElmOutput> FakeElm::interrupt(double t, double char_ms) {
  const bool was_monitoring = monitoring_;
  monitoring_ = false;
  log_.line(t, was_monitoring ? "adapter monitor stopped" : "adapter stopped by a character");
  const std::string eol = linefeeds_ ? "\r\n" : "\r";
  const std::string text = (was_monitoring ? "" : "STOPPED" + eol) + eol + ">";
  return {{t + static_cast<double>(text.size()) * char_ms, text}};
}

std::string FakeElm::at_command(const std::string &cmd, double t, double &done_at) {
  auto lacking = [&](const std::string &name) { return lacks(name); };
  auto starts = [&](const char *p) { return cmd.rfind(p, 0) == 0; };
  if (cmd == "Z" || cmd == "WS") {
    reset();
    done_at = t + (cmd == "Z" ? kAdapterResetMs : 5);
    return "\r" + variant_.version;
  }
  if (cmd == "I") return variant_.version;
  if (cmd == "@1") return "OBDII to RS232 Interpreter";
  if (cmd == "D") {
    linefeeds_ = false;
    spaces_ = true;
    headers_ = false;
    long_ = false;
    return "OK";
  }
  if (cmd == "E0" || cmd == "E1") return echo_ = cmd[1] == '1', "OK";
  if (cmd == "L0" || cmd == "L1") return linefeeds_ = cmd[1] == '1', "OK";
  if (cmd == "S0" || cmd == "S1") return spaces_ = cmd[1] == '1', "OK";
  if (cmd == "H0" || cmd == "H1") return headers_ = cmd[1] == '1', "OK";
  if (cmd == "DPN") return open_ ? std::to_string(protocol_) : "A" + std::to_string(protocol_);
  if (cmd == "DP") return protocol_ == 5 ? "ISO 14230-4 (KWP FAST)" : "AUTO";
  if (cmd == "RV") return "12.6V";
  if (cmd == "AL" || cmd == "NL") {
    if (lacking(cmd)) return "?";
    long_ = cmd == "AL";
    return "OK";
  }
  if (cmd == "AT0" || cmd == "AT1" || cmd == "AT2") return lacking("AT") ? "?" : "OK";
  if (cmd == "PC") {
    if (lacking("PC")) return "?";
    open_ = false;
    return "OK";
  }
  Bytes arg;
  if (starts("SP") || starts("TP")) {
    std::string p = cmd.substr(2);
    if (!p.empty() && p[0] == 'A') p.erase(0, 1);
    if (p.size() != 1 || digit(p[0]) < 0) return "?";
    protocol_ = digit(p[0]);
    open_ = false;
    if (variant_.forgets_al) long_ = false;
    return "OK";
  }
  if (starts("ST")) {
    if (lacking("ST") || !parse_hex(cmd.substr(2), arg) || arg.size() != 1) return "?";
    st_ = arg[0] == 0 ? 0x32 : arg[0];
    return "OK";
  }
  if (starts("SW")) {
    if (lacking("SW") || !parse_hex(cmd.substr(2), arg) || arg.size() != 1) return "?";
    sw_ = arg[0];
    return "OK";
  }
  if (starts("WM")) {
    if (lacking("WM") || !parse_hex(cmd.substr(2), arg) || arg.empty() || arg.size() > 6) return "?";
    wakeup_ = arg;
    return "OK";
  }
  if (starts("SH")) {
    if (!parse_hex(cmd.substr(2), arg) || arg.size() != 3) return "?";
    header_ = arg;
    return "OK";
  }
  if (cmd == "FI") {
    if (lacking("FI") || protocol_ != 5) return "?";
    return fast_init(t, done_at) ? "BUS INIT: OK" : "BUS INIT: ...ERROR";
  }
  if (cmd == "MA") {
    monitoring_ = true;
    return "";
  }
  return "?";
}

std::string FakeElm::request(const std::string &hex, double t, double &done_at) {
  std::string digits = hex;
  int expected = 0;
  if (digits.size() % 2 == 1) {
    expected = digit(digits.back());
    if (lacks("digit") || expected <= 0) return "?";
    digits.pop_back();
  }
  Bytes data;
  if (!parse_hex(digits, data) || data.empty() || data.size() > (long_ ? 63u : kShortLimit)) return "?";
  ++requests_;
  if (variant_.drop_after == requests_) {
    log_.line(t, "adapter drops the connection");
    drop_ = true;
    return {};
  }
  if (variant_.reset_after == requests_) {
    log_.line(t, "adapter restarts itself");
    reset();
    done_at = t + kAdapterResetMs;
    return "\r" + variant_.version;
  }
  std::string prefix;
  if (protocol_ != 5 && protocol_ != 0) return "NO DATA";
  if (protocol_ == 0) prefix = "SEARCHING...\r";
  if (!open_) {
    double init_done = 0;
    if (!fast_init(t, init_done)) {
      done_at = init_done;
      return prefix + "BUS INIT: ...ERROR";
    }
    prefix += "BUS INIT: ...OK\r";
    t = init_done;
  }
  const Bytes frame = with_header(header_, data);
  double last = 0;
  const double start = std::max(t, bus_free_at_);
  const auto frames = exchange(frame, start, last);
  // The adapter listens until its time-out passes without a new frame beginning, or until
  // the number of answers the digit asked for has come.
  std::vector<const BusFrame *> heard;
  double deadline = last + st_ms();
  done_at = deadline;
  for (const BusFrame &f : frames) {
    if (f.start_ms > deadline) {
      late_.push_back(f);
      continue;
    }
    heard.push_back(&f);
    bus_activity_ = f.end_ms;
    deadline = f.end_ms + st_ms();
    done_at = deadline;
    if (expected > 0 && static_cast<int>(heard.size()) >= expected) {
      done_at = f.end_ms;
      for (const BusFrame &rest : frames)
        if (&rest > &f) late_.push_back(rest);
      break;
    }
  }
  bus_free_at_ = std::max(bus_activity_, frames.empty() ? last : frames.back().end_ms) + kAdapterP3Ms;
  if (heard.empty()) return prefix + "NO DATA";
  std::string text = prefix;
  for (const BusFrame *f : heard) text += show(f->bytes) + "\r";
  text.pop_back();
  if (variant_.buffer != 0 && text.size() > variant_.buffer) return "BUFFER FULL";
  return text;
}

std::optional<double> FakeElm::wakeup_due() const {
  if (!open_ || sw_ == 0 || monitoring_) return std::nullopt;
  return std::max(bus_activity_ + sw_ * 20.0, bus_free_at_);
}

void FakeElm::send_wakeup(double t) {
  log_.line(t, "adapter wake-up message");
  Bytes body = wakeup_;
  body.push_back(checksum(body.data(), body.size()));
  double last = 0;
  const auto frames = exchange(body, t, last);
  bus_activity_ = frames.empty() ? last : frames.front().end_ms;
  bus_free_at_ = bus_activity_ + kAdapterP3Ms;
}

}  // namespace ecusim::wire
