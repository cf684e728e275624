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
#include "line_limit.h"
#include "workbench.h"

namespace {

// Arguments: refresh passes.
void BM_SerialLiveData(benchmark::State &state) {
  const int passes = static_cast<int>(state.range(0));
  serial_e2e::EcuProcess ecu({"--car", "m154", "--car-option", "engine=idle-fixed"});
  vazdiag::Workbench workbench(VAZ_BUILD_DIR);
  vazdiag::SessionSetup setup;
  setup.keepRecords = true;
  setup.ecuType = 1;
  setup.port = ecu.port();
  setup.virtualClock = false;
  setup.script = "choose Live data\ntick 1 2 3 4\nstay " + std::to_string(passes) + "\nback\n";
  std::string trace;
  for (auto _ : state) trace = workbench.run(setup).trace;

  // The passes are the ReadDataByLocalIdentifier 01 exchanges; the rate is measured from the
  // first request to the end of the last pass's P3, as the wire sees it.
  bench::report_line_rate(state, trace, passes);
}

}  // namespace

BENCHMARK(BM_SerialLiveData)
    ->Arg(10)
    ->Arg(100)
    ->ArgNames({"passes"})
    ->Iterations(1)
    ->Unit(benchmark::kSecond)
    ->UseRealTime();

BENCHMARK_MAIN();
