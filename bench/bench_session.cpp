// Speed of a whole scripted live-data session through the workbench on the
// virtual clock: connect, pick the live data, tick every item, N refresh
// passes, back out. The per-pass figure is CPU time. The executable brings
// vazdiag's own sleep and usleep, so the plug-in's pause after each item moves
// the virtual clock as in vazdiag.
#include <benchmark/benchmark.h>

#include <string>

#include "workbench.h"

namespace {

vazdiag::Workbench &workbench() {
  static vazdiag::Workbench instance(VAZ_BUILD_DIR);
  return instance;
}

int count_passes(const std::string &transcript) {
  int n = 0;
  for (std::size_t at = transcript.find("[data stream"); at != std::string::npos;
       at = transcript.find("[data stream", at + 1))
    ++n;
  return n;
}

// Arguments: refresh passes, items ticked (0 = all 34 of the list).
void BM_LiveDataSession(benchmark::State &state) {
  const int passes = static_cast<int>(state.range(0));
  std::string tick = "all";
  if (state.range(1) > 0) {
    tick.clear();
    for (int i = 1; i <= state.range(1); ++i) tick += (i > 1 ? " " : "") + std::to_string(i);
  }
  vazdiag::SessionSetup setup;
  setup.keepRecords = true;
  setup.ecuType = 1;
  setup.car = "m154";
  setup.carOptions = {{"engine", "idle-fixed"}};
  setup.script = "choose Live data\ntick " + tick + "\nstay " + std::to_string(passes) + "\nback\n";
  int shown = 0;
  for (auto _ : state) {
    const vazdiag::SessionResult r = workbench().run(setup);
    shown = count_passes(r.transcript);
  }
  if (shown != passes) {
    state.SkipWithError(("the session showed " + std::to_string(shown) + " passes").c_str());
    return;
  }
  // Seconds of CPU per refresh pass (whole session, connect included).
  state.counters["per_pass"] =
      benchmark::Counter(passes, benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
}

}  // namespace

BENCHMARK(BM_LiveDataSession)
    ->Args({1, 0})
    ->Args({50, 0})
    ->Args({50, 4})
    ->ArgNames({"passes", "items"})
    ->Unit(benchmark::kMillisecond);

BENCHMARK_MAIN();
