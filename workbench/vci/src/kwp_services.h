// What the interface may do with a KWP2000 request on a real line, by its service
// identifier: send it again after a lost or spoilt answer (only services that read or keep
// the link, never those that change the car: clear codes 14, actuator commands 30/31,
// reset 11, sessions 10), and wait for further answer frames (only a service whose answer
// may fill several frames); every other request's answer is complete with its first frame.
#pragma once

#include <array>
#include <cstdint>

namespace vci {

struct KwpServiceRule {
  std::uint8_t sid;
  bool repeatable;
  bool several_frames;
};

inline constexpr std::array<KwpServiceRule, 10> kKwpServiceRules{{
    {0x81, true, false},  // StartCommunication
    {0x3E, true, false},  // TesterPresent
    {0x1A, true, false},  // ReadEcuIdentification
    {0x21, true, false},  // ReadDataByLocalIdentifier
    {0x22, true, false},  // ReadDataByCommonIdentifier
    {0x23, true, false},  // ReadMemoryByAddress
    {0x12, true, false},  // ReadFreezeFrameData
    {0x13, true, true},   // ReadDiagnosticTroubleCodes
    {0x17, true, true},   // ReadStatusOfDiagnosticTroubleCodes
    {0x18, true, true},   // ReadDiagnosticTroubleCodesByStatus
}};

// The rule for one service; a service not listed is sent once and answered by one frame.
constexpr KwpServiceRule kwp_service_rule(std::uint8_t sid) {
  for (const KwpServiceRule &r : kKwpServiceRules)
    if (r.sid == sid) return r;
  return {sid, false, false};
}

}  // namespace vci
