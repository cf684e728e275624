// The line front end (four items ticked) and the full-screen front end (every item) in real
// time against the simulated M1.5.4: the refresh rate each reaches, set against the simulated line's own limit computed from the
// run's trace (per pass the request's bytes at 10416 baud with the tester byte gap P4, the
// ECU's answer delay P2, the answer's bytes, the quiet time P3min before the next request).
// A front end that waits for a key in every pass shows as a ratio well below 1.
#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <pty.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "workbench.h"

namespace {

constexpr double kBaud = 10416.0;
constexpr double kByteMs = 10 * 1000.0 / kBaud;
constexpr double kP4 = 2.0;      // the tester byte gap the plug-in sets
constexpr double kP2 = 25.0;     // the simulated ECU's answer delay
constexpr double kP3Min = 55.0;  // quiet before the next request
constexpr const char *kLiveDataRequest = "82 10 F1 21 01 A5";

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

// The passes' rate on the line's clock against the limit of the line itself.
void report(benchmark::State &state, const std::string &trace) {
  const auto f = frames(trace);
  double first = -1, last_end = 0, wire_ms = 0;
  int seen = 0;
  for (std::size_t i = 0; i + 1 < f.size(); ++i) {
    if (!f[i].tester || f[i].text != kLiveDataRequest || f[i + 1].tester) continue;
    if (first < 0) first = f[i].t;
    ++seen;
    const double tx = f[i].bytes * kByteMs + (f[i].bytes - 1) * kP4;
    const double rx = f[i + 1].bytes * kByteMs;
    wire_ms += tx + kP2 + rx + kP3Min;
    last_end = f[i + 1].t + rx + kP3Min;
  }
  if (seen < 2) {
    state.SkipWithError(("the trace shows " + std::to_string(seen) + " passes").c_str());
    return;
  }
  const double measured = seen / ((last_end - first) / 1000.0);
  const double limit = seen / (wire_ms / 1000.0);
  state.counters["passes"] = seen;
  state.counters["passes_per_s"] = measured;
  state.counters["line_limit_per_s"] = limit;
  state.counters["ratio"] = measured / limit;
}


// Standard input from a pipe the benchmark types into, standard output to /dev/null, for
// the length of a session; restored after.
class Console {
 public:
  Console() {
    int p[2];
    if (::pipe(p) != 0) return;
    savedIn_ = ::dup(STDIN_FILENO);
    savedOut_ = ::dup(STDOUT_FILENO);
    ::dup2(p[0], STDIN_FILENO);
    ::close(p[0]);
    writer_ = p[1];
    const int null = ::open("/dev/null", O_WRONLY);
    ::dup2(null, STDOUT_FILENO);
    ::close(null);
  }
  ~Console() {
    hangUp();
    ::dup2(savedIn_, STDIN_FILENO);
    ::dup2(savedOut_, STDOUT_FILENO);
    ::close(savedIn_);
    ::close(savedOut_);
  }
  Console(const Console &) = delete;
  Console &operator=(const Console &) = delete;
  void type(const std::string &text) const { (void)!::write(writer_, text.data(), text.size()); }
  void hangUp() {
    if (writer_ >= 0) ::close(writer_);
    writer_ = -1;
  }

 private:
  int savedIn_ = -1, savedOut_ = -1, writer_ = -1;
};

void BM_LineFrontEndRate(benchmark::State &state) {
  const int passes = static_cast<int>(state.range(0));
  vazdiag::Workbench bench(VAZ_BUILD_DIR);
  vazdiag::SessionSetup setup;
  setup.ecuType = 1;
  setup.car = "m154";
  setup.carOptions = {{"engine", "idle-fixed"}};
  setup.interactive = true;  // not a terminal: the line front end
  setup.virtualClock = false;
  setup.keepRecords = true;  // the trace, for the rate
  std::string trace;
  for (auto _ : state) {
    Console console;
    // Live data (menu entry 5), items 1..4; Enter after about the passes asked for.
    console.type("5\n1 2 3 4\n");
    std::thread user([&] {
      std::this_thread::sleep_for(std::chrono::milliseconds(static_cast<int>(passes * 1000 / 7.0)));
      console.type("\n");
      console.hangUp();  // end of input: Back everywhere
    });
    trace = bench.run(setup).trace;
    user.join();
  }
  report(state, trace);
}

// Standard input and output on a pseudo-terminal of 80x24 (TERM=xterm), whose screen output
// a thread reads away, for the length of a session; restored after.
class Terminal {
 public:
  Terminal() {
    winsize size{24, 80, 0, 0};
    int slave = -1;
    if (::openpty(&master_, &slave, nullptr, nullptr, &size) != 0) return;
    savedIn_ = ::dup(STDIN_FILENO);
    savedOut_ = ::dup(STDOUT_FILENO);
    ::dup2(slave, STDIN_FILENO);
    ::dup2(slave, STDOUT_FILENO);
    ::close(slave);
    ::setenv("TERM", "xterm", 1);
    drain_ = std::thread([fd = master_] {
      char buf[4096];
      while (::read(fd, buf, sizeof buf) > 0) {
      }
    });
  }
  ~Terminal() {
    ::dup2(savedIn_, STDIN_FILENO);
    ::dup2(savedOut_, STDOUT_FILENO);
    ::close(savedIn_);
    ::close(savedOut_);
    ::close(master_);  // the slave is gone: the reader sees the end
    drain_.join();
  }
  Terminal(const Terminal &) = delete;
  Terminal &operator=(const Terminal &) = delete;
  void type(const std::string &keys) const { (void)!::write(master_, keys.data(), keys.size()); }

 private:
  int master_ = -1, savedIn_ = -1, savedOut_ = -1;
  std::thread drain_;
};

void BM_FullScreenRate(benchmark::State &state) {
  const int passes = static_cast<int>(state.range(0));
  vazdiag::Workbench bench(VAZ_BUILD_DIR);
  vazdiag::SessionSetup setup;
  setup.ecuType = 1;
  setup.car = "m154";
  setup.carOptions = {{"engine", "idle-fixed"}};
  setup.interactive = true;  // a terminal: full screen
  setup.virtualClock = false;
  setup.keepRecords = true;
  std::string trace;
  for (auto _ : state) {
    Terminal terminal;
    std::thread user([&] {
      // Live data (menu entry 5), every item ('a'); after about the passes asked for,
      // Backspace out of the data, the selection and the menu.
      terminal.type("5\r");
      std::this_thread::sleep_for(std::chrono::milliseconds(300));
      terminal.type("a\r");
      std::this_thread::sleep_for(std::chrono::milliseconds(static_cast<int>(passes * 1000 / 7.0)));
      for (int i = 0; i < 3; ++i) {
        terminal.type("\x7f");
        std::this_thread::sleep_for(std::chrono::milliseconds(300));
      }
    });
    trace = bench.run(setup).trace;
    user.join();
  }
  report(state, trace);
}

}  // namespace

BENCHMARK(BM_FullScreenRate)->Arg(100)->ArgNames({"passes"})->Iterations(1)->Unit(benchmark::kSecond)->UseRealTime();
BENCHMARK(BM_LineFrontEndRate)->Arg(5)->Arg(100)->ArgNames({"passes"})->Iterations(1)->Unit(benchmark::kSecond)->UseRealTime();

BENCHMARK_MAIN();
