// The language vazdiag asks of the display host when --lang does not name one:
// the user's locale.
#pragma once

#include <string>

namespace vazdiag {

// "ru" when the locale that governs messages (the first set of LC_ALL,
// LC_MESSAGES, LANG) begins with "ru", else "en". Null means unset.
std::string language_from_locale(const char *lcAll, const char *lcMessages, const char *lang);

// The same for this process's environment.
std::string language_from_environment();

}  // namespace vazdiag
