// Cost of keeping live data in the session history: one pass written by the history
// writer (CPU and bytes of database per pass), and a whole live-data session through the
// workbench with and without the history listening, on the virtual clock.
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <filesystem>
#include <string>

#include "history_session.h"
#include "history_writer.h"
#include "workbench.h"

namespace {

std::filesystem::path freshFile(const char *name) {
  auto dir = std::filesystem::temp_directory_path() / ("vazdiag_bench_history_" + std::to_string(getpid()));
  std::filesystem::remove_all(dir);
  std::filesystem::create_directories(dir);
  return dir / name;
}

std::uintmax_t bytesOf(const std::filesystem::path &db) {
  std::uintmax_t n = 0;
  for (const char *suffix : {"", "-wal"}) {
    std::error_code ec;
    auto size = std::filesystem::file_size(db.string() + suffix, ec);
    if (!ec) n += size;
  }
  return n;
}

// Argument: items per pass. bytes_per_pass is the database and its log after a checkpoint.
void BM_RecordPass(benchmark::State &state) {
  const auto file = freshFile("pass.sqlite");
  std::vector<history::Field> items;
  for (int i = 0; i < state.range(0); ++i) items.emplace_back("Item " + std::to_string(i) + ", rpm", "1234.5");
  std::int64_t passes = 0;
  {
    history::HistoryWriter writer(file.string());
    writer.beginSession({"m154", 1, "m154", "", "en", "bench"});
    const auto before = bytesOf(file);
    double t = 0;
    for (auto _ : state) {
      writer.pass(t += 130, items);
      ++passes;
    }
    writer.db().exec("PRAGMA wal_checkpoint(TRUNCATE)");
    state.counters["bytes_per_pass"] = static_cast<double>(bytesOf(file) - before) / static_cast<double>(passes);
  }
  std::filesystem::remove_all(file.parent_path());
}

vazdiag::Workbench &workbench() {
  static vazdiag::Workbench instance(VAZ_BUILD_DIR);
  return instance;
}

// Arguments: history off (0) or recording every pass (1). 100 passes of 4 items; the
// wall time per pass is the refresh rate a person sees (the plug-in's pauses included).
void BM_LiveDataWithHistory(benchmark::State &state) {
  const auto file = freshFile("session.sqlite");
  vazdiag::SessionSetup setup;
  setup.carOptions = {{"engine", "idle-fixed"}};
  setup.script = "choose Live data\ntick 1 4 6 9\nstay 100\nback\nback\n";
  vazdiag::HistoryOptions options;
  options.file = file.string();
  options.recordAll = true;
  for (auto _ : state) {
    std::unique_ptr<vazdiag::SessionHistory> history;
    if (state.range(0) != 0) history = std::make_unique<vazdiag::SessionHistory>(options, setup, workbench());
    workbench().run(setup);
    if (history) history->finish();
  }
  state.counters["wall_per_pass"] =
      benchmark::Counter(100, benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
  std::filesystem::remove_all(file.parent_path());
}

}  // namespace

BENCHMARK(BM_RecordPass)->Arg(4)->Arg(34)->ArgName("items")->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_LiveDataWithHistory)->Arg(0)->Arg(1)->ArgName("history")->UseRealTime()->Unit(benchmark::kMillisecond);
BENCHMARK_MAIN();
