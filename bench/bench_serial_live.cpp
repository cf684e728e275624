// Live data over the serial line in real time: vazdiag's workbench on one side of a
// pseudo-terminal, vazdiag-ecu on the other, N refresh passes of an M1.5.4. The rate it
// reaches is set against the limit of the wire itself, computed from the run's own trace:
// per pass the request's bytes at the baud rate with the tester's byte gap P4 between them,
// the ECU's answer delay P2, the answer's bytes, and the quiet time P3min before the next
// request. The ratio says how much the interface and the plug-in lose on top of the wire.
#include <benchmark/benchmark.h>

#include <sstream>
#include <string>
#include <vector>

#include "ecu_process.h"
#include "workbench.h"

namespace {

constexpr double kBaud = 10416.0;
constexpr double kByteMs = 10 * 1000.0 / kBaud;
constexpr double kP4 = 2.0;      // the tester byte gap the plug-in sets
constexpr double kP2 = 25.0;     // the simulated ECU's answer delay
constexpr double kP3Min = 55.0;  // quiet before the next request

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

// Arguments: refresh passes.
void BM_SerialLiveData(benchmark::State &state) {
  const int passes = static_cast<int>(state.range(0));
  serial_e2e::EcuProcess ecu({"--car", "m154", "--car-option", "engine=idle-fixed"});
  vazdiag::Workbench bench(VAZ_BUILD_DIR);
  vazdiag::SessionSetup setup;
  setup.keepRecords = true;
  setup.ecuType = 1;
  setup.port = ecu.port();
  setup.virtualClock = false;
  setup.script = "choose Live data\ntick 1 2 3 4\nstay " + std::to_string(passes) + "\nback\n";
  std::string trace;
  for (auto _ : state) trace = bench.run(setup).trace;

  // The passes are the ReadDataByLocalIdentifier 01 exchanges; the rate is measured from the
  // first request to the first request after the last pass's P3, as the wire sees it.
  const auto f = frames(trace);
  double first = -1, last_end = 0, wire_ms = 0;
  int seen = 0;
  for (std::size_t i = 0; i + 1 < f.size(); ++i) {
    if (!f[i].tester || f[i].text != "82 10 F1 21 01 A5" || f[i + 1].tester) continue;
    if (first < 0) first = f[i].t;
    ++seen;
    const double tx = f[i].bytes * kByteMs + (f[i].bytes - 1) * kP4;
    const double rx = f[i + 1].bytes * kByteMs;
    wire_ms += tx + kP2 + rx + kP3Min;
    last_end = f[i + 1].t + rx + kP3Min;
  }
  if (seen != passes || seen < 2) {
    state.SkipWithError(("the trace shows " + std::to_string(seen) + " passes").c_str());
    return;
  }
  const double measured = seen / ((last_end - first) / 1000.0);
  const double limit = seen / (wire_ms / 1000.0);
  state.counters["passes_per_s"] = measured;
  state.counters["wire_limit_per_s"] = limit;
  state.counters["ratio"] = measured / limit;
}

}  // namespace

BENCHMARK(BM_SerialLiveData)->Arg(10)->Arg(100)->ArgNames({"passes"})->Iterations(1)->Unit(benchmark::kSecond)->UseRealTime();

BENCHMARK_MAIN();
