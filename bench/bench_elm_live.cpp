// Live data through an ELM327 in real time, every item ticked: the workbench on one side,
// vazdiag-ecu --adapter elm327 in front of an M1.5.4 on the other (a pseudo-terminal at
// 38400 baud, or loopback TCP), and the raw cable on the same car beside it. The limit is
// the adapter's own, computed from the run's trace: per pass the request's bytes at 10416
// baud with the adapter's 5 ms byte gap between them, the ECU's 25 ms answer delay, the
// answer's bytes and the adapter's 55 ms P3 before the next request. What the host link
// costs (command and answer lines, the prompt) and any wait for the adapter's time-out
// show as a ratio below 1.
#include <benchmark/benchmark.h>

#include <string>
#include <vector>

#include "ecu_process.h"
#include "line_limit.h"
#include "workbench.h"

namespace {

constexpr double kAdapterByteGap = 5.0;

std::string live_trace(const std::string &port, int passes) {
  vazdiag::Workbench workbench(VAZ_BUILD_DIR);
  vazdiag::SessionSetup setup;
  setup.keepRecords = true;
  setup.ecuType = 1;
  setup.port = port;
  setup.virtualClock = false;
  setup.script = "choose Live data\ntick all\nstay " + std::to_string(passes) + "\nback\n";
  return workbench.run(setup).trace;
}

// Arguments: refresh passes; 0 a pty, 1 TCP; 2 the raw cable (no adapter) for comparison.
void BM_ElmLiveData(benchmark::State &state) {
  const int passes = bench::passes_asked(state);
  const int way = static_cast<int>(state.range(1));
  std::vector<std::string> args{"--car", "m154", "--car-option", "engine=idle-fixed"};
  if (way != 2) args.insert(args.end(), {"--adapter", "elm327"});
  if (way == 1) args.insert(args.end(), {"--tcp", "0"});
  serial_e2e::EcuProcess ecu(args);
  std::string trace;
  for (auto _ : state) trace = live_trace(ecu.port(), passes);
  bench::report_line_rate(state, trace, passes, 0, way == 2 ? -1.0 : kAdapterByteGap);
}

}  // namespace

BENCHMARK(BM_ElmLiveData)
    ->Args({100, 0})
    ->Args({100, 1})
    ->Args({100, 2})
    ->ArgNames({"passes", "way"})
    ->Iterations(1)
    ->Unit(benchmark::kSecond)
    ->UseRealTime();

BENCHMARK_MAIN();
