// The session's side of the automatic Bosch detection: it keeps the routines
// of the unit found and tells the user what was found.
#ifndef VAZ_SESSION_DETECTION_REPORT_H
#define VAZ_SESSION_DETECTION_REPORT_H

namespace vaz::session {

struct Detected {
  int result;       // VAZ_DETECT_*
  bool sawRefusal;  // a unit answered, with a refusal
};

// Runs the detection, records the variant and comm routine of the probe last
// tried, shows the box of a recognised unit and stops the keep-alive.
Detected detect_and_report();

}  // namespace vaz::session

#endif
