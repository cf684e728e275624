// Reads one integer switch from the host's StdCfg.ini. The file is read whole
// on every call, so a host may change it between sessions without a reload.
#include <cstdio>
#include <memory>
#include <new>

#include "host/regular_file.h"
#include "host/std_config_path.h"
#include "vaz_old.h"

extern "C" {

VAZ_EXPORT int GetStdCfgValue(const char *key) {
  OpenGetPathDLL();
  if (DiagGetFilePath == nullptr) return 0;
  char path[vaz::config::kPathSize] = {};
  // The zeroed buffer makes a directory the host could not give an empty one,
  // which leads to no file.
  DiagGetFilePath(path, static_cast<int>(sizeof path));
  if (!vaz::config::std_cfg_path(path)) return 0;

  const vaz::File file = vaz::open_regular_file(path);
  if (!file) return 0;
  if (std::fseek(file.get(), 0, SEEK_END) != 0) return 0;
  const long size = std::ftell(file.get());
  if (size < 0) return 0;
  std::rewind(file.get());

  std::unique_ptr<char[]> text(new (std::nothrow) char[static_cast<std::size_t>(size) + 1]);
  if (!text) return 0;
  const std::size_t got = std::fread(text.get(), 1, static_cast<std::size_t>(size), file.get());
  text[got] = '\0';
  return GetIniCfgIntValueFromKey(text.get(), key);
}

}  // extern "C"
