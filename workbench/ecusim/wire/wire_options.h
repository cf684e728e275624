// Command line of vazdiag-ecu: what the user asked for, or a readable error (exit status 2).
#pragma once

#include "wire_faults.h"

#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace ecusim::wire {

enum class CarLine { KLine, Aldl };

struct EchoMode {
  enum class Kind { On, Off, Corrupt };
  Kind kind = Kind::On;
  long corrupt_byte = 0;  // Corrupt: the 1-based received byte echoed inverted
};

// How the wire itself behaves, as real ECUs and cheap cables do; every field 0 (or
// unset): a clean line.
struct WireTiming {
  double gap_ms = 0;                // answer bytes apart by up to this much beyond one byte time
  double burst_ms = 0;              // the tester's side receives every byte only at this period
  std::optional<double> answer_ms;  // answer delay instead of the car's own (K line 25, ALDL 10)
  double noise_ms = 0;              // a 00 or FF byte this long before every answer
};

struct WireOptions {
  std::string car;
  CarLine line = CarLine::KLine;
  std::vector<std::pair<std::string, std::string>> car_options;  // in the given order
  bool pty = false;
  std::string link;  // with --pty: symbolic link to the slave
  std::string port;  // a serial device instead of the pty
  std::string log;   // empty: standard error
  EchoMode echo;
  std::vector<Fault> faults;
  WireTiming timing;
  bool help = false;
};

// Parses argv without the program name; on a bad option returns nothing and sets error.
std::optional<WireOptions> parse_wire_options(const std::vector<std::string> &args, std::string &error);

extern const char *const kWireUsage;

}  // namespace ecusim::wire
