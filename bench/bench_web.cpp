// The web front end with a browser attached (headless Chromium driven by web/attach.mjs):
// the live-data rate the page receives against the simulated line's limit, how late a pass
// reaches the page, and the memory of the process over a long session on the virtual clock.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>
#include <thread>

#include "line_limit.h"
#include "peak_memory.h"
#include "workbench.h"

namespace {

long env_or(const char *name, long fallback) {
  const char *v = std::getenv(name);
  return v ? std::atol(v) : fallback;
}

struct PageFigures {
  double passes = 0, latencyMean = 0, latencyMax = 0;
};

// A web session on the simulated M1.5.4 with the browser attached for `passes` passes.
PageFigures run(vazdiag::Workbench &workbench, bool virtualClock, long passes, const char *items, std::string *trace) {
  vazdiag::SessionSetup setup;
  setup.ecuType = 1;
  setup.car = "m154";
  setup.web = true;
  setup.language = "en";
  setup.virtualClock = virtualClock;
  setup.keepRecords = trace != nullptr;
  std::string output;
  std::thread browser;
  setup.webReady = [&](const std::string &url, const std::string &) {
    const std::string command =
        "node " VAZ_BENCH_DIR "web/attach.mjs '" + url + "' " + std::to_string(passes) + " " + items;
    browser = std::thread([command, &output] {
      std::unique_ptr<FILE, int (*)(FILE *)> pipe(::popen(command.c_str(), "r"), ::pclose);
      char buf[512];
      while (pipe && std::fgets(buf, sizeof buf, pipe.get())) output += buf;
    });
  };
  const vazdiag::SessionResult r = workbench.run(setup);
  if (browser.joinable()) browser.join();
  if (trace) *trace = r.trace;
  PageFigures f;
  std::sscanf(output.c_str(), "{\"passes\":%lf,\"latencyMeanMs\":%lf,\"latencyMaxMs\":%lf", &f.passes, &f.latencyMean,
              &f.latencyMax);
  return f;
}

void BM_WebRate(benchmark::State &state) {
  vazdiag::Workbench workbench(VAZ_BUILD_DIR);
  std::string trace;
  PageFigures f;
  for (auto _ : state) f = run(workbench, false, bench::passes_asked(state), "1,3,4,11", &trace);
  bench::report_line_rate(state, trace);
  state.counters["page_passes"] = f.passes;
  state.counters["latency_mean_ms"] = f.latencyMean;
  state.counters["latency_max_ms"] = f.latencyMax;
}

void BM_WebMemory(benchmark::State &state) {
  vazdiag::Workbench workbench(VAZ_BUILD_DIR);
  long afterShort = 0, afterLong = 0;
  PageFigures f;
  for (auto _ : state) {
    run(workbench, true, 1000, "all", nullptr);
    afterShort = bench::peak_rss_kb();
    f = run(workbench, true, env_or("VAZ_LONG_PASSES", 100000), "all", nullptr);
    afterLong = bench::peak_rss_kb();
  }
  state.counters["peak_rss_kb_1k"] = static_cast<double>(afterShort);
  state.counters["peak_rss_kb_long"] = static_cast<double>(afterLong);
  state.counters["growth_kb"] = static_cast<double>(afterLong - afterShort);
  state.counters["page_passes"] = f.passes;
}

}  // namespace

BENCHMARK(BM_WebRate)->Arg(100)->ArgNames({"passes"})->Iterations(1)->Unit(benchmark::kSecond)->UseRealTime();
BENCHMARK(BM_WebMemory)->Iterations(1)->Unit(benchmark::kSecond)->UseRealTime();

BENCHMARK_MAIN();
