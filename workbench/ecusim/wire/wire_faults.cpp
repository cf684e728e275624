// Parsing of the injected faults.
#include "wire_faults.h"

#include <array>
#include <charconv>
#include <utility>

namespace ecusim::wire {
namespace {

struct KindRow {
  std::string_view name;
  FaultKind kind;
  std::string_view aldl_refusal;  // why an ALDL ECU cannot show it; empty: it can
};

constexpr std::array<KindRow, 9> kKinds{{
    {"no-answer", FaultKind::NoAnswer, ""},
    {"negative", FaultKind::Negative, ""},
    {"bad-checksum", FaultKind::BadChecksum, ""},
    {"late", FaultKind::Late, ""},
    {"pending", FaultKind::Pending, "ALDL has no response-pending answer"},
    {"wrong", FaultKind::Wrong, "ALDL has no keep-alive answer to send instead"},
    {"short", FaultKind::Short, ""},
    {"endless", FaultKind::Endless, ""},
    {"cut", FaultKind::Cut, ""},
}};

// Upper bound for SKIP and COUNT: large enough for any session, small enough to be a typo.
constexpr long kMaxCount = 1000000;

std::optional<long> whole_number(std::string_view s, int base, long lo, long hi) {
  long v = 0;
  auto [p, ec] = std::from_chars(s.data(), s.data() + s.size(), v, base);
  if (s.empty() || ec != std::errc() || p != s.data() + s.size() || v < lo || v > hi) return std::nullopt;
  return v;
}

}  // namespace

std::string_view fault_name(FaultKind kind) {
  for (const KindRow &r : kKinds)
    if (r.kind == kind) return r.name;
  return "?";
}

std::string_view aldl_refusal(FaultKind kind) {
  for (const KindRow &r : kKinds)
    if (r.kind == kind) return r.aldl_refusal;
  return "";
}

std::optional<Fault> parse_fault(std::string_view text, std::string &error) {
  const std::string whole(text);
  std::vector<std::string_view> parts;
  while (true) {
    const auto colon = text.find(':');
    parts.push_back(text.substr(0, colon));
    if (colon == std::string_view::npos) break;
    text.remove_prefix(colon + 1);
  }
  if (parts.size() > 4) {
    error = "--fault is KIND[:SID[:SKIP[:COUNT]]], got '" + whole + "'";
    return std::nullopt;
  }
  Fault f;
  bool known = false;
  std::string names;
  for (const KindRow &r : kKinds) {
    names += (names.empty() ? "" : ", ") + std::string(r.name);
    if (r.name == parts[0]) {
      f.kind = r.kind;
      known = true;
    }
  }
  if (!known) {
    error = "--fault: unknown kind '" + std::string(parts[0]) + "' (" + names + ")";
    return std::nullopt;
  }
  if (parts.size() > 1 && parts[1] != "any") {
    // Two hex digits at most, no prefix: the way service identifiers are written in traces.
    auto sid = parts[1].size() <= 2 ? whole_number(parts[1], 16, 0, 0xFF) : std::nullopt;
    if (!sid) {
      error = "--fault: SID is a hex byte such as 21, or 'any'; got '" + std::string(parts[1]) + "'";
      return std::nullopt;
    }
    f.sid = static_cast<int>(*sid);
  }
  if (parts.size() > 2) {
    auto skip = whole_number(parts[2], 10, 0, kMaxCount);
    if (!skip) {
      error = "--fault: SKIP is a number 0.." + std::to_string(kMaxCount) + ", got '" + std::string(parts[2]) + "'";
      return std::nullopt;
    }
    f.skip = *skip;
  }
  if (parts.size() > 3) {
    auto count = whole_number(parts[3], 10, 1, kMaxCount);
    if (!count) {
      error = "--fault: COUNT is a number 1.." + std::to_string(kMaxCount) + ", got '" + std::string(parts[3]) + "'";
      return std::nullopt;
    }
    f.count = *count;
  }
  return f;
}

}  // namespace ecusim::wire
