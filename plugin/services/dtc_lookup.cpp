// Whether the host's trouble-code text file knows a code: the bit-mapped
// decoders list a code only when it does. Text IDs are searched as 4-byte keys,
// most significant byte first.
#include <cstring>

#include "vaz_old.h"

namespace {

constexpr int kTroubleCodeTexts = 6;
// The path is held in a buffer of this size: 79 characters and the NUL.
constexpr std::size_t kPathSize = 80;

}  // namespace

extern "C" {

VAZ_EXPORT void Change_ID_to_point(u32 value, u8 *out) {
  if (out == nullptr) return;
  out[0] = static_cast<u8>(value >> 24);
  out[1] = static_cast<u8>(value >> 16);
  out[2] = static_cast<u8>(value >> 8);
  out[3] = static_cast<u8>(value);
}

VAZ_EXPORT int Find_dtc_in_libfile(u32 textId) {
  if (GetFileNameText == nullptr || SearchIdOpenFile == nullptr || IdSearch == nullptr ||
      SearchIdCloseFile == nullptr) {
    return -1;
  }
  const char *name = GetFileNameText(kTroubleCodeTexts);
  if (name == nullptr) return -1;
  // A path that does not fit is refused rather than cut to another file's name.
  const std::size_t length = strnlen(name, kPathSize);
  if (length >= kPathSize) return -1;
  char path[kPathSize];
  std::memcpy(path, name, length + 1);

  void *handle = SearchIdOpenFile(path);
  if (handle == nullptr) return -1;
  u8 key[4];
  Change_ID_to_point(textId, key);
  u8 record[1] = {0};
  const int found = IdSearch(key, record, 1, handle);
  SearchIdCloseFile(handle);
  return found != 0 ? 1 : -1;
}

}  // extern "C"
