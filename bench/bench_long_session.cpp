// A long live-data session as a user runs it with vazdiag (transcript written out screen by
// screen and not kept, no trace asked for, virtual clock with the plug-in's own waits moving
// the line's clock): the memory it needs must not grow with its length, and a steady refresh
// pass should not touch the heap. Both are measured for the whole process.
#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>

#include "alloc_counter.h"
#include "history_session.h"
#include "peak_memory.h"
#include "workbench.h"

namespace {

vazdiag::Workbench &workbench() {
  static vazdiag::Workbench instance(VAZ_BUILD_DIR);
  return instance;
}

// What a session keeps beside its transcript: nothing, every pass in the history
// (--record), every pass in a CSV log (--log).
enum Keep { kNothing, kRecord, kLog };

std::filesystem::path scratch() {
  const auto dir = std::filesystem::temp_directory_path() / ("vazdiag_bench_long_" + std::to_string(getpid()));
  std::filesystem::create_directories(dir);
  return dir;
}

// M1.5.4, every item of the live data ticked, `passes` refresh passes, as vazdiag runs it.
vazdiag::SessionResult run(long passes, int transcriptFd, Keep keep = kNothing) {
  vazdiag::SessionSetup setup;
  setup.ecuType = 1;
  setup.car = "m154";
  setup.script = "choose Live data\ntick all\nstay " + std::to_string(passes) + "\nback\nback\n";
  setup.transcriptFd = transcriptFd;
  if (keep == kLog) setup.logFile = (scratch() / "live.csv").string();
  std::unique_ptr<vazdiag::SessionHistory> history;
  if (keep == kRecord) {
    vazdiag::HistoryOptions options;
    options.file = (scratch() / "history.sqlite").string();
    options.recordAll = true;
    history = std::make_unique<vazdiag::SessionHistory>(options, setup, workbench());
  }
  auto r = workbench().run(setup);
  if (history) history->finish();
  return r;
}

struct DevNull {
  int fd = ::open("/dev/null", O_WRONLY);
  ~DevNull() { ::close(fd); }
};

// The long run's passes: 100,000, fewer where ctest only proves the program runs.
long long_passes() {
  const char *env = std::getenv("VAZ_LONG_PASSES");
  return env != nullptr ? std::atol(env) : 100000;
}

void BM_MemoryOverPasses(benchmark::State &state) {
  DevNull out;
  long after_short = 0, after_long = 0;
  for (auto _ : state) {
    run(1000, out.fd);
    after_short = bench::peak_rss_kb();
    run(long_passes(), out.fd);
    after_long = bench::peak_rss_kb();
  }
  state.counters["peak_rss_kb_1k"] = static_cast<double>(after_short);
  state.counters["peak_rss_kb_100k"] = static_cast<double>(after_long);
  state.counters["growth_kb"] = static_cast<double>(after_long - after_short);
}

void BM_AllocationsPerPass(benchmark::State &state) {
  if (!bench::counting()) {
    state.SkipWithError("allocations are not counted in a sanitizer build");
    return;
  }
  DevNull out;
  constexpr long kShort = 200, kLong = 2200;
  const auto keep = static_cast<Keep>(state.range(0));
  double per_pass = 0;
  run(kLong, out.fd, keep);  // first use: text files parsed, buffers (and SQLite's page cache) grown
  for (auto _ : state) {
    const auto a0 = bench::allocations();
    run(kShort, out.fd, keep);
    const auto a1 = bench::allocations();
    run(kLong, out.fd, keep);
    const auto a2 = bench::allocations();
    // The difference of two sessions that differ only in their passes: the cost of a pass,
    // without connecting and the screens around the live data.
    per_pass = (static_cast<double>(a2 - a1) - static_cast<double>(a1 - a0)) / (kLong - kShort);
  }
  state.counters["allocations_per_pass"] = per_pass;
  std::filesystem::remove_all(scratch());
}

}  // namespace

BENCHMARK(BM_MemoryOverPasses)->Iterations(1)->Unit(benchmark::kSecond);
// keep: 0 the transcript only, 1 also every pass in the history, 2 also a CSV log.
BENCHMARK(BM_AllocationsPerPass)
    ->Arg(kNothing)
    ->Arg(kRecord)
    ->Arg(kLog)
    ->ArgName("keep")
    ->Iterations(1)
    ->Unit(benchmark::kMillisecond);

BENCHMARK_MAIN();
