// Faults the simulated line puts into the ECU's answers to the plug-in's requests. The
// interface's own keep-alive frames are never spoiled, so that skip counts do not depend on
// how long the line idled.
#pragma once

#include "ecusim/armed_faults.h"

#include <cstdint>
#include <optional>
#include <string_view>

namespace vci {

enum class FaultKind {
  NoAnswer,     // the request is lost: the ECU hears nothing and stays silent
  Negative,     // the ECU answers 7F sid nrc instead of carrying the request out
  BadChecksum,  // the ECU carries the request out; its answer arrives with a wrong checksum
  Late,         // the ECU carries the request out; its answer comes after the time-out
};

struct Fault {
  FaultKind kind = FaultKind::NoAnswer;
  int sid = -1;  // service identifier it applies to, -1 for every request
  std::uint8_t nrc = 0x22;
  int skip = 0;    // matching requests let through first
  int count = -1;  // requests to spoil, -1 = every one after the skipped ones
};

std::optional<FaultKind> fault_kind(std::string_view name);

using FaultInjector = ecusim::ArmedFaults<Fault>;

}  // namespace vci
