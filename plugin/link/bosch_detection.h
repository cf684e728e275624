// Automatic Bosch detection as the link layer sees it: probe, classify, close.
// What the user is told and which routines the session keeps are the
// session layer's business.
#ifndef VAZ_LINK_BOSCH_DETECTION_H
#define VAZ_LINK_BOSCH_DETECTION_H

#include "vaz_old.h"

namespace vaz::link {

struct BoschDetection {
  int result = VAZ_DETECT_FAILED;  // VAZ_DETECT_*
  // The probe tried last: its variant and comm routine, also after a failure.
  u16 variant = 0;
  COMM_FN comm = nullptr;
  // A negative answer (7F) to the identification or data-block request: a unit
  // did answer, though it stays unrecognised.
  bool sawRefusal = false;
};

// Probes the two K-line addresses and closes the line again; the keep-alive
// the connect armed is left running for the caller to stop.
BoschDetection detect_bosch();

}  // namespace vaz::link

#endif
