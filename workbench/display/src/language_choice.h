// How the language of the texts is named and where a host that does not choose
// one finds it: the key Language of StdCfg.ini in the data directory.
#pragma once

#include "text_library.h"

#include <optional>
#include <string>
#include <string_view>

namespace stdhost {

// "ru" or "en", in any case; nothing for other names.
std::optional<Language> parseLanguage(std::string_view code);
const char *languageCode(Language language);

// The value of "Language=" in `dir`/StdCfg.ini; nothing when the file or the
// key is absent or names no known language.
std::optional<Language> configuredLanguage(const std::string &dir);

}  // namespace stdhost
