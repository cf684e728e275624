// Turns the bytes read from a half-duplex serial line (K line or ALDL) into frames. The line
// hands back every byte the tester sends, so the first bytes read after a request are its
// echo: they are checked against what was sent and never handed on. What follows is the
// ECU's answer, cut into frames by the protocol's length rules (KWP2000 format and length
// bytes, ALDL length code) and ended early by an inter-byte gap longer than the protocol
// allows. A frame that is cut short, has a wrong checksum or cannot be one addressed to the
// tester does not take its bytes with it: they are scanned again for the next possible frame
// start, so a noise byte before an answer never costs the answer (ALDL resynchronises on the
// device identifier). Nothing here touches a port or a clock: the caller feeds bytes with
// the moment they were read, so tests and fuzz targets can split the input anywhere.
#pragma once

#include "frames/aldl_frame.h"
#include "frames/kwp_frame.h"

#include <cstddef>
#include <cstdint>
#include <deque>
#include <optional>
#include <string>
#include <vector>

namespace vci {

enum class WireProtocol { Kwp, Aldl };

using WireBytes = std::vector<std::uint8_t>;

struct WireFrame {
  WireBytes bytes;
  double start_ms = 0;  // first byte read
  double end_ms = 0;    // last byte read
  bool checksum_ok = false;
};

// Something the assembler dropped or found wrong, for the wire trace.
struct WireNote {
  double t_ms = 0;
  std::string text;
};

// Longest frames the protocols allow.
inline constexpr std::size_t kMaxKwpFrame = frames::kwp::kMaxFrame;
inline constexpr std::size_t kMaxAldlFrame = frames::aldl::kMaxFrame;

// Length of a KWP2000 frame from its first bytes (format byte, addresses, length byte):
// the total with checksum, 0 while more bytes are needed to tell, -1 when the first byte
// cannot start a frame.
int kwp_frame_size(const std::uint8_t *bytes, std::size_t available);

class WireAssembler {
 public:
  // gap_limit_ms: a longer silence between two bytes of one frame ends it (P1max).
  // aldl_device: the device identifier an ALDL frame starts with; bytes before it are
  // skipped (the assembler resynchronises on it).
  WireAssembler(WireProtocol protocol, double gap_limit_ms, std::uint8_t aldl_device = frames::aldl::kDevice);

  // Forget everything: pending echo, partial frame, frames not yet taken.
  void reset();
  // KWP2000 answers to this tester only: a frame must carry addresses and name it as target.
  void answers_to(std::uint8_t tester) { tester_ = tester; }
  // The echo of these bytes is the next thing the line hands back.
  void expect_echo(const std::uint8_t *bytes, std::size_t count);
  // Bytes read at t_ms, in order (a gap before them is judged by idle(), not here).
  void feed(const std::uint8_t *bytes, std::size_t count, double t_ms);
  // Nothing more was read until t_ms: a frame whose last byte is older than the gap limit
  // is cut off and dropped.
  void idle(double t_ms);

  std::size_t echo_pending() const { return echo_.size(); }
  // The line handed back a byte other than the one sent (cleared by reset()).
  bool echo_mismatch() const { return echo_mismatch_; }
  // A frame has begun and is not complete yet.
  bool receiving() const { return !partial_.empty(); }
  // When the frame being received began (its first byte read); meaningful while receiving.
  double partial_start_ms() const { return partial_.empty() ? last_byte_ms_ : partial_.front().t_ms; }
  // Frames cut short by a gap so far.
  std::size_t cut_frames() const { return cuts_; }
  double last_byte_ms() const { return last_byte_ms_; }

  // Complete frames in the order they were read (also those with a wrong checksum).
  std::optional<WireFrame> next_frame();
  // Notes since the last call.
  std::vector<WireNote> take_notes();

 private:
  struct Timed {
    std::uint8_t b;
    double t_ms;
  };
  void take(std::uint8_t b, double t_ms);
  // Takes the partial frame's bytes after its first again, from a clean start.
  void rescan_partial();
  void note(double t_ms, std::string text);
  int wanted() const;  // frame size once known, 0 while unknown, -1 when unusable

  WireProtocol protocol_;
  double gap_limit_ms_;
  std::uint8_t aldl_device_;
  std::deque<std::uint8_t> echo_;
  bool echo_mismatch_ = false;
  std::optional<std::uint8_t> tester_;
  std::vector<Timed> partial_;
  double last_byte_ms_ = 0;
  std::size_t skipped_ = 0;  // noise bytes skipped before a frame start
  std::size_t cuts_ = 0;
  std::deque<WireFrame> frames_;
  std::vector<WireNote> notes_;
};

}  // namespace vci
