// Turns the bytes a tester sends, one at a time with their arrival times, into request
// frames: by the KWP2000 length rules on the K line, by the length code on ALDL. A pause
// longer than the gap limit inside a frame drops what has arrived of it, as a real ECU
// resynchronises on line silence.
#pragma once

#include "ecusim/kwp_frame.h"

#include <cstddef>
#include <cstdint>
#include <optional>

namespace ecusim::wire {

enum class Framing { Kwp, Aldl };

// The pause inside a request that ends it. A tester keeps its request bytes P4max (20 ms)
// apart at most, but one on a busy machine may be held up longer between two bytes (the
// workbench waits up to 100 ms for each byte's echo before it sends the next), and a real
// ECU tolerates a late byte as it does a slow tester. A shorter pause never joins two
// requests: a complete one leaves no partial frame, and after a request given up half sent
// the tester stays quiet for longer than this before the next.
inline constexpr double kFrameGapMs = 100.0;

// Length of a KWP2000 frame, checksum included, from its first bytes; 0 while the bytes at
// hand do not tell yet (a separate length byte still to come). The two address bits of the
// format byte decide whether target and source follow; six length bits of 0 mean that a
// length byte follows the header.
std::size_t kwp_request_length(const std::uint8_t *bytes, std::size_t available);

// Length of an ALDL frame (device, length code 0x55 + m, mode, data, checksum: m + 3
// bytes); 0 while the length code has not arrived, nullopt for a code below 0x56.
std::optional<std::size_t> aldl_request_length(const std::uint8_t *bytes, std::size_t available);

struct Dropped {
  enum class Why { Gap, BadLengthCode, Abandoned };
  Why why = Why::Gap;
  std::size_t bytes = 0;  // what had arrived of the frame
  double gap_ms = 0;      // Gap: the pause that ended it
  std::uint8_t code = 0;  // BadLengthCode: the ALDL length code
};

struct Assembled {
  Bytes frame;
  double first_ms = 0;  // arrival of its first byte
  double last_ms = 0;   // and of its last
};

class RequestAssembler {
 public:
  explicit RequestAssembler(Framing framing, double gap_ms = kFrameGapMs) : framing_(framing), gap_ms_(gap_ms) {}

  struct Step {
    std::optional<Dropped> dropped;    // what this byte (or the pause before it) threw away
    std::optional<Assembled> request;  // the frame this byte completed
  };
  Step push(std::uint8_t byte, double t_ms);

  // The partial frame, dropped when the gap has passed at now_ms.
  std::optional<Dropped> expire(double now_ms);
  // Forgets the partial frame (a byte that could not be decoded cut it).
  std::optional<Dropped> abandon();
  // When expire() will drop the partial frame; nullopt with none.
  std::optional<double> deadline() const;
  std::size_t pending() const { return frame_.size(); }

 private:
  Framing framing_;
  double gap_ms_;
  Bytes frame_;
  double first_ms_ = 0, last_ms_ = 0;
};

}  // namespace ecusim::wire
