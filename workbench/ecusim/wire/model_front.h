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
#include <utility>
#include <vector>

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

// The line a front sits on, as the wire loop needs it.
struct LineForm {
  Framing framing;
  double ecu_baud;   // what the ECU decodes, +-kBaudTolerance
  double port_baud;  // the rate the line is opened at
  // Quiet time the ECU insists on after its answer before it takes a request; 0: none.
  double min_quiet_ms;
  bool takes_fast_init;
};

class ModelFront {
 public:
  virtual ~ModelFront() = default;

  virtual const LineForm &line() const = 0;
  Framing framing() const { return line().framing; }
  double ecu_baud() const { return line().ecu_baud; }
  double port_baud() const { return line().port_baud; }
  double min_quiet_ms() const { return line().min_quiet_ms; }
  bool takes_fast_init() const { return line().takes_fast_init; }
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

// What the fronts of both lines keep: the model, its armed faults, the answer delay and the log.
template <class Ecu>
class FrontOf : public ModelFront {
 public:
  FrontOf(std::unique_ptr<Ecu> ecu, const std::vector<Fault> &faults, double answer_ms, WireLog &log)
      : ecu_(std::move(ecu)), answer_ms_(answer_ms), log_(log) {
    for (const Fault &f : faults) faults_.arm(f);
  }

  bool set_option(std::string_view key, std::string_view value, std::string &error) override {
    return ecu_->set_option(key, value, error);
  }

 protected:
  std::unique_ptr<Ecu> ecu_;
  FaultList faults_;
  double answer_ms_;
  WireLog &log_;
};

// A fault that spoils the answer the same way on every line (bad-checksum, late, endless,
// cut), logged at t; false for a kind each line shows its own way.
bool spoil_alike(Reply &reply, FaultKind kind, WireLog &log, double t);

// answer_ms: the answer delay instead of the car's own, if set.
std::unique_ptr<ModelFront> make_front(const std::string &car, CarLine line, const std::vector<Fault> &faults,
                                       std::optional<double> answer_ms, WireLog &log);

}  // namespace ecusim::wire
