// Peak resident memory of the whole benchmark process, for the benchmarks whose target is
// that memory staying flat over a long session.
#pragma once

#include <fstream>
#include <string>

namespace bench {

// VmHWM of /proc/self/status in kB, -1 where it cannot be read.
inline long peak_rss_kb() {
  std::ifstream in("/proc/self/status");
  for (std::string key; in >> key;) {
    if (key == "VmHWM:") {
      long kb = 0;
      in >> kb;
      return kb;
    }
    in.ignore(4096, '\n');
  }
  return -1;
}

}  // namespace bench
