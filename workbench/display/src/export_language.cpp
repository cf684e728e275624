// The language of the texts: StdSetLanguage, and keeping a full-screen session
// legible on a terminal that cannot show Cyrillic.
#include "export_language.h"
#include "curses_terminal.h"
#include "display_session.h"
#include "language_choice.h"
#include "std_control.h"
#include "std_export.h"

namespace stdhost {

void keepTextsLegible(DisplaySession &s) {
  if (s.library().language() == Language::English || CursesTerminal::showsUtf8()) return;
  std::string ignored;
  s.library().chooseLanguage(Language::English, ignored);
  s.lastError() = "the terminal's character set is not UTF-8: the texts are shown in English";
  // Said on the screen too: the user asked for Russian and should know why it is not.
  s.frontEnd().message({1, "Language",
                        "The terminal's character set is not UTF-8, so Russian texts cannot be shown: "
                        "this session is in English. Run it with a UTF-8 locale, for example "
                        "LANG=ru_RU.UTF-8."});
}

}  // namespace stdhost

STD_EXPORT int StdSetLanguage(const char *code) {
  auto &s = stdhost::session();
  auto language = stdhost::parseLanguage(code ? code : "");
  if (!language) {
    s.lastError() = std::string("unknown language '") + (code ? code : "") + "' (ru or en)";
    return -1;
  }
  std::string error;
  if (!s.library().chooseLanguage(*language, error)) {
    s.lastError() = error;
    return -1;
  }
  s.lastError().clear();
  return 0;
}
