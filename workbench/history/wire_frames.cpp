// Reading tester frames and the clear request out of the wire trace.
#include "wire_frames.h"

#include <cstdlib>
#include <sstream>

namespace history {

std::vector<SentFrame> framesOf(const std::string &trace) {
  std::vector<SentFrame> out;
  std::istringstream in(trace);
  for (std::string line; std::getline(in, line);) {
    auto t = line.find(" T> "), e = line.find(" E< ");
    auto at = t != std::string::npos ? t : e;
    if (at == std::string::npos) continue;
    SentFrame f{line, {}, t != std::string::npos};
    std::istringstream bytes(line.substr(at + 4));
    for (std::string b; bytes >> b;) {
      char *end = nullptr;
      long v = std::strtol(b.c_str(), &end, 16);
      if (*end != '\0' || v < 0 || v > 0xFF) break;
      f.bytes.push_back(static_cast<std::uint8_t>(v));
    }
    if (!f.bytes.empty()) out.push_back(std::move(f));
  }
  return out;
}

int serviceOf(const std::vector<std::uint8_t> &b) {
  if (b.size() >= 3 && b[0] == 0xF4) return b[2];  // ALDL: device F4, length code, mode
  if (b.empty()) return -1;
  // KWP2000: format byte, target and source when addressed, a length byte when the
  // format byte's length is 0.
  std::size_t header = (b[0] & 0xC0) ? 3 : 1;
  if ((b[0] & 0x3F) == 0) ++header;
  return header < b.size() ? b[header] : -1;
}

ClearOutcome findClear(const std::vector<SentFrame> &frames) {
  ClearOutcome r;
  for (std::size_t i = 0; i < frames.size(); ++i) {
    const int sid = serviceOf(frames[i].bytes);
    if (!frames[i].toEcu || (sid != 0x14 && !(sid == 0x0A && frames[i].bytes[0] == 0xF4))) continue;
    r.found = true;
    r.sent = frames[i].line;
    r.ok = false;
    // The answer is the next frame from the ECU, if it came before the next request.
    if (i + 1 < frames.size() && !frames[i + 1].toEcu) {
      const int answer = serviceOf(frames[i + 1].bytes);
      r.ok = sid == 0x14 ? answer == 0x54 : answer == 0x0A;
    }
  }
  return r;
}

std::string sentText(const std::vector<SentFrame> &frames, std::size_t limit) {
  std::string out;
  std::size_t n = 0, more = 0;
  for (const auto &f : frames) {
    if (!f.toEcu || serviceOf(f.bytes) == 0x3E) continue;
    if (n++ >= limit) {
      ++more;
      continue;
    }
    auto start = f.line.find_first_not_of(' ');
    out += f.line.substr(start == std::string::npos ? 0 : start) + "\n";
  }
  if (more) out += "... " + std::to_string(more) + " more\n";
  return out;
}

}  // namespace history
