// Live data over the serial line in real time: vazdiag's workbench on one side of a
// pseudo-terminal, vazdiag-ecu on the other, N refresh passes of an M1.5.4, an M7.9.7 E3,
// a GM ISFI or a GM EFI, with four items or every item ticked (the plug-in shows 40 at most). The
// rate it reaches is set against the limit of the wire itself, computed from the run's own
// trace (line_limit.h): the request and answer bytes, the ECU's answer delay as measured,
// and the quiet time before the next request, or the plug-in's 1 ms per shown item where
// that is longer. The ratio says how much the interface and the plug-in lose on top.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <sstream>
#include <string>
#include <vector>

#include "ecu_process.h"
#include "line_limit.h"
#include "workbench.h"

namespace {

struct Car {
  const char *name;  // vazdiag-ecu --car
  int ecuType;       // as the host passes it
  int items;         // in the car's live-data list
};

constexpr Car kCars[] = {{"m154", 1, 34}, {"m797-e3", 8, 65}, {"gm-isfi", 10, 28}, {"gm-efi", 9, 40}};
constexpr int kShownMax = 40;

// Arguments: the car (index into kCars), every item ticked (1) or four (0), passes.
void BM_SerialLiveData(benchmark::State &state) {
  const Car &car = kCars[state.range(0)];
  const bool every = state.range(1) != 0;
  const int passes = bench::passes_asked(state, 2);
  serial_e2e::EcuProcess ecu({"--car", car.name});
  vazdiag::Workbench workbench(VAZ_BUILD_DIR);
  vazdiag::SessionSetup setup;
  setup.keepRecords = true;
  setup.ecuType = car.ecuType;
  setup.port = ecu.port();
  setup.virtualClock = false;
  setup.script = std::string("choose Live data\ntick ") + (every ? "all" : "1 2 3 4") + "\nstay " +
                 std::to_string(passes) + "\nback\nback\n";
  std::string trace;
  for (auto _ : state) trace = workbench.run(setup).trace;
  state.SetLabel(car.name);

  // The passes are the live-data exchanges; the rate is measured from the first request to
  // the end of the last pass's quiet time, as the wire sees it.
  const int shown = every ? std::min(car.items, kShownMax) : 4;
  bench::report_line_rate(state, trace, passes, shown);
}

}  // namespace

BENCHMARK(BM_SerialLiveData)
    ->ArgsProduct({{0, 1, 2, 3}, {0, 1}, {30}})
    ->ArgNames({"car", "every", "passes"})
    ->Iterations(1)
    ->Unit(benchmark::kSecond)
    ->UseRealTime();

BENCHMARK_MAIN();
