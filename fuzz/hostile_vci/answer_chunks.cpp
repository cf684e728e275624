// The hostile ECU's answers: each request takes the next chunk of the fuzz input and
// turns it into what the vehicle interface hands the plug-in.
//
// Chunk: [kind][length] then `length` bytes (fewer when the input ends first).
// kind bit 7 adds 256 to the length; the bytes used never exceed what the answer
// buffer layout holds (344 bytes: frame count, length byte, frame).
// kind bits 0-2:
//   0, 1, 2  one frame: [1][n][bytes], result 1 (the common case, so three codes)
//   3        the answer buffer exactly as given (frame count and length bytes of any
//            value: several frames, counts that lie), result 1
//   4        no answer: result -1, buffer untouched
//   5        a late answer: the frame lands in the buffer, but the result is -1
//   6        success without a frame: [0][0], result 0
//   7        one frame, then the next chunk's bytes glued on as a second frame
// Once the input is used up every request goes unanswered.
#include "hostile_vci.h"

#include <algorithm>
#include <cstdint>
#include <cstring>

namespace {

constexpr std::size_t kAnswerBuffer = 344;

const unsigned char *gData = nullptr;
std::size_t gSize = 0;
std::size_t gAt = 0;
int gRequests = 0;

struct Chunk {
  int kind = 4;
  const unsigned char *bytes = nullptr;
  std::size_t size = 0;
};

Chunk next_chunk(std::size_t room) {
  Chunk c;
  if (gAt + 2 > gSize) {
    gAt = gSize;
    return c;
  }
  const unsigned kind = gData[gAt];
  std::size_t len = gData[gAt + 1] + ((kind & 0x80) ? 256u : 0u);
  gAt += 2;
  len = std::min({len, gSize - gAt, room});
  c.kind = static_cast<int>(kind & 0x07);
  c.bytes = gData + gAt;
  c.size = len;
  gAt += len;
  return c;
}

// One frame with its count and length bytes; returns the bytes written.
std::size_t put_frame(unsigned char *answer, const Chunk &c) {
  answer[0] = 1;
  answer[1] = static_cast<unsigned char>(c.size);
  if (c.size != 0) std::memcpy(answer + 2, c.bytes, c.size);
  return c.size + 2;
}

}  // namespace

namespace hostile {

// Answers one request into `answer` (room bytes at most, never more than the layout's
// 344); the result is what the service returns.
int answer_request(unsigned char *answer, std::size_t room) {
  ++gRequests;
  room = std::min(room, kAnswerBuffer);
  Chunk c = next_chunk(room >= 2 ? room - 2 : 0);
  if (answer == nullptr) return c.kind == 4 || c.kind == 5 ? -1 : 1;
  switch (c.kind) {
    case 3:
      if (c.size != 0 && c.size <= room) std::memcpy(answer, c.bytes, c.size);
      return 1;
    case 4: return -1;
    case 5: put_frame(answer, c); return -1;
    case 6:
      answer[0] = 0;
      answer[1] = 0;
      return 0;
    case 7: {
      const std::size_t used = put_frame(answer, c);
      if (used >= room) return 1;  // no room left for a second frame
      const Chunk second = next_chunk(room > used + 1 ? room - used - 1 : 0);
      answer[0] = 2;
      answer[used] = static_cast<unsigned char>(second.size);
      if (second.size != 0) std::memcpy(answer + used + 1, second.bytes, second.size);
      return 1;
    }
    default: put_frame(answer, c); return 1;
  }
}

// A request without an answer buffer (a set-up or ISO send): only the result counts.
int answer_without_buffer() { return answer_request(nullptr, 0); }

}  // namespace hostile

extern "C" {

__attribute__((visibility("default"))) void HostileVciFeed(const unsigned char *answers, size_t size) {
  gData = answers;
  gSize = answers ? size : 0;
  gAt = 0;
  gRequests = 0;
}

__attribute__((visibility("default"))) int HostileVciRequests(void) { return gRequests; }

}  // extern "C"
