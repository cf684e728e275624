// A GM ALDL ECU model on the wire: F4 frames by length code, always listening, 10 ms answer
// delay. ALDL has no negative answer, so a "negative" fault loses the request like "no-answer".
#pragma once

#include "model_front.h"

#include "ecusim/aldl_ecu.h"

namespace ecusim::wire {

inline constexpr double kAldlBaud = 8227.0;      // what the ECUs decode
inline constexpr double kAldlPortBaud = 8192.0;  // the rate the line is opened at
inline constexpr double kAldlAnswerMs = 10.0;
inline constexpr LineForm kAldlLine{Framing::Aldl, kAldlBaud, kAldlPortBaud, 0, false};

class AldlFront : public FrontOf<AldlEcu> {
 public:
  using FrontOf::FrontOf;

  const LineForm &line() const override { return kAldlLine; }
  std::string describe() const override { return "ALDL, ECU F4"; }

  void hear_wakeup(double) override {}
  void hear_noise() override {}
  std::optional<double> sleep_due() const override { return std::nullopt; }
  void settle(double) override {}
  std::optional<Reply> hear(const Assembled &request) override;
};

}  // namespace ecusim::wire
