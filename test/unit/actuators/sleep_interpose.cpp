// Stand-ins for the C library's sleep and usleep: the plug-in's waits return at
// once and are counted, so a 5 s restart wait costs nothing and can be checked.
#include <unistd.h>

#include "fake_host.h"

extern "C" unsigned int sleep(unsigned int seconds) {
  fake::host().sleeps.push_back(seconds);
  fake::host().log.push_back("sleep " + std::to_string(seconds));
  return 0;
}

extern "C" int usleep(useconds_t) {
  ++fake::host().usleeps;
  return 0;
}
