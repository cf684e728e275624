// The vehicle interface through an ELM327 adapter (USB, Bluetooth rfcomm or Wi-Fi) to the
// Bosch KWP2000 ECUs: the same services as the raw K-line cable, carried as the adapter's
// command lines.
//   - Set-up: reset, echo, line feeds and spaces off, headers on, ISO 14230-4 fast init
//     (protocol 5) fixed, the header of the plug-in's frames, long answers, no adaptive
//     timing and a time-out from the ECU's P2max; each capability is learnt from the
//     adapter's answer ("?" = lacking), never from its version string.
//   - Fast init: the wake-up the plug-in asks for becomes ATFI (or, lacking it, the
//     adapter's own init on the next request); "BUS INIT: ...ERROR" is no connection.
//   - Requests: the service bytes as one command line with the responses-expected digit
//     where the adapter has it; answer lines read back into frames, checksums verified;
//     every status text the adapter prints has one outcome (failed, repeated once, or the
//     adapter set up again); a response-pending answer is waited out on the adapter's
//     monitor. Nothing is written before the adapter's prompt.
//   - Keep-alive: the adapter's own wake-up message and period where it has ATWM and ATSW,
//     else a thread of this line sends the keep-alive request when the line has idled,
//     under the same lock as every other request.
#pragma once

#include "elm327_reply.h"
#include "elm327_transport.h"
#include "line_base.h"

#include "ecusim/kwp_ecu.h"

#include <condition_variable>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <vector>

namespace vci {

// What probing found the adapter can do.
struct AdapterCaps {
  std::string version;         // its ATI answer, as it says it
  double host_baud = 0;        // 0 on a network connection
  bool fast_init = true;       // ATFI
  bool long_answers = true;    // ATAL
  bool expected_digit = true;  // responses-expected digit after a request
  bool wakeup_message = true;  // ATWM
  bool wakeup_period = true;   // ATSW
  bool header = true;          // ATSH (three-byte form), ATH1
  bool timeout = true;         // ATST
  bool adaptive = true;        // ATAT0
  bool digit_tried = false;    // the digit was tried on a request (else unknown)
  bool fast_init_tried = false;
};

// The table vazdiag --adapter-info and the trace print.
std::string describe_caps(const AdapterCaps &caps);

class ElmLine final : public LineBase {
 public:
  static constexpr LineOffers kOffers{};

  explicit ElmLine(WireTrace &trace);
  ~ElmLine() override;

  // Control: the adapter on this transport, found at host_baud (0: a network connection);
  // set up at once. False with a reason.
  bool use_adapter(std::unique_ptr<AdapterTransport> transport, const AdapterCaps &found);
  // Tries what set-up cannot: ATFI and the responses-expected digit (harmless without a car).
  void probe_request_capabilities();
  const AdapterCaps &caps() const { return caps_; }
  void use_clock(bool virtual_time, bool traced = true);
  void advance(unsigned ms) override;
  ecusim::KwpEcu *ecu() { return nullptr; }
  std::string take_user_notes();

  // Line services (results as the exported functions return them).
  int select_pin(int connector, int a, int b, int c, int d);
  void setting(const std::string &what);
  int begin_combination();
  int end_combination();
  int set_baud(double baud);
  void set_time_interval(double gap, int b, int c);
  int line_voltage(int mode, int low_ms, int high_ms);
  int send(const std::uint8_t *frame, std::uint8_t *answer);
  int set_link_keep(const std::uint8_t *frame, int length, int a, int b);

 private:
  using Lock = std::unique_lock<std::mutex>;
  struct Command {
    bool ok = false;   // the prompt came
    std::string text;  // what came before it
  };

  // One command line and the adapter's text up to its prompt ('limit' ms at most).
  Command command(const std::string &line, double limit_ms);
  AdapterReply setting_command(const std::string &line, bool *capability = nullptr);
  bool set_up();
  bool set_header(std::uint8_t format, std::uint8_t target, std::uint8_t source);
  std::optional<std::vector<AdapterFrame>> request(const std::vector<std::uint8_t> &frame);
  std::optional<std::vector<AdapterFrame>> wait_pending();
  bool fast_init();
  void lost(const std::string &why);
  int fail_noted(const std::string &why);
  void note_user(const std::string &text);
  bool arm_adapter_keep_alive();
  void keeper_loop();

  std::mutex mutex_;
  std::condition_variable keeper_wake_;
  std::thread keeper_;
  bool stopping_ = false;

  std::unique_ptr<AdapterTransport> transport_;
  AdapterCaps caps_;
  bool ready_ = false;          // set up since the last reset or loss
  bool init_wanted_ = false;    // the plug-in asked for a fast init; the next request does it
  bool protocol_open_ = false;  // the adapter talks to the ECU (a fast init worked)
  std::string header_;          // the header set on the adapter
  std::optional<std::vector<std::uint8_t>> keep_alive_;
  bool keep_by_adapter_ = false;
  int keep_alive_failures_ = 0;
  std::string user_notes_;
};

}  // namespace vci
