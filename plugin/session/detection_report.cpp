// Comm_BOSCH_AUTO_ENG: the link layer's detection, with what the session
// records and shows around it. The found box comes before the keep-alive stop,
// as the tester has always shown it.
#include "session/detection_report.h"

#include "core/host_call.h"
#include "core/session_record.h"
#include "link/bosch_detection.h"

namespace {

// Message per detection result VAZ_DETECT_M797_E3..VAZ_DETECT_LAST.
constexpr u32 kFoundText[] = {0,
                              VAZ_TEXT_FOUND_M797_E3,
                              VAZ_TEXT_FOUND_M797_E2,
                              VAZ_TEXT_FOUND_M154N,
                              VAZ_TEXT_FOUND_M154N,
                              VAZ_TEXT_FOUND_M154,
                              VAZ_TEXT_FOUND_M154,
                              VAZ_TEXT_FOUND_M70_E3,
                              VAZ_TEXT_FOUND_M70_E2,
                              VAZ_TEXT_FOUND_M72};
static_assert(sizeof kFoundText / sizeof kFoundText[0] == VAZ_DETECT_LAST + 1);

}  // namespace

vaz::session::Detected vaz::session::detect_and_report() {
  const link::BoschDetection found = link::detect_bosch();
  vaz::ecu_variant() = found.variant;
  pFComm = found.comm;
  if (found.result == VAZ_DETECT_FAILED) return {found.result, found.sawRefusal};
  if (found.result > VAZ_DETECT_NONE && found.result <= VAZ_DETECT_LAST)
    show_box(kFoundText[found.result], kIdentificationTitle, VAZ_BOX_REPORT);
  stop_keep_alive(200);
  return {found.result, found.sawRefusal};
}

extern "C" {

VAZ_EXPORT int Comm_BOSCH_AUTO_ENG(void) { return vaz::session::detect_and_report().result; }

}  // extern "C"
