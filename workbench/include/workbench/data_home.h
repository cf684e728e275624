// Where vazdiag keeps what outlives a session (the history, live-data recordings started
// with the r key): $XDG_DATA_HOME/vazdiag, or ~/.local/share/vazdiag when XDG_DATA_HOME is
// unset or not absolute (the XDG base directory rules). Shared by the display host and vazdiag.
#pragma once

#include <pwd.h>
#include <unistd.h>

#include <cstdlib>
#include <string>

namespace workbench {

inline std::string data_home() {
  const char *xdg = std::getenv("XDG_DATA_HOME");
  if (xdg != nullptr && xdg[0] == '/') return std::string(xdg) + "/vazdiag";
  const char *home = std::getenv("HOME");
  if (home == nullptr || *home == '\0') {
    const passwd *pw = getpwuid(getuid());
    home = pw ? pw->pw_dir : "/tmp";
  }
  return std::string(home) + "/.local/share/vazdiag";
}

}  // namespace workbench
