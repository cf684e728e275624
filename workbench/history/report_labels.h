// The report's fixed words in each language it knows.
#pragma once

#include <string>

namespace history {

struct ReportLabels {
  const char *lang;
  const char *title, *session, *started, *ended, *endedNormally, *endedAbruptly, *ecu, *car, *port;
  const char *identification, *noIdentification, *troubleCodes, *noCodeLists, *code, *text, *status, *noCodes;
  const char *clears, *cleared, *clearFailed, *sentToEcu, *notes, *tests, *test, *steps, *outcome;
  const char *liveData, *noLiveData, *passes, *engineTime, *min, *max, *mean, *shownValues;
  const char *simulated;  // "simulated (Bosch M1.5.4)": the workbench's car, not a real one
};

const ReportLabels &reportLabels(const std::string &language);

}  // namespace history
