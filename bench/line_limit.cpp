// Reading the live-data passes and the line's limit from a wire trace.
#include "line_limit.h"

#include <algorithm>
#include <cstdlib>
#include <sstream>
#include <vector>

namespace bench {
namespace {

// The live-data request of each line and the line's own figures.
struct Protocol {
  const char *request;
  double baud;
  double byte_gap;  // the tester's gap between request bytes (P4)
  double quiet;     // before the next request: P3min, or ALDL's quiet gap
};

constexpr Protocol kProtocols[] = {
    {"82 10 F1 21 01 A5", 10416.0, 2.0, 55.0},  // Bosch, ECU 10: M1.5.4 family, M7.9.7
    {"82 11 F1 21 01 A6", 10416.0, 2.0, 55.0},  // Bosch, ECU 11: M7.0
    {"F4 57 01 00 B4", 8192.0, 0.0, 15.0},      // GM ISFI, mode 1 message 0
    {"F4 56 01 B5", 8192.0, 0.0, 15.0},         // GM EFI, mode 1
};
constexpr double kPluginMsPerItem = 1.0;

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

LineRate line_rate(const std::string &trace, int shown_items, int last_n, double byte_gap) {
  const auto f = frames(trace);
  const Protocol *line = nullptr;
  for (const Frame &fr : f)
    for (const Protocol &p : kProtocols)
      if (!line && fr.tester && fr.text == p.request) line = &p;
  LineRate r;
  if (!line) return r;
  const double byte_ms = 10 * 1000.0 / line->baud;
  const double plugin_ms = shown_items * kPluginMsPerItem;
  r.plugin_bound = plugin_ms > line->quiet;
  const double after = std::max(line->quiet, plugin_ms);
  struct Pass {
    double start, p2, wire_ms, end;
  };
  std::vector<Pass> all;
  for (std::size_t i = 0; i + 1 < f.size(); ++i) {
    if (!f[i].tester || f[i].text != line->request || f[i + 1].tester) continue;
    const double gap = byte_gap >= 0 ? byte_gap : line->byte_gap;
    const double tx = f[i].bytes * byte_ms + (f[i].bytes - 1) * gap;
    const double rx = f[i + 1].bytes * byte_ms;
    // The answer's time stamp is its first byte's arrival.
    const double p2 = std::max(0.0, f[i + 1].t - f[i].t - tx);
    all.push_back({f[i].t, p2, tx + p2 + rx + after, f[i + 1].t + rx + after});
  }
  // On ALDL the connect proves the link with the same read: only the last passes are live data.
  const std::size_t from = last_n > 0 && all.size() > static_cast<std::size_t>(last_n) ? all.size() - last_n : 0;
  double first = -1, last_end = 0, wire_ms = 0, answer_ms = 0;
  for (std::size_t i = from; i < all.size(); ++i) {
    if (first < 0) first = all[i].start;
    ++r.passes;
    answer_ms += all[i].p2;
    wire_ms += all[i].wire_ms;
    last_end = all[i].end;
  }
  if (r.passes >= 2) {
    r.measured = r.passes / ((last_end - first) / 1000.0);
    r.limit = r.passes / (wire_ms / 1000.0);
    r.answer_ms = answer_ms / r.passes;
  }
  return r;
}

int passes_asked(const benchmark::State &state, int arg) {
  const int asked = static_cast<int>(state.range(arg));
  const char *cap = std::getenv("VAZ_SMOKE_PASSES");
  return cap ? std::min(asked, std::max(2, std::atoi(cap))) : asked;
}

void report_line_rate(benchmark::State &state, const std::string &trace, int expected, int shown_items,
                      double byte_gap) {
  const LineRate r = line_rate(trace, shown_items, expected, byte_gap);
  if (r.passes < 2 || (expected != 0 && r.passes != expected)) {
    state.SkipWithError(("the trace shows " + std::to_string(r.passes) + " passes").c_str());
    return;
  }
  state.counters["passes"] = r.passes;
  state.counters["passes_per_s"] = r.measured;
  state.counters["line_limit_per_s"] = r.limit;
  state.counters["ratio"] = r.measured / r.limit;
  state.counters["answer_ms"] = r.answer_ms;
  state.counters["plugin_bound"] = r.plugin_bound ? 1 : 0;
}

}  // namespace bench
