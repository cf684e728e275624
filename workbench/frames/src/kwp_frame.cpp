// KWP2000 frame building and the names of services and negative response codes.
#include "frames/kwp_frame.h"

#include <array>

namespace frames::kwp {

namespace {

struct Named {
  std::uint8_t id;
  std::string_view name;
};

constexpr std::array kServices{
    Named{0x10, "StartDiagnosticSession"},
    Named{0x11, "ECUReset"},
    Named{0x12, "ReadFreezeFrameData"},
    Named{0x13, "ReadDiagnosticTroubleCodes"},
    Named{0x14, "ClearDiagnosticInformation"},
    Named{0x17, "ReadStatusOfDiagnosticTroubleCodes"},
    Named{0x18, "ReadDiagnosticTroubleCodesByStatus"},
    Named{0x1A, "ReadEcuIdentification"},
    Named{0x20, "StopDiagnosticSession"},
    Named{0x21, "ReadDataByLocalIdentifier"},
    Named{0x22, "ReadDataByCommonIdentifier"},
    Named{0x23, "ReadMemoryByAddress"},
    Named{0x27, "SecurityAccess"},
    Named{0x30, "InputOutputControlByLocalIdentifier"},
    Named{0x31, "StartRoutineByLocalIdentifier"},
    Named{0x3B, "WriteDataByLocalIdentifier"},
    Named{0x3E, "TesterPresent"},
    Named{0x81, "StartCommunication"},
    Named{0x82, "StopCommunication"},
    Named{0x83, "AccessTimingParameters"},
};

constexpr std::array kNegativeCodes{
    Named{0x10, "generalReject"},
    Named{0x11, "serviceNotSupported"},
    Named{0x12, "subFunctionNotSupported-invalidFormat"},
    Named{0x21, "busy-repeatRequest"},
    Named{0x22, "conditionsNotCorrect-requestSequenceError"},
    Named{0x23, "routineNotComplete"},
    Named{0x31, "requestOutOfRange"},
    Named{0x33, "securityAccessDenied"},
    Named{0x35, "invalidKey"},
    Named{0x78, "requestCorrectlyReceived-responsePending"},
};

template <typename Table>
constexpr std::string_view lookup(const Table &table, std::uint8_t id) {
  for (const Named &n : table)
    if (n.id == id) return n.name;
  return {};
}

}  // namespace

void append_frame(std::vector<std::uint8_t> &out, std::uint8_t address_bits, std::uint8_t target, std::uint8_t source,
                  const std::uint8_t *service, std::size_t count, HeaderForm form) {
  const std::size_t start = out.size();
  const auto bits = static_cast<std::uint8_t>(address_bits & kAddressBits);
  if (form == HeaderForm::Short && count != 0 && count <= kMaxShortData)
    out.insert(out.end(), {static_cast<std::uint8_t>(bits | count), target, source});
  else
    out.insert(out.end(), {bits, target, source, static_cast<std::uint8_t>(count)});
  out.insert(out.end(), service, service + count);
  out.push_back(checksum(out.data() + start, out.size() - start));
}

std::string_view service_name(std::uint8_t sid) { return lookup(kServices, sid); }

std::string_view negative_code_name(std::uint8_t nrc) { return lookup(kNegativeCodes, nrc); }

}  // namespace frames::kwp
