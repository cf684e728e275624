// The line front end (four items ticked) and the full-screen front end (every item) in real
// time against the simulated M1.5.4: the refresh rate each reaches, set against the simulated line's own limit computed
// from the run's trace (per pass the request's bytes at 10416 baud with the tester byte gap P4, the ECU's answer delay
// P2, the answer's bytes, the quiet time P3min before the next request). A front end that waits for a key in every pass
// shows as a ratio well below 1.
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

#include "line_limit.h"
#include "workbench.h"

namespace {

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

// An interactive M1.5.4 session in real time whose trace is kept, for the rate; the front
// end follows from what standard input and output are.
vazdiag::SessionSetup interactive_setup() {
  vazdiag::SessionSetup setup;
  setup.ecuType = 1;
  setup.car = "m154";
  setup.carOptions = {{"engine", "idle-fixed"}};
  setup.interactive = true;
  setup.virtualClock = false;
  setup.keepRecords = true;
  return setup;
}

void BM_LineFrontEndRate(benchmark::State &state) {
  const int passes = bench::passes_asked(state);
  vazdiag::Workbench workbench(VAZ_BUILD_DIR);
  vazdiag::SessionSetup setup = interactive_setup();  // not a terminal: the line front end
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
    trace = workbench.run(setup).trace;
    user.join();
  }
  bench::report_line_rate(state, trace);
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
      while (::read(fd, buf, sizeof buf) > 0) {}
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
  const int passes = bench::passes_asked(state);
  vazdiag::Workbench workbench(VAZ_BUILD_DIR);
  vazdiag::SessionSetup setup = interactive_setup();  // a terminal: full screen
  std::string trace;
  for (auto _ : state) {
    Terminal terminal;
    std::thread user([&] {
      // Live data (menu entry 5), every item ('a'); after about the passes asked for,
      // Backspace out of the data, the selection and the menu, whose question to end the
      // session is answered yes.
      terminal.type("5\r");
      std::this_thread::sleep_for(std::chrono::milliseconds(300));
      terminal.type("a\r");
      std::this_thread::sleep_for(std::chrono::milliseconds(static_cast<int>(passes * 1000 / 7.0)));
      for (int i = 0; i < 3; ++i) {
        terminal.type("\x7f");
        std::this_thread::sleep_for(std::chrono::milliseconds(300));
      }
      terminal.type("y");
    });
    trace = workbench.run(setup).trace;
    user.join();
  }
  bench::report_line_rate(state, trace);
}

}  // namespace

BENCHMARK(BM_FullScreenRate)->Arg(100)->ArgNames({"passes"})->Iterations(1)->Unit(benchmark::kSecond)->UseRealTime();
BENCHMARK(BM_LineFrontEndRate)
    ->Arg(5)
    ->Arg(100)
    ->ArgNames({"passes"})
    ->Iterations(1)
    ->Unit(benchmark::kSecond)
    ->UseRealTime();

BENCHMARK_MAIN();
