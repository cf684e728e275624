// The faults armed on a simulated line and the bookkeeping of which request each one spoils,
// for the interface's simulated lines and the wire ECU program alike. Requests are matched on
// one byte: the service identifier (K line) or the mode byte (ALDL). Each side brings its own
// fault record with the kinds it can show; the record needs a sid (-1: every request), a skip
// and a count (-1: every one after the skipped ones).
#pragma once

#include <cstdint>
#include <optional>
#include <vector>

namespace ecusim {

template <class Fault>
class ArmedFaults {
 public:
  void arm(const Fault &fault) { faults_.push_back(fault); }
  void clear() { faults_.clear(); }

  // Every armed fault whose sid matches counts the request, so that each one's skip counts
  // the same requests whichever fault spoils them; the first one whose skip is used up and
  // count not exhausted spoils it.
  std::optional<Fault> take(std::uint8_t sid) {
    std::optional<Fault> chosen;
    for (Fault &f : faults_) {
      if (f.sid != -1 && f.sid != sid) continue;
      if (f.skip > 0) {
        --f.skip;
        continue;
      }
      if (f.count == 0 || chosen) continue;
      if (f.count > 0) --f.count;
      chosen = f;
    }
    return chosen;
  }

 private:
  std::vector<Fault> faults_;
};

}  // namespace ecusim
