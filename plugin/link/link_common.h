// Helpers shared by the comm routines: constant frames are copied before they
// are sent (sending writes the checksum), and answers are handled in bAnsBuf.
#ifndef VAZ_LINK_COMMON_H
#define VAZ_LINK_COMMON_H

#include <array>
#include <cstring>

#include "core/host_call.h"
#include "core/session_record.h"

namespace vaz::link {

// A request buffer: every length-prefixed frame fits with its checksum slot.
using FrameBuf = std::array<u8, VAZ_FRAME_SIZE>;

// Nothing goes to the line; every exchange counts as done.
inline bool simulating() { return simulation_mode() == VAZ_SIMULATE_LINE; }

inline FrameBuf copy_frame(const u8 *frame) {
  FrameBuf buf{};
  std::memcpy(buf.data(), frame, static_cast<size_t>(frame[0]) + 1);
  return buf;
}

inline int send_kwp(const u8 *frame) {
  FrameBuf buf = copy_frame(frame);
  return SendRec_KWP2000(buf.data(), vaz::answer_buffer());
}

inline int send_gm(const u8 *frame) {
  FrameBuf buf = copy_frame(frame);
  return SendRec_GM(buf.data(), vaz::answer_buffer());
}

// Send a constant KWP frame from its format byte as stored, checksum included.
inline int send_kwp_direct(const u8 *frame) {
  FrameBuf buf = copy_frame(frame);
  return call_or(KwpSendDataToEcuGetAnswer, -1, 0xFF, vaz::answer_buffer(), 100, 1, buf.data() + 1);
}

// The KWP2000 answer in an answer buffer (count, then length byte and frame):
// bytes past the length the ECU sent are left over from earlier answers and
// are never data.
inline int answer_length(const u8 *ans) { return ans[0] == 0 ? 0 : ans[1]; }

// True when the first answer frame reaches frame byte `index` (0 = format byte).
inline bool answer_reaches(const u8 *ans, int index) { return index >= 0 && index < answer_length(ans); }

// Index of the service byte in the first answer frame: the long form (format
// byte 0x80) carries a separate length byte after the addresses.
inline int answer_service_index(const u8 *ans) { return ans[2] == KWP_FORMAT_LONG ? 4 : 3; }

// A KWP2000 answer whose service byte is 0x7F: the ECU refused the request.
// Its bytes are no data, and the command it answers was not carried out.
inline bool answer_refused(const u8 *ans) {
  const int service = answer_service_index(ans);
  return answer_reaches(ans, service) && ans[2 + service] == KWP_NEGATIVE_RESPONSE;
}

// The response code of a refusal (7F, the refused service, the code), or -1
// when the answer is no refusal or ends before its code.
inline int answer_refusal_code(const u8 *ans) {
  const int service = answer_service_index(ans);
  if (!answer_refused(ans) || !answer_reaches(ans, service + 2)) return -1;
  return ans[2 + service + 2];
}

// A length-prefixed KWP2000 request whose length byte agrees with the length
// its format byte announces (short form 0x81..0xBF, or 0x80 with a length
// byte). Anything else would make the interface read a different frame than
// the buffer holds.
inline bool kwp_request_sound(const u8 *frame) {
  const int len = frame[0];
  if (len < 5 || (frame[1] & 0xC0) != 0x80) return false;
  const int n = frame[1] & 0x3F;
  return n != 0 ? n + 4 == len : frame[4] + 5 == len;
}

// Move the first answer frame to the start of bAnsBuf, dropping the frame count
// and its length byte.
inline void strip_first_answer() {
  static_assert(2 + 0xFF <= VAZ_ANS_SIZE, "any first frame fits behind its count and length");
  u8 *ans = vaz::answer_buffer();
  std::memmove(ans, ans + 2, ans[1]);
}

// Line selection and settings shared by every K-line and ALDL connect.
struct LineSettings {
  int voltageLow;
  float baud;
  float interval;
  int p2;
  int p3;
};

inline bool select_line() { return call_or(SelectPIN, -1, OldConnectType, 1, 0, 7, 7) == 0; }

inline void apply_line_settings(const LineSettings &s) {
  call_or(BeginCombination, 0);
  call_or(SetCommunicationMaximumWaitTime, 0, 10000);
  call_or(SetEcuCommunicationVoltageLogic, 0, s.voltageLow, 0xFF);
  call_or(SetEcuBaudRate, 0, s.baud);
  call_or(SetCommunicationParameter, 0, 1, 8, 1, 0);
  call_or(SetEcuCommTimeInterval, 0, s.interval, s.p2, s.p3);
  call_or(EndCombination, 0);
}

}  // namespace vaz::link

#endif
