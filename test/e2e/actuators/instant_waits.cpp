// Stand-ins for the C library's sleep and usleep, exported from the test executable so
// that the plug-in binds to them: the sessions run on the virtual clock and must not
// stand still for real seconds.
#include "instant_waits.h"

#include <unistd.h>

namespace e2e {
namespace {
std::vector<unsigned> &recorded() {
  static std::vector<unsigned> seconds;
  return seconds;
}
}  // namespace

const std::vector<unsigned> &waits() { return recorded(); }
void clear_waits() { recorded().clear(); }

}  // namespace e2e

extern "C" unsigned int sleep(unsigned int seconds) {
  e2e::recorded().push_back(seconds);
  return 0;
}

extern "C" int usleep(useconds_t) { return 0; }
