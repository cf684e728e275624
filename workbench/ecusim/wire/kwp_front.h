// A Bosch K-line ECU model on the wire: KWP2000 frames, fast init, 5 s sleep, P2 25 ms.
#pragma once

#include "model_front.h"

#include "ecusim/kwp_ecu.h"

namespace ecusim::wire {

inline constexpr double kKLineBaud = 10400.0;
inline constexpr double kKLineP2Ms = 25.0;
// The tester keeps P3min = 55 ms after an answer; the ECU allows it 2 ms of clock slack.
inline constexpr double kKLineP3Ms = 53.0;
inline constexpr LineForm kKLine{Framing::Kwp, kKLineBaud, kKLineBaud, kKLineP3Ms, true};

class KwpFront : public FrontOf<KwpEcu> {
 public:
  using FrontOf::FrontOf;

  const LineForm &line() const override { return kKLine; }
  std::string describe() const override;

  void hear_wakeup(double now_ms) override;
  void hear_noise() override { ecu_->hear_noise(); }
  std::optional<double> sleep_due() const override;
  void settle(double now_ms) override;
  std::optional<Reply> hear(const Assembled &request) override;

 private:
  // The fault's change to an answer the model gave, logged at t.
  Reply spoil(Reply reply, const Fault &fault, const Request &request, double t);
};

}  // namespace ecusim::wire
