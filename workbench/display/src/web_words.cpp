// The page's keys for the workbench words it shows; the texts come from the word files.
#include "web_words.h"

#include "json_text.h"
#include "workbench_words.h"

#include <utility>

namespace stdhost {
namespace {

using words::Word;

// The page asks for a word by its own key (app.js); where the page shows what another
// front end shows, it is the same word.
constexpr std::pair<const char *, Word> kPageWords[] = {
    {"controlling", Word::PageControlling},
    {"readonly", Word::PageReadOnly},
    {"free", Word::PageNobodyControls},
    {"takeover", Word::PageTakeControl},
    {"takeoverAsk", Word::PageTakeControlAsk},
    {"back", Word::PageBack},
    {"yes", Word::PageYes},
    {"no", Word::PageNo},
    {"ok", Word::PageOk},
    {"wait", Word::PageWait},
    {"show", Word::PageShow},
    {"all", Word::PageAll},
    {"none", Word::PageNone},
    {"name", Word::Name},
    {"value", Word::Value},
    {"unit", Word::Unit},
    {"min", Word::Min},
    {"max", Word::Max},
    {"pass", Word::Pass},
    {"pause", Word::PagePause},
    {"resume", Word::PageResume},
    {"record", Word::PageRecord},
    {"stopRecord", Word::PageStopRecording},
    {"rec", Word::Rec},
    {"paused", Word::PagePaused},
    {"leave", Word::PageLeave},
    {"code", Word::Code},
    {"text", Word::Text},
    {"status", Word::Status},
    {"noCodes", Word::NoTroubleCodes},
    {"enter", Word::PageEnter},
    {"cancel", Word::PageCancel},
    {"whole", Word::WholeNumber},
    {"limits", Word::NumberLimits},
    {"lost", Word::PageConnectionLost},
    {"refused", Word::PageRefused},
    {"tickOne", Word::PageTickOne},
    {"selectItems", Word::SelectItems},
    {"liveData", Word::LiveData},
    {"identification", Word::ReportIdentification},
    {"troubleCodes", Word::TroubleCodes},
    {"activeTest", Word::ActiveTest},
    {"test", Word::ReportTest},
    {"chartHint", Word::PageChartHint},
    {"ended", Word::PageEnded},
};

void appendLanguage(std::string &out, const char *code) {
  webserve::appendJsonString(out, code);
  out += ":{";
  bool first = true;
  for (const auto &[key, word] : kPageWords) {
    if (!first) out += ',';
    first = false;
    webserve::appendJsonString(out, key);
    out += ':';
    webserve::appendJsonString(out, words::text(word, code));
  }
  out += '}';
}

}  // namespace

std::string pageWordsScript() {
  std::string out = "window.VAZ_WORDS = {";
  appendLanguage(out, "en");
  out += ',';
  appendLanguage(out, "ru");
  out += "};\n";
  return out;
}

}  // namespace stdhost
