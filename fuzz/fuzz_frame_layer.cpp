// Fuzz target of the frame layer: SendRec_KWP2000 and SendRec_GM write the
// checksum of an arbitrary length-prefixed frame, SendRec_MICAS stuffs it and
// unstuffs whatever the vehicle interface answers.
//
// Input: byte 0 chooses the routine (bits 0-1: KWP, GM, MICAS, MICAS), the
// simulation mode (bit 2) and a failing interface (bit 3); byte 1 is the
// frame's length byte, the bytes after it the frame; whatever the frame does
// not use is the answer the fake interface hands back.
#include <algorithm>
#include <cstdint>
#include <cstring>
#include <memory>

#include "vaz_old.h"

namespace {

// The request buffer of the comm routines: 256 bytes, length byte included.
constexpr std::size_t kFrameBuf = 256;

const std::uint8_t *gReply = nullptr;
std::size_t gReplySize = 0;
bool gFail = false;

int deliver(u8 *answer, int room) {
  if (gFail) return -1;
  const std::size_t n = std::min<std::size_t>(gReplySize, room > 0 ? static_cast<std::size_t>(room) : 0);
  if (n != 0) std::memcpy(answer, gReply, n);
  return static_cast<int>(n);
}

int fake_kwp(int, u8 *answer, int maxLength, int, u8 *) { return deliver(answer, maxLength); }
int fake_one_to_one(int, u8 *answer, int size, int, int, u8 *, int, int, int) { return deliver(answer, size); }
int fake_gm_multi(int, u8 *, u8 *answer, int size) { return deliver(answer, size); }

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size) {
  if (size < 2) return 0;
  KwpSendDataToEcuGetAnswer = fake_kwp;
  OneToOne_SendDataToEcuGetAnswer = fake_one_to_one;
  GMSendMultiFrameToECUGetAnswer = fake_gm_multi;

  const std::uint8_t mode = data[0];
  TOKEN_OLD.wSimulate = (mode & 0x04) ? 1 : 0;
  gFail = (mode & 0x08) != 0;

  // Exact-size heap blocks: an access past either buffer is a sanitizer report.
  auto frame = std::make_unique<u8[]>(kFrameBuf);
  auto answer = std::make_unique<u8[]>(VAZ_ANS_SIZE);
  frame[0] = data[1];
  const std::size_t frameBytes = std::min<std::size_t>(data[1], size - 2);
  std::memcpy(frame.get() + 1, data + 2, frameBytes);
  gReply = data + 2 + frameBytes;
  gReplySize = size - 2 - frameBytes;

  switch (mode & 0x03) {
    case 0: SendRec_KWP2000(frame.get(), answer.get()); break;
    case 1: SendRec_GM(frame.get(), answer.get()); break;
    default: SendRec_MICAS(frame.get(), answer.get()); break;
  }
  gReply = nullptr;
  gReplySize = 0;
  return 0;
}
