// A GM ALDL ECU model on the wire: F4 frames by length code, always listening, 10 ms answer
// delay. ALDL has no negative answer, so a "negative" fault loses the request like "no-answer".
#pragma once

#include "model_front.h"

#include "ecusim/aldl_ecu.h"

namespace ecusim::wire {

inline constexpr double kAldlBaud = 8227.0;      // what the ECUs decode
inline constexpr double kAldlPortBaud = 8192.0;  // the rate the line is opened at
inline constexpr double kAldlAnswerMs = 10.0;

class AldlFront : public ModelFront {
 public:
  AldlFront(std::unique_ptr<AldlEcu> ecu, const std::vector<Fault> &faults, double answer_ms, WireLog &log);

  Framing framing() const override { return Framing::Aldl; }
  double ecu_baud() const override { return kAldlBaud; }
  double port_baud() const override { return kAldlPortBaud; }
  double min_quiet_ms() const override { return 0; }
  bool takes_fast_init() const override { return false; }
  std::string describe() const override { return "ALDL, ECU F4"; }

  void hear_wakeup(double) override {}
  void hear_noise() override {}
  std::optional<double> sleep_due() const override { return std::nullopt; }
  void settle(double) override {}
  std::optional<Reply> hear(const Assembled &request) override;

  bool set_option(std::string_view key, std::string_view value, std::string &error) override {
    return ecu_->set_option(key, value, error);
  }

 private:
  std::unique_ptr<AldlEcu> ecu_;
  FaultList faults_;
  double answer_ms_;
  WireLog &log_;
};

}  // namespace ecusim::wire
