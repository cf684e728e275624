// A Bosch K-line ECU model on the wire: KWP2000 frames, fast init, 5 s sleep, P2 25 ms.
#pragma once

#include "model_front.h"

#include "ecusim/kwp_ecu.h"

namespace ecusim::wire {

inline constexpr double kKLineBaud = 10400.0;
inline constexpr double kKLineP2Ms = 25.0;
// The tester keeps P3min = 55 ms after an answer; the ECU allows it 2 ms of clock slack.
inline constexpr double kKLineP3Ms = 53.0;

class KwpFront : public ModelFront {
 public:
  KwpFront(std::unique_ptr<KwpEcu> ecu, const std::vector<Fault> &faults, double answer_ms, WireLog &log);

  Framing framing() const override { return Framing::Kwp; }
  double ecu_baud() const override { return kKLineBaud; }
  double port_baud() const override { return kKLineBaud; }
  double min_quiet_ms() const override { return kKLineP3Ms; }
  bool takes_fast_init() const override { return true; }
  std::string describe() const override;

  void hear_wakeup(double now_ms) override;
  void hear_noise() override { ecu_->hear_noise(); }
  std::optional<double> sleep_due() const override;
  void settle(double now_ms) override;
  std::optional<Reply> hear(const Assembled &request) override;

  bool set_option(std::string_view key, std::string_view value, std::string &error) override {
    return ecu_->set_option(key, value, error);
  }

 private:
  // The fault's change to an answer the model gave, logged at t.
  Reply spoil(Reply reply, const Fault &fault, const Request &request, double t);

  std::unique_ptr<KwpEcu> ecu_;
  FaultList faults_;
  double answer_ms_;
  WireLog &log_;
};

}  // namespace ecusim::wire
