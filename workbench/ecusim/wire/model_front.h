// What the wire loop needs from a frame-level ECU model: its line's rates and timing, the
// wake-up and noise, the sleep time-out, and the answer to a complete request frame with
// the injected faults applied. One implementation per line (K line, ALDL).
#pragma once

#include "request_assembler.h"
#include "wire_faults.h"
#include "wire_log.h"
#include "wire_options.h"

#include <memory>
#include <optional>
#include <string>
#include <string_view>

namespace ecusim::wire {

inline constexpr double kBaudTolerance = 0.02;  // relative deviation the ECUs still decode
inline constexpr double kLateAnswerMs = 70.0;   // a "late" fault's answer delay
inline constexpr double kPendingMs = 1000.0;    // from 7F sid 78 to the real answer

struct Reply {
  Bytes frame;
  double delay_ms = 0;         // from the last request byte to the first answer byte
  std::optional<Bytes> later;  // after a response-pending answer: the real one
  double later_ms = 0;         // from the first answer's first byte to the later one's
  bool endless = false;        // the frame goes out again and again, without end
  std::size_t cut_after = 0;   // the line closes after this many bytes; 0: it does not
};

// A fault's answer frame cut to its service byte (or mode), identifier and three zero
// bytes, as a truncated block arrives from a real ECU.
inline constexpr std::size_t kShortAnswerBytes = 5;

class ModelFront {
 public:
  virtual ~ModelFront() = default;

  virtual Framing framing() const = 0;
  virtual double ecu_baud() const = 0;   // what the ECU decodes, +-kBaudTolerance
  virtual double port_baud() const = 0;  // the rate the line is opened at
  // Quiet time the ECU insists on after its answer before it takes a request; 0: none.
  virtual double min_quiet_ms() const = 0;
  virtual bool takes_fast_init() const = 0;
  // "K line, ECU 10"
  virtual std::string describe() const = 0;

  // The fast-init low pulse was on the line.
  virtual void hear_wakeup(double now_ms) = 0;
  // Something unreadable was on the line.
  virtual void hear_noise() = 0;
  // When the awake ECU falls asleep unless it hears a request; nullopt: it does not.
  virtual std::optional<double> sleep_due() const = 0;
  // Lets it fall asleep (and logs it) when that moment has come by now_ms.
  virtual void settle(double now_ms) = 0;
  // A complete request frame; the answer to send, if any. Logs the request and the outcome.
  virtual std::optional<Reply> hear(const Assembled &request) = 0;

  virtual bool set_option(std::string_view key, std::string_view value, std::string &error) = 0;
};

// answer_ms: the answer delay instead of the car's own, if set.
std::unique_ptr<ModelFront> make_front(const std::string &car, CarLine line, const std::vector<Fault> &faults,
                                       std::optional<double> answer_ms, WireLog &log);

}  // namespace ecusim::wire
