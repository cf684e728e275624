// The plug-in paces itself with the C library's sleep and usleep (1 ms after each item it
// hands to the display, 5 s for an ECU to restart). vazdiag exports its own two, which the
// plug-in binds before the C library's: on the virtual clock such a wait moves the line's
// clock on (the ECU sees the time pass) instead of stopping the process, so a scripted
// session of any length runs at the speed of the machine; on the real-time clock they
// sleep as the C library's do.
#include <time.h>
#include <unistd.h>

#include <cerrno>

#include "workbench.h"

namespace {

void real_sleep(unsigned long long us) {
  timespec t{static_cast<time_t>(us / 1000000), static_cast<long>(us % 1000000) * 1000};
  while (nanosleep(&t, &t) != 0 && errno == EINTR) {}
}

// Microseconds below a whole millisecond, carried to the next wait (the line's clock is
// advanced in ms).
unsigned long long gCarriedUs = 0;

void wait_us(unsigned long long us) {
  const unsigned long long total = gCarriedUs + us;
  if (vazdiag::advanceVirtualClock(static_cast<unsigned>(total / 1000))) {
    gCarriedUs = total % 1000;
    return;
  }
  real_sleep(us);
}

}  // namespace

extern "C" unsigned int sleep(unsigned int seconds) {
  wait_us(static_cast<unsigned long long>(seconds) * 1000000ull);
  return 0;
}

extern "C" int usleep(useconds_t us) {
  wait_us(us);
  return 0;
}
