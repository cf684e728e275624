// The names of the faults the simulated lines can show.
#include "fault_injector.h"

#include <array>
#include <utility>

namespace vci {

std::optional<FaultKind> fault_kind(std::string_view name) {
  static constexpr std::array<std::pair<std::string_view, FaultKind>, 4> kNames{{
      {"no-answer", FaultKind::NoAnswer},
      {"negative", FaultKind::Negative},
      {"bad-checksum", FaultKind::BadChecksum},
      {"late", FaultKind::Late},
  }};
  for (const auto &[n, k] : kNames)
    if (n == name) return k;
  return std::nullopt;
}

}  // namespace vci
