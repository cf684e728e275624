// The default history file, after the XDG base directory rules.
#include "history_paths.h"

#include <pwd.h>
#include <unistd.h>

#include <cstdlib>

namespace history {

std::string defaultHistoryPath() {
  const char *xdg = std::getenv("XDG_DATA_HOME");
  std::string base;
  if (xdg != nullptr && xdg[0] == '/') {
    base = xdg;
  } else {
    const char *home = std::getenv("HOME");
    if (home == nullptr || *home == '\0') {
      const passwd *pw = getpwuid(getuid());
      home = pw ? pw->pw_dir : "/tmp";
    }
    base = std::string(home) + "/.local/share";
  }
  return base + "/vazdiag/history.sqlite";
}

}  // namespace history
