// Request frames held in the host's command library "COMMAND.GAG", looked up
// by text ID.
#include <array>
#include <cstring>

#include "core/host_call.h"

namespace {

using vaz::kCommandLibrary;
constexpr int kFrameSize = VAZ_FRAME_SIZE;

}  // namespace

extern "C" {

// `frame` has room for kFrameSize bytes: a length byte of at most 255 and the
// frame with its checksum slot always fit.
VAZ_EXPORT int GetData_Cmd_fromtext(u32 textId, u8 *frame) {
  void *file = vaz::call_or(SearchIdOpenFile, static_cast<void *>(nullptr), kCommandLibrary);
  if (!file) return VAZ_LOOKUP_MISSING;
  std::array<u8, 4> key{};
  Change_ID_to_point(textId, key.data());
  u8 len = 0;
  int found = vaz::call_or(IdSearch, 0, key.data(), &len, 1, file);
  if (found) {
    std::memset(frame, 0, kFrameSize);
    found = vaz::call_or(IdSearch, 0, key.data(), frame, static_cast<int>(len) + 1, file);
  }
  vaz::call_or(SearchIdCloseFile, 0, file);
  return found ? VAZ_LOOKUP_FOUND : VAZ_LOOKUP_MISSING;
}

}  // extern "C"
