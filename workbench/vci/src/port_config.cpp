// Reading the configured port from StdCfg.ini.
#include "port_config.h"

#include <dlfcn.h>
#include <sys/stat.h>

#include <fstream>
#include <sstream>

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
  struct stat st {};
  if (stat(c.file.c_str(), &st) != 0 || !S_ISREG(st.st_mode) || st.st_size > (1 << 20)) return c;
  std::ifstream in(c.file);
  std::ostringstream text;
  text << in.rdbuf();
  c.device = ini_value(text.str(), "VciPort");
  c.options = ini_value(text.str(), "VciPortOptions");
  return c;
}

}  // namespace vci
