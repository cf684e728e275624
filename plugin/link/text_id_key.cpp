// Change_ID_to_point: a text ID as the 4-byte search key of the host's ID
// files, most significant byte first.
#include "vaz_old.h"

extern "C" {

VAZ_EXPORT void Change_ID_to_point(u32 value, u8 *out) {
  if (out == nullptr) return;
  out[0] = static_cast<u8>(value >> 24);
  out[1] = static_cast<u8>(value >> 16);
  out[2] = static_cast<u8>(value >> 8);
  out[3] = static_cast<u8>(value);
}

}  // extern "C"
