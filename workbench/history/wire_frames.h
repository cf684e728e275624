// The frames on the wire as the vehicle interface hands them over, kept for the history: the
// frames after a given point, whether one of them cleared the trouble codes and how the ECU
// answered, and what a test step sent.
#pragma once

#include <cstddef>
#include <cstdint>
#include <deque>
#include <mutex>
#include <string>
#include <vector>

namespace history {

struct SentFrame {
  double tMs = 0;  // the line's clock at its first byte
  std::vector<std::uint8_t> bytes;
  bool toEcu = false;
};

// The frame as the wire trace shows it: time stamp, direction and bytes.
std::string traceLine(const SentFrame &frame);

// The newest frames of the session. The interface may hand frames over from a thread of its
// own (a keep-alive), so every access is locked.
class FrameLog {
 public:
  void add(double tMs, bool toEcu, const std::uint8_t *bytes, std::size_t count);
  // A mark: the frames handed over so far.
  std::uint64_t position() const;
  // The frames after a mark, as far as they are still kept.
  std::vector<SentFrame> since(std::uint64_t mark) const;

  // Frames kept: far more than one action or test step sends, few enough that a live-data
  // session of any length stays in bounded memory.
  static constexpr std::size_t kKept = 8192;

 private:
  mutable std::mutex mutex_;
  std::deque<SentFrame> frames_;
  std::uint64_t dropped_ = 0;  // frames older than frames_.front()
};

// The service (KWP2000) or mode (ALDL) byte of a frame, -1 when it has none.
int serviceOf(const std::vector<std::uint8_t> &bytes);

struct ClearOutcome {
  bool found = false;  // a clear request was sent
  bool ok = false;     // and the ECU confirmed it
  std::string sent;    // the request's trace line
};
// KWP2000 ClearDiagnosticInformation (14, answered 54) or the ALDL clear mode (0A).
ClearOutcome findClear(const std::vector<SentFrame> &frames);

// The tester's frames as trace lines, one a line, without the keep-alives (TesterPresent, 3E).
std::string sentText(const std::vector<SentFrame> &frames, std::size_t limit = 24);

}  // namespace history
