// The model front of a car, by the line it sits on, and the faults every line shows alike.
#include "model_front.h"

#include "aldl_front.h"
#include "kwp_front.h"

#include "ecusim/ecu_catalogue.h"

#include <algorithm>

namespace ecusim::wire {

bool spoil_alike(Reply &reply, FaultKind kind, WireLog &log, double t) {
  switch (kind) {
    case FaultKind::BadChecksum:
      reply.frame.back() = static_cast<std::uint8_t>(reply.frame.back() + 1);
      log.line(t, "fault bad-checksum: the answer's checksum + 1");
      return true;
    case FaultKind::Late:
      reply.delay_ms = kLateAnswerMs;
      log.line(t, "fault late: the answer starts 70 ms after the request");
      return true;
    case FaultKind::Endless:
      reply.endless = true;
      log.line(t, "fault endless: the answer again and again");
      return true;
    case FaultKind::Cut:
      reply.cut_after = std::max<std::size_t>(1, reply.frame.size() / 2);
      log.line(t, "fault cut: the line closes halfway through the answer");
      return true;
    default: return false;
  }
}

std::unique_ptr<ModelFront> make_front(const std::string &car, CarLine line, const std::vector<Fault> &faults,
                                       std::optional<double> answer_ms, WireLog &log) {
  if (line == CarLine::Aldl) {
    auto ecu = make_aldl_ecu(car);
    if (!ecu) return nullptr;
    ecu->power_on(0);
    return std::make_unique<AldlFront>(std::move(ecu), faults, answer_ms.value_or(kAldlAnswerMs), log);
  }
  auto ecu = make_ecu(car);
  if (!ecu) return nullptr;
  ecu->power_on(0);
  return std::make_unique<KwpFront>(std::move(ecu), faults, answer_ms.value_or(kKLineP2Ms), log);
}

}  // namespace ecusim::wire
