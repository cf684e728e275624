// The time live-data rows are stamped with. By default the wall clock; when the host hands
// over the line's clock, the moment the line has reached, counted on from the wall time of
// the hand-over, so that a recording on a virtual clock shows the engine's time (passes tens
// of ms apart as on a car), not the few µs the machine took.
#pragma once

#include <chrono>

namespace stdhost {

using LineClockMs = double (*)();

// nowMs null: back to the wall clock.
void useLineClock(LineClockMs nowMs);
std::chrono::system_clock::time_point stampTime();

}  // namespace stdhost
