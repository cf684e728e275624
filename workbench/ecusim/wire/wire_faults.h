// Faults the wire ECU puts into its answers (--fault KIND[:SID[:SKIP[:COUNT]]]), and the
// bookkeeping of which request each one spoils. Requests are matched on the service
// identifier (K line) or the mode byte (ALDL).
#pragma once

#include "ecusim/armed_faults.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace ecusim::wire {

enum class FaultKind {
  NoAnswer,     // the request is heard as noise, nothing is answered
  Negative,     // 7F sid 22 instead of carrying the request out
  BadChecksum,  // the answer's checksum byte + 1
  Late,         // the answer starts 70 ms after the request, past the tester's wait
  Pending,      // 7F sid 78 at the usual time, the real answer 1000 ms later
  Wrong,        // 7E (a keep-alive's answer) instead of the answer
  Short,        // the answer cut to its service byte, identifier and three zero bytes
  Endless,      // the answer, then the same frame again and again without end
  Cut,          // half of the answer, then the ECU closes the line
};

struct Fault {
  FaultKind kind = FaultKind::NoAnswer;
  int sid = -1;     // -1: every request
  long skip = 0;    // matching requests let through first
  long count = -1;  // requests to spoil, -1: every one after the skipped ones
};

std::string_view fault_name(FaultKind kind);
// Why an ALDL ECU cannot show the fault, or empty when it can.
std::string_view aldl_refusal(FaultKind kind);

// "late", "negative:21", "no-answer:any:2", "bad-checksum:21:0:1"; nullopt with a reason.
std::optional<Fault> parse_fault(std::string_view text, std::string &error);

using FaultList = ArmedFaults<Fault>;

}  // namespace ecusim::wire
