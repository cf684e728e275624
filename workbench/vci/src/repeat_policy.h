// When a real line sends a request again after a lost or spoilt answer: only a request that
// reads (what changes the car may have reached it and is never sent twice), and only so many
// times. The cable's lines and the ELM327 line count their repeats through one policy.
#pragma once

#include "kwp_services.h"

#include <cstdint>
#include <string>
#include <string_view>

namespace vci {

// The ALDL modes that only read (1 data, 2 memory, 3 chosen values).
constexpr bool aldl_mode_repeatable(std::uint8_t mode) { return mode >= 1 && mode <= 3; }
constexpr bool kwp_repeatable(std::uint8_t sid) { return kwp_service_rule(sid).repeatable; }

class Repeats {
 public:
  constexpr Repeats(int times, bool repeatable) : times_(times), repeatable_(repeatable) {}

  bool repeatable() const { return repeatable_; }
  int done() const { return done_; }
  // Whether one more try is allowed; counts it when it is.
  bool another() {
    if (!repeatable_ || done_ >= times_) return false;
    ++done_;
    return true;
  }
  // The trace's mark of the repeat just counted: "repeat 1 of 2 (no answer)".
  std::string mark(std::string_view why) const {
    return "repeat " + std::to_string(done_) + " of " + std::to_string(times_) + " (" + std::string(why) + ")";
  }

 private:
  int times_;
  bool repeatable_;
  int done_ = 0;
};

}  // namespace vci
