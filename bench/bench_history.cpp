// Cost of keeping live data in the session history: one pass written by the history
// writer (CPU and bytes of database per pass), a whole live-data session through the
// workbench with and without the history listening, on the virtual clock, and the report
// of a long recording (time, and memory beyond what the process held before).
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

#include "history_reader.h"
#include "history_session.h"
#include "history_writer.h"
#include "html_report.h"
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
  std::vector<history::PassItem> items;
  for (int i = 0; i < state.range(0); ++i)
    items.push_back({"Item " + std::to_string(i) + ", rpm", "Item " + std::to_string(i), "rpm", "1234.5", 1234.5});
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
    writer.flush();  // the last batch, so that every pass is in the file
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

long vmKb(const char *key) {
  std::ifstream in("/proc/self/status");
  for (std::string k; in >> k;) {
    if (k == key) {
      long kb = 0;
      in >> kb;
      return kb;
    }
    in.ignore(4096, '\n');
  }
  return -1;
}

// A recording of VAZ_REPORT_HOURS hours (default 10) of every M1.5.4 item at 7.5 passes a
// second, then its report: loaded as a stream and charted. peak_growth_kb is the peak
// resident memory of the report beyond what the process held when it began.
void BM_ReportOfLongRecording(benchmark::State &state) {
  const char *env = std::getenv("VAZ_REPORT_HOURS");
  const double hours = env != nullptr ? std::atof(env) : 10;
  const auto file = freshFile("long.sqlite");
  const long passes = static_cast<long>(hours * 3600 * 7.5);
  {
    history::HistoryWriter writer(file.string());
    writer.beginSession({"m154", 1, "m154", "", "en", ""});
    std::vector<history::PassItem> items;
    for (int i = 0; i < 34; ++i)
      items.push_back(
          {"Item number " + std::to_string(i) + ", rpm", "Item number " + std::to_string(i), "rpm", "", {}});
    for (long p = 0; p < passes; ++p) {
      for (std::size_t i = 0; i < items.size(); ++i) {
        const long v = (p * 7 + static_cast<long>(i) * 13) % 5000;
        items[i].value = std::to_string(v) + ".5";
        items[i].number = static_cast<double>(v) + 0.5;
      }
      writer.pass(static_cast<double>(p) * 133.3, items);
    }
    writer.endSession();
  }
  std::size_t bytes = 0;
  long growth = 0;
  for (auto _ : state) {
    std::ofstream("/proc/self/clear_refs") << "5";  // the peak starts again from now
    const long before = vmKb("VmRSS:");
    history::Db db = history::openHistory(file.string());
    const auto session = history::loadSession(db, 1);
    bytes = history::htmlReport(*session).size();
    growth = vmKb("VmHWM:") - before;
  }
  state.counters["passes"] = static_cast<double>(passes);
  state.counters["page_bytes"] = static_cast<double>(bytes);
  state.counters["peak_growth_kb"] = static_cast<double>(growth);
  std::filesystem::remove_all(file.parent_path());
}

}  // namespace

BENCHMARK(BM_ReportOfLongRecording)->Iterations(1)->Unit(benchmark::kSecond);
BENCHMARK(BM_RecordPass)->Arg(4)->Arg(34)->ArgName("items")->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_LiveDataWithHistory)->Arg(0)->Arg(1)->ArgName("history")->UseRealTime()->Unit(benchmark::kMillisecond);
BENCHMARK_MAIN();
