// The simulated generic OBD-II bus of the cars "obd-iso" (ISO 9141-2) and "obd-pwm" (J1850
// PWM) between the tester and one OBD responder. It offers the services of the other lines
// so that the interface can route every call to it; the one-to-one and ISO request services
// (ISO bus) and the PWM service (PWM bus) do the work. The responder never sleeps, so the
// lazy idle replay reduces to letting the clock pass.
#pragma once

#include "line_base.h"

#include "ecusim/obd_ecu.h"

#include <array>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>

namespace vci {

using ecusim::ObdBus;

// Timing of one bus, in milliseconds (rates in bit/s).
struct ObdTiming {
  ObdBus bus;
  double bit_rate;
  double bits_per_byte;
  double answer_delay;  // ECU turn-around after a request, and between its answer frames
  double wait;          // the interface's wait for an answer
  double late_delay;    // a "late" fault's answer delay
  double quiet;         // bus quiet before the next request
};

inline constexpr std::array<ObdTiming, 2> kObdTimings{{
    {ObdBus::Iso9141, 10400.0, 10.0, 25.0, 50.0, 70.0, 55.0},
    {ObdBus::J1850Pwm, 41600.0, 8.0, 5.0, 50.0, 70.0, 5.0},
}};

class ObdLine final : public LineBase {
 public:
  static constexpr LineOffers kOffers{.iso = true, .pwm = true};

  explicit ObdLine(WireTrace &trace) : LineBase(trace) {}

  // Car.
  void set_ecu(std::unique_ptr<ecusim::ObdEcu> ecu, const std::string &name);
  ecusim::ObdEcu *ecu() { return ecu_.get(); }

  // Line services, named as on the K line (results as the exported functions return them).
  int line_voltage(int mode, int low_ms, int high_ms) override;
  int send(const std::uint8_t *frame, std::uint8_t *answer) override;  // KWP2000: not on this bus
  int set_link_keep(const std::uint8_t *frame, int length, int a, int b) override;

  // One request of 'length' bytes from the first header byte, check byte included, into an
  // answer buffer of 'size' bytes (0 or out of range: 344). send_iso serves the ISO bus,
  // send_pwm the PWM bus.
  int send_iso(const std::uint8_t *frame, int length, std::uint8_t *answer, int size);
  int send_pwm(const std::uint8_t *frame, int length, std::uint8_t *answer, int size);
  // A request built in pieces: opened, filled, then sent; its answer is kept for the trace.
  int iso_open(int a, int p, int q);
  int iso_add(const std::uint8_t *frame, int length);
  int iso_send(int p, int size);

 private:
  // The bus runs at its own rate and timing; set values are only traced.
  std::string baud_remark() const override;
  std::string interval_remark() const override { return "no effect on the OBD bus"; }
  bool on_bus(ObdBus wanted, const char *service);
  int send_on(ObdBus wanted, const char *service, const std::uint8_t *frame, int length, std::uint8_t *answer,
              int size);
  int exchange(const Bytes &frame, std::uint8_t *answer, int size);

  std::unique_ptr<ecusim::ObdEcu> ecu_;
  ObdBus bus_ = ObdBus::Iso9141;
  std::optional<Bytes> iso_request_;  // open between iso_open and iso_send
};

}  // namespace vci
