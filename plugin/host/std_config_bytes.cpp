// Byte utilities exported beside the configuration reader: hex text to bytes,
// and inserting a byte into a key buffer of at most 16 bytes.
#include <cstring>

#include "vaz_old.h"

namespace {

constexpr int kKeyCapacity = 16;

// '0'..'9' and 'A'..'F' (also 'a'..'f'); any other character counts as 0.
u8 nibble(char c) {
  if (c >= '0' && c <= '9') return static_cast<u8>(c - '0');
  if (c >= 'A' && c <= 'F') return static_cast<u8>(c - 'A' + 10);
  if (c >= 'a' && c <= 'f') return static_cast<u8>(c - 'a' + 10);
  return 0;
}

}  // namespace

extern "C" {

VAZ_EXPORT int MakeStringToHexBuffer(u8 *out, const char *text) {
  if (out == nullptr || text == nullptr) return 0;
  const std::size_t pairs = std::strlen(text) / 2;  // an odd last character has no partner
  for (std::size_t i = 0; i < pairs; ++i) out[i] = static_cast<u8>(nibble(text[2 * i]) << 4 | nibble(text[2 * i + 1]));
  return static_cast<int>(pairs);
}

// A position past the end, or a full buffer, leaves everything as it was: the
// unchanged length tells the caller nothing was inserted.
VAZ_EXPORT int UpdateKey(u8 *buffer, int length, u8 value, int position) {
  if (buffer == nullptr || length < 0 || length >= kKeyCapacity) return length;
  if (position < 0 || position > length) return length;
  std::memmove(buffer + position + 1, buffer + position, static_cast<std::size_t>(length - position));
  buffer[position] = value;
  return length + 1;
}

VAZ_EXPORT int wrfile(void) { return 0; }

}  // extern "C"
