// The plug-in's own lists of host symbols (vaz_host_symbols.h) checked with dlsym.
#include "host_services.h"

#include <dlfcn.h>

#include <array>
#include <string_view>

#include "vaz_host_symbols.h"

namespace vazdiag {
namespace {

#define VAZ_NAME(name) std::string_view{#name},
constexpr std::array kDisplay{VAZ_LIST_DISPLAY(VAZ_NAME)};
constexpr std::array kVci{VAZ_LIST_C(VAZ_NAME)};
#undef VAZ_NAME
// The one line service the plug-in does without.
constexpr std::string_view kOptional = "DBSCarSecurCertf";

template <typename Names>
std::string missing(void *lib, const std::string &file, const Names &names) {
  std::string list;
  for (std::string_view name : names) {
    if (name == kOptional || dlsym(lib, std::string(name).c_str()) != nullptr) continue;
    list += (list.empty() ? "" : ", ") + std::string(name);
  }
  return list.empty() ? "" : file + " lacks services the plug-in needs: " + list;
}

}  // namespace

std::string missing_host_services(void *display, const std::string &displayFile, void *vci,
                                  const std::string &vciFile) {
  std::string d = missing(display, displayFile, kDisplay);
  std::string v = missing(vci, vciFile, kVci);
  return d + (!d.empty() && !v.empty() ? "\n" : "") + v;
}

}  // namespace vazdiag
