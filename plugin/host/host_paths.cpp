// File helpers of the host bridge: the executable's directory, files opened
// relative to the host's file directory, and the binding-failure log.
#include <fcntl.h>
#include <unistd.h>

#include <cstdio>
#include <cstring>

#include "vaz_old.h"

namespace {
constexpr int kBaseSize = 512;     // resolved file name of FOPEN
constexpr int kLogNameSize = 260;  // the log's file name

bool is_separator(char c) { return c == '/' || c == '\\'; }
}  // namespace

extern "C" {

VAZ_EXPORT const char *DllError(void) { return "DLL Load Error"; }

VAZ_EXPORT char *get_path(char *buffer, int size) {
  if (buffer == nullptr || size < 2) return nullptr;
  ssize_t n = readlink("/proc/self/exe", buffer, static_cast<size_t>(size - 1));
  if (n < 0 || n >= size - 1) return nullptr;  // a name that fills the buffer may be cut
  buffer[n] = '\0';
  for (ssize_t i = n - 1; i >= 0; --i) {
    if (is_separator(buffer[i])) {
      buffer[i + 1] = '\0';
      break;
    }
  }
  return buffer;
}

VAZ_EXPORT FILE *FOPEN(const char *path, const char *mode) {
  OpenGetPathDLL();
  if (path == nullptr || path[0] == '\0' || DiagGetFilePath == nullptr) return nullptr;
  char base[kBaseSize] = {};
  if (DiagGetFilePath(base, kBaseSize) != 0) return nullptr;
  base[kBaseSize - 1] = '\0';

  // Leading "../" climb out of the host directory, one "./" is dropped.
  size_t i = 0;
  while (path[i] == '.') {
    if (path[i + 1] == '.') {
      size_t len = strlen(base);
      if (len > 0) --len;  // the trailing separator always goes
      while (len > 0 && !is_separator(base[len - 1])) --len;
      base[len] = '\0';
      i += (path[i + 2] == '\0') ? 2 : 3;  // never step over the terminator
    } else {
      if (is_separator(path[i + 1])) i += 2;
      break;
    }
  }

  const size_t baseLen = strlen(base);
  const size_t restLen = strlen(path + i);
  if (baseLen + restLen >= static_cast<size_t>(kBaseSize)) return nullptr;  // would not fit: refuse
  memcpy(base + baseLen, path + i, restLen + 1);
  return fopen(base, mode);
}

// The log lies beside the executable. It is opened by that full name rather than
// through FOPEN: FOPEN needs the very display host whose failed binding is being
// logged, and binding it again from here would log (and recurse) once more.
VAZ_EXPORT int wrDllLog(int code, const char *text) {
  char dir[kLogNameSize] = {};
  if (get_path(dir, kLogNameSize) == nullptr) dir[0] = '\0';
  char name[kLogNameSize];
  int n = snprintf(name, sizeof name, "%sDll_Log.txt", dir);
  if (n < 0 || n >= kLogNameSize) return -1;  // name would be cut: refuse

  FILE *log = fopen(name, "a+");
  if (log == nullptr) return -1;
  fseek(log, 0, SEEK_END);
  fprintf(log, "\r\n%d\r\n", code);
  if (text != nullptr) fputs(text, log);
  fclose(log);
  sync();
  return 0;
}

}  // extern "C"
