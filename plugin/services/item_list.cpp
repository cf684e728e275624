// Fetches the current item list (names, and request frames where the list has
// them) from the host's data-stream text file and command library.
#include <array>
#include <cstdlib>
#include <cstring>

#include "core/host_call.h"
#include "link/item_record.h"

namespace {

using vaz::kCommandLibrary;
constexpr int kPathSize = VAZ_FILE_NAME_SIZE;
constexpr int kCountText = 40;
constexpr int kDataStreamNames = 3;

std::array<u8, 4> key_of(u32 textId) {
  std::array<u8, 4> key{};
  Change_ID_to_point(textId, key.data());
  return key;
}

void close_file(void *file) { vaz::call_or(SearchIdCloseFile, 0, file); }

void *open_file(const char *path) { return vaz::call_or(SearchIdOpenFile, static_cast<void *>(nullptr), path); }

// Item names: record L holds the decimal item count, item n is L + 1 + n.
int fetch_names(u32 nameList) {
  const char *hostPath = vaz::call_or(GetFileNameText, static_cast<char *>(nullptr), kDataStreamNames);
  if (!hostPath) return -1;
  std::array<char, kPathSize> path{};
  const size_t len = strnlen(hostPath, kPathSize);
  if (len >= kPathSize) return -1;
  std::memcpy(path.data(), hostPath, len);

  void *file = open_file(path.data());
  if (!file) return -1;
  std::array<char, kCountText + 1> text{};
  const auto key = key_of(nameList);
  const int found = vaz::call_or(IdSearch, 0, key.data(), reinterpret_cast<u8 *>(text.data()), kCountText, file);
  close_file(file);
  if (!found) return -1;

  const long count = std::strtol(text.data(), nullptr, 10);
  vaz::item_count() = count < 0 ? 0 : static_cast<u16>(count);
  if (vaz::item_count() > VAZ_CD_MAX) vaz::item_count() = VAZ_CD_MAX;
  for (u32 n = 0; n < vaz::item_count(); ++n) vaz::items()[n].dwTextId = nameList + 1 + n;
  return 1;
}

// Command frames: record C starts with a one-byte count, command n is C + 1 + n.
int fetch_commands(u32 commandList) {
  void *file = open_file(kCommandLibrary);
  if (!file) return -1;
  u8 count = 0;
  const auto key = key_of(commandList);
  const int found = vaz::call_or(IdSearch, 0, key.data(), &count, 1, file);
  close_file(file);
  if (!found) return -1;
  if (count != vaz::item_count()) return VAZ_LOOKUP_MISMATCH;
  for (u32 n = 0; n < count; ++n) vaz::items()[n].dwCmdId = commandList + 1 + n;
  return 1;
}

}  // namespace

extern "C" {

VAZ_EXPORT int GetData_ECU_CD(u32 nameListId, u32 commandListId) {
  if (fetch_names(nameListId) < 0) return VAZ_LOOKUP_MISSING;
  if (commandListId == VAZ_NO_LIST) return VAZ_LOOKUP_FOUND;
  return fetch_commands(commandListId);
}

}  // extern "C"
