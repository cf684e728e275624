// Reading of a wire trace (vazdiag --trace): every frame line annotated with
// its protocol, addresses, service name and a verified checksum; event lines
// pass through as they are.
#pragma once

#include <cstdint>
#include <istream>
#include <ostream>
#include <string>
#include <vector>

namespace vazdiag {

struct FrameNote {
  std::string text;         // e.g. "KWP F1->10 ReadDataByLocalIdentifier (21) 01; checksum A5 ok"
  bool checksumOk = false;  // false also when the frame cannot be parsed
  bool parsed = false;
};

// One frame as it went over the line (format byte or device identifier first,
// checksum last). toEcu tells the direction.
FrameNote describeFrame(const std::vector<std::uint8_t> &bytes, bool toEcu);

struct TraceSummary {
  int frames = 0;
  int badChecksums = 0;
  int unparsed = 0;
};

// Whether any line reads as a trace line (time stamp, then T>, E< or --).
bool looksLikeTrace(std::istream &in);

// Copies the trace to out (control characters escaped) with a note line under each frame and a closing summary.
TraceSummary decodeTrace(std::istream &in, std::ostream &out);

// Name of a KWP2000 service identifier (request or positive answer), "" when unknown.
std::string serviceName(std::uint8_t sid);

}  // namespace vazdiag
