// Automatic Bosch detection: probes the two K-line addresses, classifies the
// unit by its identification key and data-block length, closes the line and
// tells the user what was found. The keys are read only from answer bytes
// the ECU sent: a refused or short answer classifies as unrecognised.
#include <array>
#include <span>

#include "link/auto_detect.h"
#include "link/link_common.h"

namespace {

using vaz::link::FrameBuf;

constexpr u8 kIdent10[] = {0x06, 0x82, 0x10, 0xF1, 0x1A, 0x9A, 0x37};
constexpr u8 kData10[] = {0x06, 0x82, 0x10, 0xF1, 0x21, 0x01, 0xA5};
constexpr u8 kStopSession10[] = {0x05, 0x81, 0x10, 0xF1, 0x20, 0xA2};
constexpr u8 kStopComm10[] = {0x05, 0x81, 0x10, 0xF1, 0x82, 0x04};
constexpr u8 kIdent11[] = {0x06, 0x82, 0x11, 0xF1, 0x1A, 0x9A, 0x38};
constexpr u8 kData11[] = {0x06, 0x82, 0x11, 0xF1, 0x21, 0x01, 0xA6};
constexpr u8 kStopComm11[] = {0x05, 0x81, 0x11, 0xF1, 0x82, 0x05};

constexpr const u8 *kClose10[] = {kStopSession10, kStopComm10};
constexpr const u8 *kClose11[] = {kStopComm11};

struct Probe {
  u16 variant;
  COMM_FN comm;
  const u8 *ident;
  const u8 *data;
  std::span<const u8 *const> close;
};

constexpr Probe kProbe10{2, Comm_BOSCH_M154_ENG, kIdent10, kData10, kClose10};
constexpr Probe kProbe11{5, Comm_BOSCH_M70_ENG, kIdent11, kData11, kClose11};

struct Class {
  u16 key;  // two identification characters, first one high
  u8 lengthMin;
  u8 lengthMax;
  int code;
};

constexpr Class kClasses[] = {
    {0x4231, 0x4A, 0x4A, 1}, {0x4231, 0x43, 0x43, 2}, {0x4D31, 0x24, 0x24, 3}, {0x4D31, 0x22, 0x22, 5},
    {0x4A35, 0x24, 0x24, 4}, {0x5635, 0x24, 0x24, 4}, {0x4A35, 0x22, 0x22, 6}, {0x5635, 0x22, 0x22, 6},
    {0x4D37, 0x51, 0xFF, 7}, {0x4D37, 0x00, 0x4F, 8}, {0x4932, 0x25, 0x25, 9},
};

// Message per detection code 1..9.
constexpr u32 kFoundText[] = {0,          0xFE55102C, 0xFE55102D, 0xFE55102E, 0xFE55102E,
                              0xFE55102F, 0xFE55102F, 0xFE551030, 0xFE551031, 0xFE551032};
constexpr u32 kFoundTitle = 0xFE551011;

bool gSawRefusal = false;

int classify(u16 key, u8 length) {
  for (const Class &c : kClasses)
    if (c.key == key && length >= c.lengthMin && length <= c.lengthMax) return c.code;
  return 0;
}

// Drops frame count, length and (for a long header) the format byte, so the
// service byte sits at the same place for both header forms.
void strip(u8 *answer) {
  const int shift = answer[2] == 0x80 ? 3 : 2;
  std::memmove(answer, answer + shift, 200);
}

// Byte `index` of an answer as strip() leaves it, or 0 when the ECU's frame
// (checksum excluded) does not reach it. Call before stripping.
u8 data_byte(const u8 *answer, int index) {
  const int frameIndex = index + (answer[2] == 0x80 ? 1 : 0);
  if (!vaz::link::answer_reaches(answer, frameIndex + 1)) return 0;  // the checksum follows
  return answer[2 + frameIndex];
}

bool read_probe(const Probe &p, u8 *data) {
  FrameBuf frame = vaz::link::copy_frame(p.ident);
  if (SendRec_KWP2000(frame.data(), TOKEN_OLD.bAnsBuf) < 0) return false;
  frame = vaz::link::copy_frame(p.data);
  return SendRec_KWP2000(frame.data(), data) >= 0;
}

const Probe *connect_probe() {
  for (const Probe *p : {&kProbe10, &kProbe11}) {
    TOKEN_OLD.wEcuVariant = p->variant;
    pFComm = p->comm;
    if (p->comm(FC_CONNECT, 0, nullptr) != -1) return p;
  }
  return nullptr;
}

}  // namespace

extern "C" {

VAZ_EXPORT int Comm_BOSCH_AUTO_ENG(void) {
  gSawRefusal = false;
  const Probe *probe = connect_probe();
  if (!probe) return -1;
  // An answer buffer, not a frame buffer: the interface writes up to the full answer
  // layout, and a long-header answer alone can pass 256 bytes.
  std::array<u8, VAZ_ANS_SIZE> data{};
  if (!read_probe(*probe, data.data())) return -1;

  u8 *ident = TOKEN_OLD.bAnsBuf;
  gSawRefusal = vaz::link::answer_refused(ident) || vaz::link::answer_refused(data.data());
  const u16 key = static_cast<u16>(data_byte(ident, 5) << 8 | data_byte(ident, 6));
  const u8 length = data_byte(data.data(), 2);
  strip(ident);
  strip(data.data());
  const int code = classify(key, length);

  for (const u8 *stop : probe->close)
    if (vaz::link::send_kwp(stop) < 0) return -1;
  if (code >= 1 && code <= 9) vaz::show_box(kFoundText[code], kFoundTitle, 1);
  vaz::stop_keep_alive(200);
  return code;
}

}  // extern "C"

bool vaz::link::detection_saw_refusal() { return gSawRefusal; }
