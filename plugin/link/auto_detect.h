// What the automatic detection learnt beyond its code, for the entry point's
// message: a unit that refused a probe request did answer, though unrecognised.
#ifndef VAZ_LINK_AUTO_DETECT_H
#define VAZ_LINK_AUTO_DETECT_H

namespace vaz::link {

// True when the last Comm_BOSCH_AUTO_ENG got a negative answer (7F) to its
// identification or data-block request.
bool detection_saw_refusal();

}  // namespace vaz::link

#endif
