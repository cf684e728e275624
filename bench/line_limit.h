// The live-data rate a run reached, set against the limit of the line itself, both read from
// the run's wire trace: per pass the request's bytes at the baud rate with the tester's byte
// gap P4 between them, the ECU's answer delay P2, the answer's bytes, and the quiet time
// P3min before the next request. Shared by the benchmarks of the simulated and the serial line.
#pragma once

#include <benchmark/benchmark.h>

#include <string>

namespace bench {

// The fixed parts of an exchange on the wire, in ms: the byte gap between request bytes
// (the tester's P4, or an adapter's own), the ECU's answer delay P2, the quiet time P3
// before the next request.
struct WireTiming {
  double p4 = 2.0;  // what the plug-in sets on a raw cable
  double p2 = 25.0;
  double p3 = 55.0;
};

struct LineRate {
  int passes = 0;       // ReadDataByLocalIdentifier 01 exchanges in the trace
  double measured = 0;  // passes per second, first request to the end of the last P3
  double limit = 0;     // passes per second the line allows
};

LineRate line_rate(const std::string &trace, const WireTiming &timing = {});

// Sets the counters passes, passes_per_s, line_limit_per_s and ratio; an error when the
// trace shows fewer than two passes (or not the expected number, when one is given).
void report_line_rate(benchmark::State &state, const std::string &trace, int expected = 0,
                      const WireTiming &timing = {});

}  // namespace bench
