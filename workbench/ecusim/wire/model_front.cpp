// The model front of a car, by the line it sits on.
#include "model_front.h"

#include "aldl_front.h"
#include "kwp_front.h"

#include "ecusim/ecu_catalogue.h"

namespace ecusim::wire {

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
