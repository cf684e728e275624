// Asking the plug-in for its version without starting a session: the plug-in alone
// is loaded, the display host and the vehicle interface are not needed for this.
#include "plugin_version.h"

#include <dlfcn.h>

#include <memory>
#include <stdexcept>

namespace vazdiag {

std::string pluginVersion(const std::string &dir) {
  const std::string file = dir + "libVAZ_OLD.so";
  struct Closer {
    void operator()(void *h) const { dlclose(h); }
  };
  std::unique_ptr<void, Closer> lib(dlopen(file.c_str(), RTLD_NOW | RTLD_LOCAL));
  if (!lib) throw std::runtime_error("cannot load " + file + ": " + dlerror());
  auto version = reinterpret_cast<const char *(*)()>(dlsym(lib.get(), "VazOldVersion"));
  if (version == nullptr) throw std::runtime_error(file + " lacks VazOldVersion");
  // Copied before the library goes: the text lives in it.
  return version();
}

}  // namespace vazdiag
