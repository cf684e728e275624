// Helpers shared by the comm routines: constant frames are copied before they
// are sent (sending writes the checksum), and answers are handled in bAnsBuf.
#ifndef VAZ_LINK_COMMON_H
#define VAZ_LINK_COMMON_H

#include <array>
#include <cstring>

#include "session/host_call.h"

namespace vaz::link {

// A request buffer: every length-prefixed frame fits with its checksum slot.
using FrameBuf = std::array<u8, 256>;

inline bool simulating() { return reinterpret_cast<const u8 *>(&TOKEN_OLD.wSimulate)[0] == 1; }

inline FrameBuf copy_frame(const u8 *frame) {
  FrameBuf buf{};
  std::memcpy(buf.data(), frame, static_cast<size_t>(frame[0]) + 1);
  return buf;
}

inline int send_kwp(const u8 *frame) {
  FrameBuf buf = copy_frame(frame);
  return SendRec_KWP2000(buf.data(), TOKEN_OLD.bAnsBuf);
}

inline int send_gm(const u8 *frame) {
  FrameBuf buf = copy_frame(frame);
  return SendRec_GM(buf.data(), TOKEN_OLD.bAnsBuf);
}

// Send a constant KWP frame from its format byte as stored, checksum included.
inline int send_kwp_direct(const u8 *frame) {
  FrameBuf buf = copy_frame(frame);
  return call_or(KwpSendDataToEcuGetAnswer, -1, 0xFF, TOKEN_OLD.bAnsBuf, 100, 1, buf.data() + 1);
}

// Move the first answer frame to the start of bAnsBuf, dropping the frame count
// and its length byte.
inline void strip_first_answer() {
  u8 *ans = TOKEN_OLD.bAnsBuf;
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
