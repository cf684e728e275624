// Comm_BOSCH_AUTO_ENG: the link layer's detection, with what the session
// records and shows around it. The found box comes before the keep-alive stop,
// as the tester has always shown it.
#include "session/detection_report.h"

#include "core/host_call.h"
#include "link/bosch_detection.h"

namespace {

// Message per detection result VAZ_DETECT_M797_E3..VAZ_DETECT_LAST.
constexpr u32 kFoundText[] = {0,          0xFE55102C, 0xFE55102D, 0xFE55102E, 0xFE55102E,
                              0xFE55102F, 0xFE55102F, 0xFE551030, 0xFE551031, 0xFE551032};
static_assert(sizeof kFoundText / sizeof kFoundText[0] == VAZ_DETECT_LAST + 1);

}  // namespace

vaz::session::Detected vaz::session::detect_and_report() {
  const link::BoschDetection found = link::detect_bosch();
  TOKEN_OLD.wEcuVariant = found.variant;
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
