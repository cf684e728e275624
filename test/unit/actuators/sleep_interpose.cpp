// Stand-ins for the C library's sleep and usleep: the plug-in's waits return at
// once and are counted, so a 5 s restart wait costs nothing and can be checked.
#include <unistd.h>

#include "fake_host.h"

extern "C" unsigned int sleep(unsigned int seconds) {
  fake.sleeps.push_back(seconds);
  fake.calls.push_back("sleep " + std::to_string(seconds));
  return 0;
}

extern "C" int usleep(useconds_t) {
  ++fake.usleeps;
  return 0;
}
