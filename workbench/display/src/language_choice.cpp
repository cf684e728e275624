// Language names and the StdCfg.ini key. The file's other keys are the
// plug-in's integer switches; it reads Language as 0 and never acts on it.
#include "language_choice.h"

#include <cctype>
#include <sstream>

#include "workbench/regular_file.h"

namespace stdhost {
namespace {

constexpr std::string_view kKey = "Language=";

bool sameLetters(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i)
    if (std::tolower(static_cast<unsigned char>(a[i])) != b[i]) return false;
  return true;
}

}  // namespace

std::optional<Language> parseLanguage(std::string_view code) {
  if (sameLetters(code, "ru")) return Language::Russian;
  if (sameLetters(code, "en")) return Language::English;
  return std::nullopt;
}

const char *languageCode(Language language) { return language == Language::Russian ? "ru" : "en"; }

std::optional<Language> configuredLanguage(const std::string &dir) {
  // A FIFO or a device of that name must not hold the session before it starts.
  std::string text;
  if (!workbench::read_regular_file(dir + "StdCfg.ini", text)) return std::nullopt;
  std::istringstream in(text);
  std::string line;
  // The first line is the file's header, never a key.
  for (bool first = true; std::getline(in, line); first = false) {
    if (first || line.compare(0, kKey.size(), kKey) != 0) continue;
    std::string_view value(line);
    value.remove_prefix(kKey.size());
    value = value.substr(0, value.find_first_of("; \t\r"));
    return parseLanguage(value);
  }
  return std::nullopt;
}

}  // namespace stdhost
