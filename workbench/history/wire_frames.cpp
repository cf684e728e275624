// The session's frames for the history: kept as bytes, read by the workbench's frame module.
#include "wire_frames.h"

#include "frames/aldl_frame.h"
#include "frames/kwp_frame.h"

#include <cstdio>

namespace history {

namespace kwp = frames::kwp;
namespace aldl = frames::aldl;

std::string traceLine(const SentFrame &f) {
  char stamp[32];
  std::snprintf(stamp, sizeof stamp, "%10.3f ", f.tMs);
  std::string line = stamp;
  line += f.toEcu ? "T>" : "E<";
  line += ' ';
  static constexpr char kHex[] = "0123456789ABCDEF";
  for (std::size_t i = 0; i < f.bytes.size(); ++i) {
    if (i > 0) line += ' ';
    line += kHex[f.bytes[i] >> 4];
    line += kHex[f.bytes[i] & 0xF];
  }
  return line;
}

void FrameLog::add(double tMs, bool toEcu, const std::uint8_t *bytes, std::size_t count) {
  if (count == 0) return;
  std::lock_guard<std::mutex> g(mutex_);
  SentFrame f;
  if (frames_.size() >= kKept) {
    // The oldest frame's room takes the new one: a long live-data session allocates nothing.
    f = std::move(frames_.front());
    frames_.pop_front();
    ++dropped_;
  }
  f.tMs = tMs;
  f.bytes.assign(bytes, bytes + count);
  f.toEcu = toEcu;
  frames_.push_back(std::move(f));
}

std::uint64_t FrameLog::position() const {
  std::lock_guard<std::mutex> g(mutex_);
  return dropped_ + frames_.size();
}

std::vector<SentFrame> FrameLog::since(std::uint64_t mark) const {
  std::lock_guard<std::mutex> g(mutex_);
  const std::uint64_t from = mark > dropped_ ? mark - dropped_ : 0;
  if (from >= frames_.size()) return {};
  return {frames_.begin() + static_cast<std::ptrdiff_t>(from), frames_.end()};
}

int serviceOf(const std::vector<std::uint8_t> &b) {
  if (b.size() > aldl::kModeAt && b[0] == aldl::kDevice) return b[aldl::kModeAt];
  return kwp::service_of(b.data(), b.size());
}

ClearOutcome findClear(const std::vector<SentFrame> &frames) {
  ClearOutcome r;
  for (std::size_t i = 0; i < frames.size(); ++i) {
    const int sid = serviceOf(frames[i].bytes);
    const bool aldl = !frames[i].bytes.empty() && frames[i].bytes[0] == aldl::kDevice;
    if (!frames[i].toEcu || (sid != kwp::kClearDiagnosticInformation && !(sid == aldl::kClearCodes && aldl))) continue;
    r.found = true;
    r.sent = traceLine(frames[i]);
    r.ok = false;
    // The answer is the next frame from the ECU, if it came before the next request.
    if (i + 1 < frames.size() && !frames[i + 1].toEcu) {
      const int answer = serviceOf(frames[i + 1].bytes);
      r.ok = sid == kwp::kClearDiagnosticInformation ? answer == kwp::kClearDiagnosticInformation + kwp::kPositiveOffset
                                                     : answer == aldl::kClearCodes;
    }
  }
  return r;
}

std::string sentText(const std::vector<SentFrame> &frames, std::size_t limit) {
  std::string out;
  std::size_t n = 0, more = 0;
  for (const auto &f : frames) {
    if (!f.toEcu || serviceOf(f.bytes) == kwp::kTesterPresent) continue;
    if (n++ >= limit) {
      ++more;
      continue;
    }
    const std::string line = traceLine(f);
    auto start = line.find_first_not_of(' ');
    out += line.substr(start == std::string::npos ? 0 : start) + "\n";
  }
  if (more) out += "... " + std::to_string(more) + " more\n";
  return out;
}

}  // namespace history
