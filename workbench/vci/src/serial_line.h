// The vehicle interface on a real serial port: a USB K-line ("KKL") or ALDL cable to the
// car, or a pseudo-terminal with the simulated ECU program on its other side. It offers
// the same services as the simulated lines, in real time on the monotonic clock:
//   - fast init by a held break or a 0x00 byte at 360 baud, after 300 ms of idle line;
//   - every request byte's echo read back and compared before the next byte (P4 after it);
//   - answers assembled by the KWP2000 length rules or the ALDL length code, checksums
//     checked, a response-pending answer (7F xx 78) waited out, P3 kept before a request;
//   - the keep-alive sent by a thread of its own whenever the line idled for its period,
//     also while nobody calls; every service holds the same lock, so they never interleave;
//   - a port that fails (cable pulled, device gone) fails the request at once and is
//     reopened by the next SelectPIN.
#pragma once

#include "line_base.h"
#include "serial_port.h"
#include "wire_assembler.h"

#include "ecusim/kwp_ecu.h"

#include <condition_variable>
#include <cstdint>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <vector>

namespace vci {

class SerialLine final : public LineBase {
 public:
  static constexpr LineOffers kOffers{.voltage_logic = true, .aldl = true};

  explicit SerialLine(WireTrace &trace);
  ~SerialLine() override;

  // Control: put the line on this device (opened at once); false with a reason.
  bool use_port(const std::string &device, const PortSettings &settings);
  // The configured port could not be used (its options are wrong): every request fails with
  // this reason, which the user also hears, instead of a bare "not open".
  void refuse_configuration(const std::string &why);
  const std::string &device() const { return device_; }
  // A serial line runs in real time only.
  void use_clock(bool virtual_time, bool traced = true);
  void advance(unsigned ms) override;
  ecusim::KwpEcu *ecu() { return nullptr; }  // no simulated car here
  // What the user should hear about (refused rates, missing echo, lost port, latency),
  // collected since the last call.
  std::string take_user_notes();

  // Line services (results as the exported functions return them).
  int select_pin(int connector, int a, int b, int c, int d);
  void setting(const std::string &what);
  int begin_combination();
  int end_combination();
  int set_baud(double baud);
  void set_time_interval(double gap, int b, int c);
  void voltage_logic(int a, int b);
  int line_voltage(int mode, int low_ms, int high_ms);
  int send(const std::uint8_t *frame, std::uint8_t *answer);
  int send_aldl(const std::uint8_t *frame, int length, std::uint8_t *answer);
  int set_link_keep(const std::uint8_t *frame, int length, int a, int b);

 private:
  using Lock = std::unique_lock<std::mutex>;
  struct Exchange {
    bool ok = false;
    std::vector<WireBytes> frames;
    double wait_ms = 0;  // the wait last in force: the first, or one a pending answer set
  };

  bool open_port(const Lock &);
  void port_lost(const std::string &why);
  int fail_noted(const std::string &why);
  void note_user(const std::string &text);
  void sleep_until(double t_ms);
  void trace_notes(WireAssembler &as);
  bool transmit(const WireBytes &frame, WireAssembler &as);
  // Reads until the first frame is done (or 'wait' past 'from' passes); KWP2000 goes on
  // collecting frames that follow within P2max.
  Exchange receive(WireAssembler &as, double from, double wait, WireProtocol protocol);
  Exchange kwp_exchange(const WireBytes &frame);
  bool wait_quiet(double quiet_ms, double limit_ms);
  int wake_by_break(int low_ms, int high_ms);
  int wake_by_byte(int low_ms, int high_ms);
  static int deliver_frames(const std::vector<WireBytes> &frames, std::uint8_t *answer);
  void keeper_loop();

  std::mutex mutex_;  // one user of the port at a time: the caller or the keep-alive
  std::condition_variable keeper_wake_;
  std::thread keeper_;
  bool stopping_ = false;
  std::optional<WireBytes> keep_alive_;
  int keep_alive_failures_ = 0;

  std::string device_;
  PortSettings settings_;
  std::unique_ptr<SerialPort> port_;
  bool echo_seen_ = false;  // the interface has echoed at least once
  std::string user_notes_;
  std::string refused_;  // why the configured port is not in use, "" when it is
  std::string no_port() const { return refused_.empty() ? "the serial port is not open" : refused_; }
};

}  // namespace vci
