// Reading the live-data passes and the line's limit from a wire trace.
#include "line_limit.h"

#include <sstream>
#include <vector>

namespace bench {
namespace {

constexpr double kBaud = 10416.0;
constexpr double kByteMs = 10 * 1000.0 / kBaud;
constexpr const char *kLiveDataRequest = "82 10 F1 21 01 A5";

struct Frame {
  double t = 0;
  bool tester = false;
  std::size_t bytes = 0;
  std::string text;
};

std::vector<Frame> frames(const std::string &trace) {
  std::vector<Frame> out;
  std::istringstream in(trace);
  for (std::string line; std::getline(in, line);) {
    std::istringstream l(line);
    Frame f;
    std::string dir;
    if (!(l >> f.t >> dir) || (dir != "T>" && dir != "E<")) continue;
    f.tester = dir == "T>";
    for (std::string b; l >> b;) {
      f.text += (f.bytes ? " " : "") + b;
      ++f.bytes;
    }
    out.push_back(f);
  }
  return out;
}

}  // namespace

LineRate line_rate(const std::string &trace, const WireTiming &timing) {
  const auto f = frames(trace);
  double first = -1, last_end = 0, wire_ms = 0;
  LineRate r;
  for (std::size_t i = 0; i + 1 < f.size(); ++i) {
    if (!f[i].tester || f[i].text != kLiveDataRequest || f[i + 1].tester) continue;
    if (first < 0) first = f[i].t;
    ++r.passes;
    const double tx = f[i].bytes * kByteMs + (f[i].bytes - 1) * timing.p4;
    const double rx = f[i + 1].bytes * kByteMs;
    wire_ms += tx + timing.p2 + rx + timing.p3;
    last_end = f[i + 1].t + rx + timing.p3;
  }
  if (r.passes >= 2) {
    r.measured = r.passes / ((last_end - first) / 1000.0);
    r.limit = r.passes / (wire_ms / 1000.0);
  }
  return r;
}

void report_line_rate(benchmark::State &state, const std::string &trace, int expected, const WireTiming &timing) {
  const LineRate r = line_rate(trace, timing);
  if (r.passes < 2 || (expected != 0 && r.passes != expected)) {
    state.SkipWithError(("the trace shows " + std::to_string(r.passes) + " passes").c_str());
    return;
  }
  state.counters["passes"] = r.passes;
  state.counters["passes_per_s"] = r.measured;
  state.counters["line_limit_per_s"] = r.limit;
  state.counters["ratio"] = r.measured / r.limit;
}

}  // namespace bench
