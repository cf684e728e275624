// Matching of requests against the armed faults.
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

std::optional<Fault> FaultInjector::take(std::uint8_t sid) {
  std::optional<Fault> chosen;
  for (auto &f : faults_) {
    if (f.sid != -1 && f.sid != sid) continue;
    if (f.skip > 0) {
      --f.skip;
      continue;
    }
    if (f.count == 0 || chosen) continue;
    if (f.count > 0) --f.count;
    chosen = f;
  }
  return chosen;
}

}  // namespace vci
