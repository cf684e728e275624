// Automatic Bosch detection: probes the two K-line addresses, classifies the
// unit by its identification key and data-block length and closes the line.
// The keys are read only from answer bytes the ECU sent: a refused or short
// answer classifies as unrecognised.
#include "link/bosch_detection.h"

#include <array>
#include <span>

#include "core/session_record.h"
#include "link/bosch_frames.h"
#include "link/link_common.h"

namespace {

using vaz::link::FrameBuf;
namespace frames = vaz::link::bosch;

struct Probe {
  u16 variant;
  COMM_FN comm;
  const u8 *ident;
  const u8 *data;
  std::span<const u8 *const> close;
};

constexpr Probe kProbe10{VAZ_VARIANT_M154, Comm_BOSCH_M154_ENG, frames::kIdent10, frames::kReadData01_10,
                         frames::kCloseM154};
constexpr Probe kProbe11{VAZ_VARIANT_M70_E2, Comm_BOSCH_M70_ENG, frames::kIdent11, frames::kReadData01_11,
                         frames::kClose11};

struct Class {
  u16 key;  // two identification characters, first one high
  u8 lengthMin;
  u8 lengthMax;
  int code;
};

constexpr Class kClasses[] = {
    {0x4231, 0x4A, 0x4A, VAZ_DETECT_M797_E3},  {0x4231, 0x43, 0x43, VAZ_DETECT_M797_E2},
    {0x4D31, 0x24, 0x24, VAZ_DETECT_M154N_M1}, {0x4D31, 0x22, 0x22, VAZ_DETECT_M154_M1},
    {0x4A35, 0x24, 0x24, VAZ_DETECT_M154N_J5}, {0x5635, 0x24, 0x24, VAZ_DETECT_M154N_J5},
    {0x4A35, 0x22, 0x22, VAZ_DETECT_M154_J5},  {0x5635, 0x22, 0x22, VAZ_DETECT_M154_J5},
    {0x4D37, 0x51, 0xFF, VAZ_DETECT_M70_E3},   {0x4D37, 0x00, 0x4F, VAZ_DETECT_M70_E2},
    {0x4932, 0x25, 0x25, VAZ_DETECT_M72},
};

int classify(u16 key, u8 length) {
  for (const Class &c : kClasses)
    if (c.key == key && length >= c.lengthMin && length <= c.lengthMax) return c.code;
  return VAZ_DETECT_NONE;
}

// Drops frame count, length and (for a long header) the format byte, so the
// service byte sits at the same place for both header forms.
void strip(u8 *answer) {
  const int shift = answer[2] == KWP_FORMAT_LONG ? 3 : 2;
  std::memmove(answer, answer + shift, 200);
}

// Byte `index` of an answer as strip() leaves it, or 0 when the ECU's frame
// (checksum excluded) does not reach it. Call before stripping.
u8 data_byte(const u8 *answer, int index) {
  const int frameIndex = index + (answer[2] == KWP_FORMAT_LONG ? 1 : 0);
  if (!vaz::link::answer_reaches(answer, frameIndex + 1)) return 0;  // the checksum follows
  return answer[2 + frameIndex];
}

bool read_probe(const Probe &p, u8 *data) {
  FrameBuf frame = vaz::link::copy_frame(p.ident);
  if (SendRec_KWP2000(frame.data(), vaz::answer_buffer()) < 0) return false;
  frame = vaz::link::copy_frame(p.data);
  return SendRec_KWP2000(frame.data(), data) >= 0;
}

}  // namespace

vaz::link::BoschDetection vaz::link::detect_bosch() {
  BoschDetection found;
  const Probe *probe = nullptr;
  for (const Probe *p : {&kProbe10, &kProbe11}) {
    found.variant = p->variant;
    found.comm = p->comm;
    if (p->comm(FC_CONNECT, 0, nullptr) != VAZ_COMM_FAILED) {
      probe = p;
      break;
    }
  }
  if (!probe) return found;
  // An answer buffer, not a frame buffer: the interface writes up to the full answer
  // layout, and a long-header answer alone can pass 256 bytes.
  std::array<u8, VAZ_ANS_SIZE> data{};
  if (!read_probe(*probe, data.data())) return found;

  u8 *ident = vaz::answer_buffer();
  found.sawRefusal = answer_refused(ident) || answer_refused(data.data());
  const u16 key = static_cast<u16>(data_byte(ident, 5) << 8 | data_byte(ident, 6));
  const u8 length = data_byte(data.data(), 2);
  strip(ident);
  strip(data.data());
  const int code = classify(key, length);

  for (const u8 *stop : probe->close)
    if (send_kwp(stop) < 0) return found;
  found.result = code;
  return found;
}
