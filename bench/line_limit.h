// The live-data rate a run reached, set against the limit of the line itself, both read from
// the run's wire trace: per pass the request's bytes at the line's rate with the tester's
// byte gap between them, the ECU's answer delay as measured in that pass, the answer's
// bytes, and the quiet time before the next request, or the plug-in's own 1 ms per shown
// item where that is longer (it runs while the line is quiet). Shared by the benchmarks of
// the simulated and the serial line; the K line (Bosch) and ALDL (GM) requests are known.
#pragma once

#include <benchmark/benchmark.h>

#include <string>

namespace bench {

struct LineRate {
  int passes = 0;             // live-data exchanges in the trace
  double measured = 0;        // passes per second, first request to the end of the last quiet time
  double limit = 0;           // passes per second the line allows
  double answer_ms = 0;       // the ECU's answer delay, mean of the passes
  bool plugin_bound = false;  // the plug-in's 1 ms per item is longer than the quiet time
};

// shown_items: items the plug-in shows per pass (it sleeps 1 ms after each); last_n: only
// the last so many exchanges are passes (0: all); byte_gap: the gap between request bytes
// where not the tester's own P4 paces them (an adapter's), negative for the line's own.
LineRate line_rate(const std::string &trace, int shown_items = 0, int last_n = 0, double byte_gap = -1);

// The live-data passes a real-time run asks for: the benchmark's argument `arg`, capped by
// VAZ_SMOKE_PASSES where that is set (ctest's smoke runs: proof that the run works, in a
// few seconds, not a figure).
int passes_asked(const benchmark::State &state, int arg = 0);

// Sets the counters passes, passes_per_s, line_limit_per_s, ratio, answer_ms and
// plugin_bound; an error when the trace shows fewer than two passes (or not the expected
// number, when one is given).
void report_line_rate(benchmark::State &state, const std::string &trace, int expected = 0, int shown_items = 0,
                      double byte_gap = -1);

}  // namespace bench
