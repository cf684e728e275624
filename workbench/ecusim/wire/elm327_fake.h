// An ELM327 adapter in front of a simulated Bosch K-line ECU, for vazdiag-ecu --adapter
// elm327: the adapter's AT command set, its output forms (echo, line feeds, spaces,
// headers), ISO 14230-4 fast init and requests in real time (request bytes at 10400 baud
// with the adapter's P4, the ECU's answer, the adapter's time-out or the responses-
// expected digit, its P3, the host rate's character time), its wake-up messages, its
// monitor, and the ways clones differ: a version string, commands they lack, no
// responses-expected digit, a print buffer size, forgetting ATAL on a protocol change,
// restarting themselves, a connection that drops.
#pragma once

#include "model_front.h"
#include "wire_log.h"

#include <optional>
#include <set>
#include <string>
#include <vector>

namespace ecusim::wire {

struct ElmVariant {
  std::string version = "ELM327 v1.5";
  std::set<std::string> lacks;  // AT commands without "AT" ("FI", "SW", "WM", "AL"), "digit"
  bool forgets_al = false;      // a protocol change clears ATAL
  std::size_t buffer = 0;       // print buffer in characters; 0: never full
  double host_baud = 38400;     // the serial host rate it answers at
  long reset_after = 0;         // restarts itself at this request (1-based); 0: never
  long drop_after = 0;          // over TCP: drops the connection at this request; 0: never
  bool ignition = true;         // off: the ECU never answers
};

// What the adapter prints, and when: each piece at its moment (the last ends with the prompt
// unless the monitor runs).
struct ElmOutput {
  double at_ms = 0;
  std::string text;
};

class FakeElm {
 public:
  FakeElm(ModelFront &front, WireLog &log, const ElmVariant &variant);

  // A command line (without its carriage return) received at t; char_ms is one character's
  // time at the host rate (0 on a network connection).
  std::vector<ElmOutput> command(const std::string &line, double t, double char_ms);
  // A character while busy: the command or the monitor stops.
  std::vector<ElmOutput> interrupt(double t, double char_ms);
  bool monitoring() const { return monitoring_; }
  // When the next wake-up message is due while idle; nullopt: none.
  std::optional<double> wakeup_due() const;
  void send_wakeup(double t);
  // Set by command() when the variant drops the connection now.
  bool take_drop() {
    const bool d = drop_;
    drop_ = false;
    return d;
  }

 private:
  void reset();
  std::string at_command(const std::string &cmd, double t, double &done_at);
  std::string request(const std::string &hex, double t, double &done_at);
  bool fast_init(double t, double &done_at);
  // The request on the bus from 'start'; the frames the ECU puts on the bus, with times.
  struct BusFrame {
    double start_ms = 0, end_ms = 0;
    Bytes bytes;
  };
  std::vector<BusFrame> exchange(const Bytes &frame, double start, double &last_byte);
  std::string show(const Bytes &frame) const;
  bool lacks(const std::string &what) const { return variant_.lacks.count(what) != 0; }
  double st_ms() const { return st_ * 4.096; }

  ModelFront &front_;
  WireLog &log_;
  ElmVariant variant_;
  long requests_ = 0;
  bool drop_ = false;

  // The adapter's settings.
  bool echo_ = true, linefeeds_ = false, spaces_ = true, headers_ = false, long_ = false;
  int protocol_ = 0;
  bool open_ = false;  // the protocol is initialised
  unsigned st_ = 0x32;
  unsigned sw_ = 0x92;
  Bytes header_{0xC1, 0x33, 0xF1};
  Bytes wakeup_{0xC1, 0x33, 0xF1, 0x3E};
  std::string last_command_;

  double bus_free_at_ = 0;      // P3 after the last answer
  double bus_activity_ = 0;     // end of the last frame on the bus
  std::vector<BusFrame> late_;  // frames the ECU sent after the adapter stopped listening
  bool monitoring_ = false;
};

inline constexpr double kAdapterP4Ms = 5.0;   // its gap between request bytes
inline constexpr double kAdapterP3Ms = 55.0;  // its quiet before a request
inline constexpr double kAdapterResetMs = 300.0;

}  // namespace ecusim::wire
