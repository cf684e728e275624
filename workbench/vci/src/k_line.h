// The simulated K line between the tester and one ECU. It has no thread: each call first
// replays the idle time since the last activity (keep-alives at their moments, the ECU's
// sleep time-out), then handles the call, computing every frame's moment on the clock and
// waiting on the clock only as long as the call would really take.
#pragma once

#include "line_base.h"

#include "ecusim/kwp_ecu.h"

#include <cstdint>
#include <memory>
#include <optional>
#include <string>

namespace vci {

class KLine final : public LineBase {
 public:
  static constexpr LineOffers kOffers{};  // KWP2000 only

  explicit KLine(WireTrace &trace) : LineBase(trace) {}

  // Clock and car.
  void advance(unsigned ms) override;
  void set_ecu(std::unique_ptr<ecusim::KwpEcu> ecu, const std::string &name);
  ecusim::KwpEcu *ecu() { return ecu_.get(); }

  // Line services of the K line itself (results as the exported functions return them).
  int line_voltage(int mode, int low_ms, int high_ms) override;
  int send(const std::uint8_t *frame, std::uint8_t *answer) override;
  int set_link_keep(const std::uint8_t *frame, int length, int a, int b) override;

 private:
  struct Result {
    bool ok = false;
    const Bytes *answer = nullptr;  // the line's answer buffer, valid until the next exchange
    double done_at = 0;
  };
  enum class Origin { Caller, KeepAlive };

  void catch_up() override;
  void settle_ecu(double t_ms);
  bool line_ready() const { return pin_selected_ && baud_ > 0; }
  Result exchange(const Bytes &frame, double earliest, Origin origin);

  std::unique_ptr<ecusim::KwpEcu> ecu_;
  std::optional<Bytes> keep_alive_;
  // The caller's frame, the parsed request and the ECU's answer: their room reused from
  // exchange to exchange.
  Bytes request_;
  ecusim::Request parsed_;
  Bytes answer_;
};

}  // namespace vci
