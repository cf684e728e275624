// Parsing of vazdiag-ecu's options.
#include "wire_options.h"

#include "ecusim/ecu_catalogue.h"

#include <array>
#include <charconv>
#include <cstdio>

namespace ecusim::wire {
namespace {

constexpr std::string_view kCarList =
    "K line: m154, m154-add, m154n, m70-e2, m70-e3, m72, m797-e2, m797-e3; ALDL: gm-isfi, gm-efi";

// Which line the car sits on; nullopt with a reason for the cars this program cannot be.
std::optional<CarLine> car_line(const std::string &name, std::string &error) {
  if (name == "none") {
    error = "car 'none' is a silent line, there is nothing to simulate (" + std::string(kCarList) + ")";
    return std::nullopt;
  }
  if (!known_car(name)) {
    error = "unknown car '" + name + "' (" + std::string(kCarList) + ")";
    return std::nullopt;
  }
  if (make_aldl_ecu(name)) return CarLine::Aldl;
  if (make_ecu(name)) return CarLine::KLine;
  error =
      "car '" + name + "' is a generic OBD-II car, which vazdiag-ecu does not serve (" + std::string(kCarList) + ")";
  return std::nullopt;
}

std::optional<EchoMode> parse_echo(const std::string &v, std::string &error) {
  EchoMode e;
  if (v == "on") return e;
  if (v == "off") {
    e.kind = EchoMode::Kind::Off;
    return e;
  }
  constexpr std::string_view kCorrupt = "corrupt:";
  if (v.starts_with(kCorrupt)) {
    const std::string_view n = std::string_view(v).substr(kCorrupt.size());
    long value = 0;
    auto [p, ec] = std::from_chars(n.data(), n.data() + n.size(), value);
    if (!n.empty() && ec == std::errc() && p == n.data() + n.size() && value >= 1) {
      e.kind = EchoMode::Kind::Corrupt;
      e.corrupt_byte = value;
      return e;
    }
  }
  error = "--echo is on, off or corrupt:N (N = 1, 2, ...), got '" + v + "'";
  return std::nullopt;
}

// The wire's timing options: each sets one field of WireTiming, in ms, within its range.
struct TimingOption {
  std::string_view flag;
  double lo;
  double hi;
  void (*set)(WireTiming &, double);
};

constexpr std::array<TimingOption, 4> kTimingOptions{{
    {"--gap", 0, 25, [](WireTiming &t, double v) { t.gap_ms = v; }},
    {"--burst", 1, 100, [](WireTiming &t, double v) { t.burst_ms = v; }},
    {"--answer-delay", 0, 2000, [](WireTiming &t, double v) { t.answer_ms = v; }},
    {"--noise", 0.5, 1000, [](WireTiming &t, double v) { t.noise_ms = v; }},
}};

const TimingOption *timing_option(const std::string &flag) {
  for (const TimingOption &o : kTimingOptions)
    if (o.flag == flag) return &o;
  return nullptr;
}

bool parse_timing(const TimingOption &o, const std::string &v, WireTiming &t, std::string &error) {
  double value = 0;
  auto [p, ec] = std::from_chars(v.data(), v.data() + v.size(), value);
  if (v.empty() || ec != std::errc() || p != v.data() + v.size() || value < o.lo || value > o.hi) {
    char range[64];
    std::snprintf(range, sizeof range, "%g..%g", o.lo, o.hi);
    error = std::string(o.flag) + " is a time in ms, " + range + ", got '" + v + "'";
    return false;
  }
  o.set(t, value);
  return true;
}

}  // namespace

const char *const kWireUsage =
    "usage: vazdiag-ecu --car NAME [options] --pty [--link PATH]\n"
    "       vazdiag-ecu --car NAME [options] --port DEVICE\n"
    "A simulated engine ECU on the far end of a serial line, byte by byte: it echoes what\n"
    "the tester sends, assembles requests, answers them with the car's model in the\n"
    "line's timing, and sleeps after 5 s without a request.\n"
    "\n"
    "  --car NAME           the simulated car: m154, m154-add, m154n, m70-e2, m70-e3,\n"
    "                       m72, m797-e2, m797-e3 (Bosch, K line, 10400 baud) or\n"
    "                       gm-isfi, gm-efi (GM, ALDL, 8192 baud)\n"
    "  --car-option K=V     option of the simulated car, as vazdiag's, e.g. dtc=0102,0325\n"
    "                       (repeatable)\n"
    "  --pty                open a pseudo-terminal and print its slave path on a line of\n"
    "                       standard output; the tester opens that path\n"
    "  --link PATH          with --pty: make PATH a symbolic link to the slave (removed at\n"
    "                       exit)\n"
    "  --port DEVICE        use a real serial device instead (a break is the wake-up pulse)\n"
    "  --log FILE           append the event log to FILE (default: standard error)\n"
    "  --echo MODE          on (default): every received byte is echoed; off; corrupt:N:\n"
    "                       the N-th received byte is echoed with its bits inverted\n"
    "  --fault KIND[:SID[:SKIP[:COUNT]]]\n"
    "                       spoil answers (repeatable): no-answer, negative (7F sid 22),\n"
    "                       bad-checksum, late (70 ms), pending (7F sid 78, then the answer\n"
    "                       1000 ms later; K line only). SID: hex byte (mode byte on ALDL)\n"
    "                       or any (default); SKIP: matching requests let through first\n"
    "                       (default 0); COUNT: requests spoiled (default: all after);\n"
    "                       also wrong (7E instead; K line only), short (61 01 00 00 00),\n"
    "                       endless (the answer again and again), cut (the line closes\n"
    "                       halfway through the answer)\n"
    "  --gap MS             answer bytes apart by up to MS ms more than a byte time (0..25)\n"
    "  --burst MS           the tester receives in bursts every MS ms, as through a USB\n"
    "                       adapter's latency timer (1..100)\n"
    "  --answer-delay MS    answers start MS ms after the request (K line 25, ALDL 10)\n"
    "  --noise MS           a 00 or FF byte MS ms before every answer\n"
    "  --help               this text\n"
    "SIGTERM or SIGINT ends the program (exit status 0).\n";

std::optional<WireOptions> parse_wire_options(const std::vector<std::string> &args, std::string &error) {
  WireOptions o;
  static constexpr std::array kWithValue{"--car", "--car-option", "--link", "--port", "--log", "--echo", "--fault"};
  for (std::size_t i = 0; i < args.size(); ++i) {
    const std::string &a = args[i];
    if (a == "--help" || a == "-h") {
      o.help = true;
      continue;
    }
    if (a == "--pty") {
      o.pty = true;
      continue;
    }
    const TimingOption *timing = timing_option(a);
    bool known = timing != nullptr;
    for (const char *k : kWithValue) known = known || a == k;
    if (!known) {
      error = "unknown option '" + a + "'";
      return std::nullopt;
    }
    if (i + 1 >= args.size()) {
      error = "option " + a + " needs a value";
      return std::nullopt;
    }
    const std::string &v = args[++i];
    if (timing) {
      if (!parse_timing(*timing, v, o.timing, error)) return std::nullopt;
    } else if (a == "--car") {
      if (!o.car.empty()) {
        error = "--car given twice";
        return std::nullopt;
      }
      auto line = car_line(v, error);
      if (!line) return std::nullopt;
      o.car = v;
      o.line = *line;
    } else if (a == "--car-option") {
      const auto eq = v.find('=');
      if (eq == std::string::npos || eq == 0) {
        error = "--car-option needs KEY=VALUE, got '" + v + "'";
        return std::nullopt;
      }
      o.car_options.emplace_back(v.substr(0, eq), v.substr(eq + 1));
    } else if (a == "--link") {
      o.link = v;
    } else if (a == "--port") {
      o.port = v;
    } else if (a == "--log") {
      o.log = v;
    } else if (a == "--echo") {
      auto echo = parse_echo(v, error);
      if (!echo) return std::nullopt;
      o.echo = *echo;
    } else if (a == "--fault") {
      auto fault = parse_fault(v, error);
      if (!fault) return std::nullopt;
      o.faults.push_back(*fault);
    }
  }
  if (o.help) return o;
  if (o.car.empty()) {
    error = "--car NAME is needed (" + std::string(kCarList) + ")";
    return std::nullopt;
  }
  if (o.pty == !o.port.empty()) {
    error = o.pty ? "--pty and --port exclude each other" : "--pty or --port DEVICE is needed";
    return std::nullopt;
  }
  if (!o.link.empty() && !o.pty) {
    error = "--link works only with --pty";
    return std::nullopt;
  }
  if (o.line == CarLine::Aldl)
    for (const Fault &f : o.faults)
      if (const auto why = aldl_refusal(f.kind); !why.empty()) {
        error = "--fault " + std::string(fault_name(f.kind)) + ": " + std::string(why);
        return std::nullopt;
      }
  if (o.timing.noise_ms > 0 && o.timing.answer_ms && o.timing.noise_ms >= *o.timing.answer_ms) {
    error = "--noise must come before the answer: below --answer-delay";
    return std::nullopt;
  }
  return o;
}

}  // namespace ecusim::wire
