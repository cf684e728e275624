// Row time stamps on the wall clock or on the line's clock.
#include "line_clock.h"

namespace stdhost {
namespace {

struct Anchor {
  LineClockMs nowMs = nullptr;
  std::chrono::system_clock::time_point wall;  // the wall time when the line read lineMs
  double lineMs = 0;
};

Anchor &anchor() {
  static Anchor a;
  return a;
}

}  // namespace

void useLineClock(LineClockMs nowMs) {
  Anchor &a = anchor();
  a.nowMs = nowMs;
  a.wall = std::chrono::system_clock::now();
  a.lineMs = nowMs ? nowMs() : 0;
}

std::chrono::system_clock::time_point stampTime() {
  const Anchor &a = anchor();
  if (!a.nowMs) return std::chrono::system_clock::now();
  const std::chrono::duration<double, std::milli> since(a.nowMs() - a.lineMs);
  return a.wall + std::chrono::duration_cast<std::chrono::system_clock::duration>(since);
}

}  // namespace stdhost
