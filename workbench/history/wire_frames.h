// What the tester sent, read from the vehicle interface's wire trace: the frames after a
// given point, and whether one of them cleared the trouble codes and how the ECU answered.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace history {

struct SentFrame {
  std::string line;  // the trace line, time stamp and bytes
  std::vector<std::uint8_t> bytes;
  bool toEcu = false;
};

// The frame lines of a wire trace (event lines are left out).
std::vector<SentFrame> framesOf(const std::string &trace);

// The service (KWP2000) or mode (ALDL) byte of a frame, -1 when it has none.
int serviceOf(const std::vector<std::uint8_t> &bytes);

struct ClearOutcome {
  bool found = false;  // a clear request was sent
  bool ok = false;     // and the ECU confirmed it
  std::string sent;    // the request's trace line
};
// KWP2000 ClearDiagnosticInformation (14, answered 54) or the ALDL clear mode (0A).
ClearOutcome findClear(const std::vector<SentFrame> &frames);

// The tester's frames as text, one a line, without the keep-alives (TesterPresent, 3E).
std::string sentText(const std::vector<SentFrame> &frames, std::size_t limit = 24);

}  // namespace history
