// Locating StdCfg.ini: the file lies in the "assets" folder of the first
// directory below the company directory, or, when the host runs from a
// serial-number directory, in the product's folder under the company's assets.
#include "host/std_config_path.h"

#include <array>
#include <cstdio>
#include <cstring>
#include <string_view>

#include "vaz_old.h"

namespace {

constexpr std::string_view kCompanyDir = "veltrano/";
constexpr std::size_t kSerialMinLength = 12;
constexpr std::size_t kSerialPrefixLength = 5;
constexpr char kSerialLead = '9';  // a directory name starting so is a serial number

struct ProductDir {
  std::string_view prefix;
  const char *dir;
};

constexpr std::array kProductDirs{
    ProductDir{"98269", "Tolvane"}, ProductDir{"98279", "Mirsk"},  ProductDir{"98384", "Quelbox"},
    ProductDir{"98394", "Pandrel"}, ProductDir{"98374", "Sorvik"}, ProductDir{"98364", "Yestra"},
};

// snprintf into a fixed buffer, refusing (false) rather than cutting the text.
template <typename... Args>
bool format_fitting(char *out, std::size_t size, const char *format, Args... args) {
  const int n = std::snprintf(out, size, format, args...);
  return n >= 0 && static_cast<std::size_t>(n) < size;
}

}  // namespace

namespace vaz::config {

const char *product_dir(const char *serial) {
  if (serial == nullptr || std::strlen(serial) < kSerialMinLength) return nullptr;
  const std::string_view prefix(serial, kSerialPrefixLength);
  for (const ProductDir &p : kProductDirs)
    if (p.prefix == prefix) return p.dir;
  return nullptr;
}

bool std_cfg_path(char (&path)[kPathSize]) {
  // A host that filled the whole buffer may have cut the directory name.
  if (std::memchr(path, '\0', kPathSize) == nullptr) return false;
  StringReplace(path, "//", "/");

  char *company = std::strstr(path, kCompanyDir.data());
  if (company == nullptr) return false;
  char *slash = company + kCompanyDir.size() - 1;

  char resolved[kPathSize];
  if (slash[1] != kSerialLead) {
    char *end = std::strchr(slash + 1, '/');
    if (end == nullptr) return false;
    *end = '\0';
    if (!format_fitting(resolved, sizeof resolved, "%s/assets/StdCfg.ini", path)) return false;
  } else {
    const char *product = product_dir(slash + 1);
    if (product == nullptr) return false;
    *slash = '\0';
    if (!format_fitting(resolved, sizeof resolved, "%s/assets/%s/StdCfg.ini", path, product)) return false;
  }
  std::memcpy(path, resolved, sizeof resolved);
  return true;
}

}  // namespace vaz::config

extern "C" {

// `out` may be `base` itself; it must have room for base plus 31 characters.
VAZ_EXPORT int GetProductTypeDirPath(char *base, const char *serial, char *out) {
  if (base == nullptr || out == nullptr) return -1;
  const char *product = vaz::config::product_dir(serial);
  if (product == nullptr) return -1;
  const std::size_t baseLength = std::strlen(base);
  std::memmove(out, base, baseLength);
  std::sprintf(out + baseLength, "/assets/%s/StdCfg.ini", product);
  return 1;
}

}  // extern "C"
