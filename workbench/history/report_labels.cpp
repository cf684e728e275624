// The report's words in English and Russian, from the workbench's word files.
#include "report_labels.h"

#include "workbench_words.h"

#include <utility>

namespace history {
namespace {

using words::Word;

ReportLabels labelsIn(const char *lang) {
  auto w = [lang](Word word) { return words::text(word, lang); };
  return {lang,
          w(Word::ReportTitle),
          w(Word::ReportSession),
          w(Word::ReportStarted),
          w(Word::ReportLastActivity),
          w(Word::ReportEndedNormally),
          w(Word::ReportEndedAbruptly),
          w(Word::ReportEcu),
          w(Word::ReportCar),
          w(Word::ReportPort),
          w(Word::ReportIdentification),
          w(Word::ReportNoIdentification),
          w(Word::TroubleCodes),
          w(Word::ReportNoCodeLists),
          w(Word::Code),
          w(Word::Text),
          w(Word::ReportStatus),
          w(Word::ReportNoCodes),
          w(Word::ReportClears),
          w(Word::ReportCleared),
          w(Word::ReportClearFailed),
          w(Word::ReportSentToEcu),
          w(Word::ReportNotes),
          w(Word::ReportTests),
          w(Word::ReportTest),
          w(Word::ReportSteps),
          w(Word::ReportOutcome),
          w(Word::LiveData),
          w(Word::ReportNoLiveData),
          w(Word::ReportPasses),
          w(Word::ReportEngineTime),
          w(Word::ReportMin),
          w(Word::ReportMax),
          w(Word::ReportMean),
          w(Word::ReportShownValues),
          w(Word::ReportEndedCommFailure),
          w(Word::ReportPass),
          w(Word::ReportPassesFew),
          w(Word::ReportThinned),
          w(Word::ReportSkipped),
          w(Word::ReportSimulated)};
}

}  // namespace

std::string passesText(const ReportLabels &l, long long n) {
  const long long tens = n % 100, ones = n % 10;
  const char *word = l.passes;
  if (ones == 1 && tens != 11)
    word = l.pass;
  else if (ones >= 2 && ones <= 4 && (tens < 12 || tens > 14))
    word = l.passesFew;
  return std::to_string(n) + " " + word;
}

std::string thinnedText(const ReportLabels &l, std::size_t values, int columns) {
  std::string text = l.thinned;
  for (const auto &[key, value] : {std::pair<std::string, std::string>{"{values}", std::to_string(values)},
                                   {"{columns}", std::to_string(columns)}})
    if (const auto at = text.find(key); at != std::string::npos) text.replace(at, key.size(), value);
  return text;
}

const ReportLabels &reportLabels(const std::string &language) {
  static const ReportLabels english = labelsIn("en"), russian = labelsIn("ru");
  return language == "ru" ? russian : english;
}

}  // namespace history
