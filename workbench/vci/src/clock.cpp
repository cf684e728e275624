// Real-time clock on the monotonic system clock.
#include "clock.h"

#include <thread>

namespace vci {

using Ms = std::chrono::duration<double, std::milli>;

RealClock::RealClock(double start_ms)
    : origin_(std::chrono::steady_clock::now() -
              std::chrono::duration_cast<std::chrono::steady_clock::duration>(Ms(start_ms))) {}

double RealClock::now_ms() const { return Ms(std::chrono::steady_clock::now() - origin_).count(); }

void RealClock::wait_until(double t_ms) {
  std::this_thread::sleep_until(origin_ + std::chrono::duration_cast<std::chrono::steady_clock::duration>(Ms(t_ms)));
}

std::unique_ptr<Clock> make_clock(bool virtual_time, double start_ms) {
  if (virtual_time) return std::make_unique<VirtualClock>(start_ms);
  return std::make_unique<RealClock>(start_ms);
}

}  // namespace vci
