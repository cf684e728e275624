// Reading the configured port from StdCfg.ini.
#include "port_config.h"

#include <dlfcn.h>

#include <sstream>

#include "workbench/regular_file.h"

namespace vci {
namespace {

std::string library_directory() {
  Dl_info info{};
  if (dladdr(reinterpret_cast<void *>(&configured_port), &info) == 0 || info.dli_fname == nullptr) return "./";
  const std::string path = info.dli_fname;
  const auto slash = path.rfind('/');
  return slash == std::string::npos ? "./" : path.substr(0, slash + 1);
}

std::string trim(const std::string &s) {
  const auto b = s.find_first_not_of(" \t\r");
  if (b == std::string::npos) return {};
  return s.substr(b, s.find_last_not_of(" \t\r") - b + 1);
}

}  // namespace

std::string ini_value(const std::string &text, const std::string &key) {
  std::istringstream in(text);
  std::string line;
  while (std::getline(in, line)) {
    line = trim(line);
    if (line.compare(0, key.size() + 1, key + "=") != 0) continue;
    std::string v = line.substr(key.size() + 1);
    return trim(v.substr(0, v.find(';')));
  }
  return {};
}

ConfiguredPort configured_port() {
  ConfiguredPort c;
  c.file = library_directory() + "assets/StdCfg.ini";
  // Only a regular file: a directory or a FIFO of that name must not stall the interface.
  std::string text;
  if (!workbench::read_regular_file(c.file, text)) return c;
  c.device = ini_value(text, "VciPort");
  c.options = ini_value(text, "VciPortOptions");
  return c;
}

}  // namespace vci
