// Whether the host's trouble-code text file knows a code: the bit-mapped
// decoders list a code only when it does.
#include <cstring>

#include "vaz_old.h"

namespace {

constexpr int kTroubleCodeTexts = 6;
constexpr std::size_t kPathSize = VAZ_FILE_NAME_SIZE;

}  // namespace

extern "C" {

VAZ_EXPORT int Find_dtc_in_libfile(u32 textId) {
  if (GetFileNameText == nullptr || SearchIdOpenFile == nullptr || IdSearch == nullptr ||
      SearchIdCloseFile == nullptr) {
    return VAZ_LOOKUP_MISSING;
  }
  const char *name = GetFileNameText(kTroubleCodeTexts);
  if (name == nullptr) return VAZ_LOOKUP_MISSING;
  // A path that does not fit is refused rather than cut to another file's name.
  const std::size_t length = strnlen(name, kPathSize);
  if (length >= kPathSize) return VAZ_LOOKUP_MISSING;
  char path[kPathSize];
  std::memcpy(path, name, length + 1);

  void *handle = SearchIdOpenFile(path);
  if (handle == nullptr) return VAZ_LOOKUP_MISSING;
  u8 key[4];
  Change_ID_to_point(textId, key);
  u8 record[1] = {0};
  const int found = IdSearch(key, record, 1, handle);
  SearchIdCloseFile(handle);
  return found != 0 ? VAZ_LOOKUP_FOUND : VAZ_LOOKUP_MISSING;
}

}  // extern "C"
