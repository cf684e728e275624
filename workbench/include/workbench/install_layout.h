// Where the workbench's files are found: in the build tree everything lies in one
// folder (the libraries beside the programs, the text library in data/ beside them);
// an installed tree spreads them by the relative paths of vaz_layout.h.
#pragma once

#include <sys/stat.h>

#include <filesystem>
#include <string>

#include "vaz_layout.h"

namespace workbench {

inline bool exists(const std::string &path) {
  struct stat st {};
  return stat(path.c_str(), &st) == 0;
}

// The folder of the plug-in and the workbench libraries, for a program in programDir
// (both end in '/').
inline std::string libraries_dir(const std::string &programDir) {
  if (exists(programDir + "libVAZ_OLD.so")) return programDir;
  return std::filesystem::path(programDir + VAZ_BIN_TO_LIBS).lexically_normal().string();
}

// The text library's folder (without a trailing '/') for the libraries in librariesDir.
inline std::string data_dir(const std::string &librariesDir) {
  const std::string beside = librariesDir + "data";
  if (exists(beside)) return beside;
  std::string installed = std::filesystem::path(librariesDir + VAZ_LIBS_TO_DATA).lexically_normal().string();
  if (installed.size() > 1 && installed.back() == '/') installed.pop_back();
  return installed;
}

}  // namespace workbench
