// Finds the directory of the loaded display host through the dynamic loader.
#include "host_location.h"

#include <dlfcn.h>

#include <filesystem>

namespace stdhost {

std::string hostDirectory() {
  static const std::string dir = [] {
    Dl_info info{};
    if (dladdr(reinterpret_cast<void *>(&hostDirectory), &info) == 0 || info.dli_fname == nullptr)
      return std::string("./");
    std::error_code ec;
    auto path = std::filesystem::absolute(info.dli_fname, ec);
    if (ec) return std::string("./");
    std::string d = path.parent_path().string();
    if (d.empty() || d.back() != '/') d += '/';
    return d;
  }();
  return dir;
}

}  // namespace stdhost
