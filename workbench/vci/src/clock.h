// Time source of the simulated line. The line computes every moment itself (start of a
// frame, end of an answer) and asks the clock only for "now" and to wait until a moment:
// the real-time clock really sleeps, the virtual clock just jumps there.
#pragma once

#include <chrono>
#include <memory>

namespace vci {

class Clock {
 public:
  virtual ~Clock() = default;
  virtual double now_ms() const = 0;
  virtual void wait_until(double t_ms) = 0;
};

class VirtualClock final : public Clock {
 public:
  explicit VirtualClock(double start_ms = 0.0) : now_(start_ms) {}
  double now_ms() const override { return now_; }
  void wait_until(double t_ms) override {
    if (t_ms > now_) now_ = t_ms;
  }

 private:
  double now_;
};

class RealClock final : public Clock {
 public:
  explicit RealClock(double start_ms = 0.0);
  double now_ms() const override;
  void wait_until(double t_ms) override;

 private:
  std::chrono::steady_clock::time_point origin_;  // the moment that reads as 0 ms
};

std::unique_ptr<Clock> make_clock(bool virtual_time, double start_ms);

}  // namespace vci
