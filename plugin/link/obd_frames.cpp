// Generic OBD request frames: the J1850 CRC-8 and the additive checksum of a
// length-prefixed frame, and frames fetched from an ECU parameter file.
#include <climits>

#include "vaz_old.h"

namespace {

constexpr u8 kJ1850Poly = 0x1D;
// A frame record's length byte 255 would need 256 bytes for the frame with its
// length byte, more than an 8-bit count can name.
constexpr u8 kLongestFrame = 254;

// Reads the length-prefixed frame record at `offset` into `frame`; false when a
// read fails or the record is too long, and then `frame` is untouched.
bool read_frame(const char *path, long long offset, u8 *frame) {
  if (frame == nullptr || offset < 0 || offset > INT_MAX) return false;
  u8 length = 0;
  if (ECU_move_lib_data(path, static_cast<int>(offset), &length, 1) != 0) return false;
  if (length > kLongestFrame) return false;
  u8 record[kLongestFrame + 1];
  if (ECU_move_lib_data(path, static_cast<int>(offset), record, length + 1u) != 0) return false;
  for (int i = 0; i <= length; ++i) frame[i] = record[i];
  return true;
}

}  // namespace

extern "C" {

// SAE J1850 CRC-8 (polynomial 0x1D, start 0xFF, inverted result) over frame
// bytes 1 .. L-1, in its shift-register form: the checksum slot enters as the
// eight zero bits that push the last frame byte through.
VAZ_EXPORT int OBD_Set_CRC(u8 *frame) {
  const int length = frame[0];
  if (length == 0) return 0;  // no slot but the length byte itself
  if (length == 1) {          // no frame bytes: the CRC of nothing
    frame[1] = 0;
    return 0;
  }
  u8 reg = static_cast<u8>(~frame[1]);
  frame[length] = 0;
  for (int i = 2; i <= length; ++i) {
    for (int bit = 7; bit >= 0; --bit) {
      const bool carry = (reg & 0x80) != 0;
      reg = static_cast<u8>(reg << 1 | ((frame[i] >> bit) & 1));
      if (carry) reg ^= kJ1850Poly;
    }
  }
  frame[length] = static_cast<u8>(~reg);
  return frame[length];
}

VAZ_EXPORT int OBD_Set_Sum(u8 *frame) {
  const int length = frame[0];
  u8 sum = 0;
  for (int i = 1; i < length; ++i) sum = static_cast<u8>(sum + frame[i]);
  frame[length] = sum;
  return 1;
}

// The PWM command table is an array of u32 frame offsets.
VAZ_EXPORT int Get_PWMCmd_inframe(const char *path, int tableOffset, u8 *frame, int index) {
  const long long entry = static_cast<long long>(tableOffset) + 4LL * index;
  if (entry < 0 || entry > INT_MAX) return -1;
  u8 raw[4];
  if (ECU_move_lib_data(path, static_cast<int>(entry), raw, sizeof raw) != 0) return -1;
  const u32 frameOffset = raw[0] | raw[1] << 8 | raw[2] << 16 | static_cast<u32>(raw[3]) << 24;
  if (!read_frame(path, frameOffset, frame)) return -1;
  return OBD_Set_CRC(frame);
}

VAZ_EXPORT int Get_PWMFrame_Cmd(const char *path, int frameOffset, u8 *frame) {
  if (!read_frame(path, frameOffset, frame)) return -1;
  return OBD_Set_CRC(frame);
}

VAZ_EXPORT int Get_ISOFrame_Cmd(const char *path, int frameOffset, u8 *frame) {
  if (!read_frame(path, frameOffset, frame)) return -1;
  return OBD_Set_Sum(frame);
}

}  // extern "C"
