// The frame layer: writes the checksum of a length-prefixed request, hands it
// to the vehicle interface and reports success or failure. Simulation mode
// (first byte of wSimulate = 1) sends nothing.
#include <array>
#include <cstring>

#include "link/link_common.h"

namespace {

// MICAS frames are assembled and decoded in one fixed staging area.
constexpr int kMicasStage = 100;
constexpr u8 kMicasEscape = 0x40;
constexpr u8 kMicasFrameEnd = 0x0D;
constexpr u8 kMicasStuffedEnd = 0xCD;  // 0x0D - 0x40 modulo 256
constexpr int kMicasAnswerSize = 256;
constexpr std::array<u8, 12> kMicasSimulatedAnswer{0x01, 0x0A, 0x02, 0x15, 0x40, 0xCD,
                                                   0x17, 0x40, 0x00, 0x40, 0xCD, 0x0D};

}  // namespace

extern "C" {

VAZ_EXPORT int SendRec_KWP2000(u8 *frame, u8 *answer) {
  // The interface takes the frame's length from its format byte alone: a
  // record that says otherwise (a command-library record, say) would be sent
  // cut short or read past its buffer. Nothing of it goes out.
  if (!vaz::link::kwp_request_sound(frame)) return VAZ_COMM_FAILED;
  const int len = frame[0];
  u8 sum = 0;
  for (int i = 1; i < len; ++i) sum = static_cast<u8>(sum + frame[i]);
  frame[len] = sum;
  if (vaz::link::simulating()) return VAZ_COMM_OK;
  return vaz::call_or(KwpSendDataToEcuGetAnswer, -1, 0xFF, answer, 100, 1, frame + 1) < 0 ? VAZ_COMM_FAILED
                                                                                          : VAZ_COMM_OK;
}

VAZ_EXPORT int SendRec_GM(u8 *frame, u8 *answer) {
  const int len = frame[0];
  u8 sum = 0;
  for (int i = 1; i < len; ++i) sum = static_cast<u8>(sum - frame[i]);
  frame[len] = sum;
  if (vaz::link::simulating()) return VAZ_COMM_OK;
  return vaz::call_or(OneToOne_SendDataToEcuGetAnswer, -1, 0xFF, answer, 0xFF, 1, len, frame + 1, 0, 1, -82) < 0
             ? VAZ_COMM_FAILED
             : VAZ_COMM_OK;
}

VAZ_EXPORT int SendRec_MICAS(u8 *frame, u8 *answer) {
  const int len = frame[0];
  // A frame needs at least its checksum and its closing byte.
  if (len < 2) return VAZ_COMM_FAILED;
  u8 sum = 0;
  for (int i = 1; i <= len - 2; ++i) sum = static_cast<u8>(sum - frame[i]);
  frame[len - 1] = sum;

  std::array<u8, kMicasStage> stage{};
  int k = 1;
  for (int i = 1; i <= len - 1; ++i) {
    const u8 b = frame[i];
    const bool escaped = b == kMicasFrameEnd || b == kMicasEscape;
    if (k + (escaped ? 2 : 1) >= kMicasStage) return VAZ_COMM_FAILED;  // room must stay for the closing byte
    if (b == kMicasFrameEnd) {
      stage[k++] = kMicasEscape;
      stage[k++] = kMicasStuffedEnd;
    } else if (b == kMicasEscape) {
      stage[k++] = kMicasEscape;
      stage[k++] = 0x00;
    } else {
      stage[k++] = b;
    }
  }
  stage[k] = frame[len];
  stage[0] = static_cast<u8>(k);
  std::memcpy(frame, stage.data(), static_cast<size_t>(k) + 1);

  if (vaz::link::simulating()) {
    std::memcpy(answer, kMicasSimulatedAnswer.data(), kMicasSimulatedAnswer.size());
  } else if (vaz::call_or(GMSendMultiFrameToECUGetAnswer, -1, k, frame + 1, answer, kMicasAnswerSize) < 0) {
    return VAZ_COMM_FAILED;
  }

  // The staging limit also bounds the reads: 98 decoded bytes span at most
  // 196 answer bytes, well inside the 256-byte answer buffer.
  const int n = answer[1];
  stage.fill(0);
  int c = 0;
  for (int p = 2; p <= n + 1; ++p) {
    u8 b = answer[p];
    if (b == kMicasEscape) b = static_cast<u8>(answer[++p] + kMicasEscape);
    if (c + 2 >= kMicasStage) return VAZ_COMM_FAILED;  // decoded answer plus its two leading bytes
    stage[2 + c++] = b;
  }
  stage[0] = 1;
  stage[1] = static_cast<u8>(c);
  std::memcpy(answer, stage.data(), static_cast<size_t>(c) + 2);
  return VAZ_COMM_OK;
}

}  // extern "C"
