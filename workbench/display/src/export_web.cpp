// The control interface of the web front end (std_control.h).
#include "display_session.h"
#include "language_choice.h"
#include "std_control.h"
#include "std_export.h"
#include "web_address.h"
#include "web_front_end.h"

using stdhost::session;

namespace {

stdhost::WebFrontEnd *web() { return dynamic_cast<stdhost::WebFrontEnd *>(&session().frontEnd()); }

std::string gText;  // what StdWebUrl and StdWebNetworkUrls hand out

// "ru-RU,ru;q=0.9,en;q=0.8" -> Russian when Russian comes before English.
bool prefersRussian(const std::string &acceptLanguage) {
  const auto ru = acceptLanguage.find("ru");
  const auto en = acceptLanguage.find("en");
  return ru != std::string::npos && (en == std::string::npos || ru < en);
}

}  // namespace

STD_EXPORT int StdUseWeb(const char *address, int idleSeconds) {
  auto &s = session();
  std::string error;
  auto where = webserve::parseWebAddress(address ? address : "", error);
  if (!where) {
    s.lastError() = error;
    return -1;
  }
  auto fe =
      std::make_unique<stdhost::WebFrontEnd>(s.streamLog(), std::chrono::seconds(idleSeconds > 0 ? idleSeconds : 600));
  if (!fe->start(*where, error)) {
    s.lastError() = error;
    return -1;
  }
  s.useFrontEnd(std::move(fe));
  s.lastError().clear();
  return 0;
}

STD_EXPORT const char *StdWebUrl(void) {
  auto *w = web();
  gText = w ? w->url() : "";
  return gText.c_str();
}

STD_EXPORT const char *StdWebNetworkUrls(void) {
  gText.clear();
  if (auto *w = web())
    for (const auto &u : w->networkUrls()) gText += u + "\n";
  return gText.c_str();
}

STD_EXPORT int StdWebWaitForBrowser(int languageChosen) {
  auto *w = web();
  if (!w) return -1;
  auto accept = w->waitForBrowser();
  if (!accept) return -1;
  if (!languageChosen) {
    std::string ignored;
    session().library().chooseLanguage(
        prefersRussian(*accept) ? stdhost::Language::Russian : stdhost::Language::English, ignored);
  }
  return 0;
}

STD_EXPORT void StdSetWebActionHook(void (*hook)(const char *, const char *, void *), void *context) {
  if (auto *w = web()) w->setActionHook(hook, context);
}
