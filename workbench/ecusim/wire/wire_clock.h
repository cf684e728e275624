// The one clock of the wire ECU: ms on the monotonic clock since the program started. The
// models count their time on it too (power_on(0) at start), and every deadline is absolute
// on it, so waiting late once never shifts the bytes after it.
#pragma once

#include <chrono>
#include <ctime>

namespace ecusim::wire {

class WireClock {
 public:
  WireClock() : start_(std::chrono::steady_clock::now()) {}

  double now_ms() const {
    return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start_).count();
  }

  // The wait from now until deadline_ms, for ppoll; zero when it has passed.
  timespec until(double deadline_ms) const {
    double wait = deadline_ms - now_ms();
    if (wait < 0) wait = 0;
    const auto ns = static_cast<long long>(wait * 1e6);
    return timespec{static_cast<time_t>(ns / 1000000000LL), static_cast<long>(ns % 1000000000LL)};
  }

 private:
  std::chrono::steady_clock::time_point start_;
};

}  // namespace ecusim::wire
