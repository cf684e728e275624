// The event log of the wire ECU: one line per event, "%10.3f text" in ms since the program
// started, flushed at once because tests and people read it while the program runs.
#pragma once

#include "ecusim/kwp_frame.h"

#include <cstdio>
#include <memory>
#include <string>
#include <string_view>

namespace ecusim::wire {

class WireLog {
 public:
  // Standard error.
  WireLog();
  // Appends to 'path'; check ok() afterwards.
  explicit WireLog(const std::string &path);

  bool ok() const { return out_ != nullptr; }
  void line(double t_ms, std::string_view text);

 private:
  struct Closer {
    void operator()(std::FILE *f) const;
  };
  std::unique_ptr<std::FILE, Closer> owned_;
  std::FILE *out_ = nullptr;
};

// "82 10 F1 21 01 A5"
std::string hex_bytes(const Bytes &bytes);

}  // namespace ecusim::wire
