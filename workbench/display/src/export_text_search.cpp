// The text-search services of list B that the plug-in calls, with
// GetFileNameText and DiagGetFilePath.
#include "display_session.h"
#include "host_location.h"
#include "std_export.h"

#include <algorithm>
#include <cstring>

using stdhost::session;

namespace {

// Stable buffers for the names handed out; the plug-in copies them.
char gFileNames[std::size(stdhost::kStandardFiles)][20];
char gNoFile[1];

}  // namespace

STD_EXPORT char *GetFileNameText(int kind) {
  for (std::size_t i = 0; i < std::size(stdhost::kStandardFiles); ++i) {
    const auto &f = stdhost::kStandardFiles[i];
    if (f.kind != 0 && f.kind == kind) {
      stdhost::copyText(f.name, gFileNames[i], sizeof gFileNames[i]);
      return gFileNames[i];
    }
  }
  gNoFile[0] = '\0';
  return gNoFile;
}

STD_EXPORT void *SearchIdOpenFile(const char *path) {
  if (path == nullptr) return nullptr;
  return session().library().openHandle(path);
}

STD_EXPORT int SearchIdCloseFile(void *handle) { return session().library().closeHandle(handle) ? 0 : -1; }

STD_EXPORT int IdSearch(const u8 *key, u8 *out, int maxLength, void *handle) {
  if (key == nullptr) return 0;
  const stdhost::RecordFile *file = session().library().fromHandle(handle);
  if (file == nullptr) return 0;
  const u32 id = (u32{key[0]} << 24) | (u32{key[1]} << 16) | (u32{key[2]} << 8) | u32{key[3]};
  const stdhost::Record *rec = file->find(id);
  if (rec == nullptr) return 0;
  if (out != nullptr && maxLength > 0)
    std::memcpy(out, rec->bytes.data(), std::min(rec->bytes.size(), static_cast<std::size_t>(maxLength)));
  return 1;
}

STD_EXPORT int GetTextFromTextLib(u32 textId, char *out, int size) {
  auto text = session().library().text(
      textId, {stdhost::FileRole::Texts, stdhost::FileRole::Names, stdhost::FileRole::TroubleCodes});
  return stdhost::copyText(text.value_or(std::string()), out, size);
}

STD_EXPORT int DiagGetFilePath(char *out, int size) {
  const std::string dir = stdhost::hostDirectory();
  if (out == nullptr || size <= 0 || dir.size() >= static_cast<std::size_t>(size)) return -1;
  std::memcpy(out, dir.c_str(), dir.size() + 1);
  return 0;
}
