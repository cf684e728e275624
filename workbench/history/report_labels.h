// The report's fixed words in each language it knows.
#pragma once

#include <cstddef>
#include <string>

namespace history {

struct ReportLabels {
  const char *lang;
  const char *title, *session, *started, *ended, *endedNormally, *endedAbruptly, *ecu, *car, *port;
  const char *identification, *noIdentification, *troubleCodes, *noCodeLists, *code, *text, *status, *noCodes;
  const char *clears, *cleared, *clearFailed, *sentToEcu, *notes, *tests, *test, *steps, *outcome;
  const char *liveData, *noLiveData, *passes, *engineTime, *min, *max, *mean, *shownValues;
  const char *endedCommFailure;
  const char *pass, *passesFew;  // "1 pass"; Russian has a form for 2 to 4 (22, 103...)
  const char *thinned;           // "<count> values ... <columns> ..." under a thinned chart
  const char *skipped;           // before the number of values that could not be drawn (and a blank)
  const char *simulated;         // "simulated (Bosch M1.5.4)": the workbench's car, not a real one
};

// "1 pass", "5 passes"; "1 опрос", "3 опроса", "11 опросов".
std::string passesText(const ReportLabels &l, long long n);
// The note under a chart drawn from fewer points than values: how many were read, and that
// every pixel column keeps its lowest and highest.
std::string thinnedText(const ReportLabels &l, std::size_t values, int columns);

const ReportLabels &reportLabels(const std::string &language);

}  // namespace history
