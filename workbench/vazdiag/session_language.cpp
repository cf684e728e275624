// Locale to language: the POSIX order of precedence, and only the language
// part matters ("ru_RU.UTF-8", "ru_UA", "ru").
#include "session_language.h"

#include <cstdlib>
#include <cstring>
#include <initializer_list>

namespace vazdiag {

std::string language_from_locale(const char *lcAll, const char *lcMessages, const char *lang) {
  for (const char *v : {lcAll, lcMessages, lang}) {
    if (v == nullptr || *v == '\0') continue;
    return std::strncmp(v, "ru", 2) == 0 ? "ru" : "en";
  }
  return "en";
}

std::string language_from_environment() {
  return language_from_locale(std::getenv("LC_ALL"), std::getenv("LC_MESSAGES"), std::getenv("LANG"));
}

}  // namespace vazdiag
