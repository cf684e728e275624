// The vehicle interface on a real serial port: a USB K-line ("KKL") or ALDL cable to the
// car, or a pseudo-terminal with the simulated ECU program on its other side. It offers
// the same services as the simulated lines, in real time on the monotonic clock:
//   - fast init by a held break or a 0x00 byte at 360 baud, after 300 ms of idle line;
//   - every request byte's echo read back and compared before the next byte (P4 after it);
//   - answers assembled by the KWP2000 length rules or the ALDL length code, checksums
//     checked, only an answer to the request's own service taken, a response-pending
//     answer (7F xx 78) waited out, P3 kept before a request, every wait with the wire's
//     allowances (line_timing.h);
//   - a reading request sent again after a lost or spoilt answer, and the ECU woken once
//     more when that fails too;
//   - the keep-alive sent by a thread of its own whenever the line idled for its period,
//     also while nobody calls; every service holds the same lock, so they never interleave;
//   - a port that fails (cable pulled, device gone) fails the request at once and is
//     reopened by the next SelectPIN.
#pragma once

#include "line.h"
#include "line_timing.h"
#include "serial_port.h"
#include "wire_assembler.h"

#include <condition_variable>
#include <cstdint>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <vector>

namespace vci {

class SerialLine final : public Line {
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
  void use_clock(bool virtual_time, bool traced = true) override;
  void advance(unsigned ms) override;
  // What the user should hear about (refused rates, missing echo, lost port, latency),
  // collected since the last call.
  std::string take_user_notes();

  // Line services (results as the exported functions return them).
  int select_pin(int connector, int a, int b, int c, int d) override;
  void setting(const std::string &what) override;
  int begin_combination() override;
  int end_combination() override;
  int set_baud(double baud) override;
  void set_time_interval(double gap, int b, int c) override;
  void voltage_logic(int a, int b);
  int line_voltage(int mode, int low_ms, int high_ms) override;
  int send(const std::uint8_t *frame, std::uint8_t *answer) override;
  int send_aldl(const std::uint8_t *frame, int length, std::uint8_t *answer);
  int set_link_keep(const std::uint8_t *frame, int length, int a, int b) override;

 private:
  using Lock = std::unique_lock<std::mutex>;
  static std::string fmt(const char *format, double a, double b = 0, double c = 0, double d = 0);
  // How one request's collection ended. A lost, cut or spoilt answer may be asked for
  // again; a broken echo, a lost port or a line that never stops talking may not.
  enum class Ending { Answer, NoAnswer, Cut, Spoilt, EchoFault, PortLost, Chatter };
  struct Exchange {
    Ending ending = Ending::NoAnswer;
    std::vector<WireBytes> frames;
    double wait_ms = 0;  // the standard's wait last in force: P2max, or P2* after a pending answer
    bool ok() const { return ending == Ending::Answer; }
    // A missing or wrong echo is worth another try too: a tester held up by its machine, or
    // a collision on the line, spoils one request, not the link.
    bool worth_repeating() const {
      return ending == Ending::NoAnswer || ending == Ending::Cut || ending == Ending::Spoilt ||
             ending == Ending::EchoFault;
    }
  };
  // Who sends: the plug-in's request fails the call (and an open batch) with a message for
  // the user; the keep-alive's failure is only traced.
  enum class Origin { Caller, KeepAlive };
  // What the answer must be: the KWP2000 request's service (its positive answer or a
  // negative answer to it), and whether it may come in several frames.
  struct Expect {
    std::optional<std::uint8_t> service;
    bool several_frames = false;
  };

  bool open_port(const Lock &);
  void port_lost(const std::string &why);
  int fail_noted(const std::string &why);
  void note_user(const std::string &text);
  void sleep_until(double t_ms);
  void trace_notes(WireAssembler &as);
  WireBudget budget() const;
  // False when the request did not go out whole; a caller's failure is kept in
  // transmit_failure_ until it is known whether a repeat mends it (fail_transmit).
  bool transmit(const WireBytes &frame, WireAssembler &as, Origin origin);
  int fail_transmit();
  // Reads the answer to the request that ended at 'from': frames until the first complete
  // answer (further ones only where several are expected), within 'wait' (the standard's
  // figure; the budget adds the wire's allowances).
  Exchange receive(WireAssembler &as, double from, double wait, WireProtocol protocol, const Expect &expect);
  // One KWP2000 request and its answer after P3; 'mark' (a repeat) is traced before it.
  Exchange kwp_exchange(const WireBytes &frame, Origin origin, const std::string &mark = {});
  // The caller's request with its repeats and, after them, one more wake-up.
  Exchange kwp_request(const WireBytes &frame);
  // Waits until the line has been quiet for quiet_ms since 'since' (the last byte known on
  // it), dropping what comes meanwhile; false when it never is within limit_ms (or the port
  // is lost).
  bool wait_quiet(double quiet_ms, double limit_ms, double since);
  int wake(int low_ms, int high_ms);
  int wake_by_break(int low_ms, int high_ms);
  int wake_by_byte(int low_ms, int high_ms);
  // Why a request is sent again, as its repeat's trace mark says.
  static const char *repeat_reason(Ending ending);
  void keeper_loop();

  std::mutex mutex_;  // one user of the port at a time: the caller or the keep-alive
  std::condition_variable keeper_wake_;
  std::thread keeper_;
  bool stopping_ = false;
  std::optional<WireBytes> keep_alive_;
  int keep_alive_failures_ = 0;
  double keep_alive_retry_at_ = 0;  // after a failure: the back-off's end

  // The last fast init and StartCommunication, to wake the ECU again after failed repeats.
  int wake_low_ms_ = 0, wake_high_ms_ = 0;
  std::optional<WireBytes> start_request_;

  std::string device_;
  PortSettings settings_;
  std::unique_ptr<SerialPort> port_;
  bool echo_seen_ = false;  // the interface has echoed at least once
  std::string user_notes_;
  std::string refused_;  // why the configured port is not in use, "" when it is
  std::string no_port() const { return refused_.empty() ? "the serial port is not open" : refused_; }
  struct {
    std::string why;
    bool tell_user = false;
  } transmit_failure_;
};

}  // namespace vci
