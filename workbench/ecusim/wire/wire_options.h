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
  bool help = false;
};

// Parses argv without the program name; on a bad option returns nothing and sets error.
std::optional<WireOptions> parse_wire_options(const std::vector<std::string> &args, std::string &error);

extern const char *const kWireUsage;

}  // namespace ecusim::wire
