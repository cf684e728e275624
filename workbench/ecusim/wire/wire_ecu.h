// The wire ECU's event loop: one thread polling the line with timeouts from the next
// deadline. Echoes what the tester sends, decodes it when the line's rate is the ECU's,
// assembles requests, hands them to the model, and writes the answers byte by byte in the
// line's timing.
#pragma once

#include "model_front.h"
#include "pty_port.h"
#include "request_assembler.h"
#include "wire_clock.h"
#include "wire_log.h"
#include "wire_options.h"

#include <csignal>
#include <deque>
#include <limits>
#include <optional>

namespace ecusim::wire {

inline constexpr double kFastInitBaud = 360.0;  // a 0x00 at this rate is the 25 ms low pulse
inline constexpr double kBitsPerByte = 10.0;    // start, 8 data, stop

inline constexpr double kEndlessPauseMs = 10.0;  // between the frames of an endless answer

class WireEcu {
 public:
  WireEcu(WirePort &port, ModelFront &front, WireLog &log, const WireClock &clock, EchoMode echo,
          const WireTiming &timing = {});

  // Runs until 'stop' is set (by a signal, delivered only inside ppoll while 'poll_mask' is
  // in force) or the line fails: 0 on a stop, 1 on a failure.
  int run(const volatile std::sig_atomic_t &stop, const sigset_t *poll_mask);

 private:
  struct Outgoing {
    Bytes bytes;
    std::size_t next = 0;
    double next_at = 0;  // when the next byte is due
    bool endless = false;
    std::size_t cut_after = 0;
    bool logged = false;  // an endless answer is logged once
  };
  struct Held {
    double due;
    std::uint8_t byte;
  };

  void receive(const LineByte &byte, double now);
  void echo(const LineByte &byte);
  bool decodable(const LineByte &byte, double rate, double now);
  void take(const Assembled &request);
  void send_due(double now);
  // Writes a byte towards the tester: at once, or held for the next burst.
  bool put(std::uint8_t byte, double now);
  void deliver_held(double now);
  double gap_after_byte();
  void note_drop(const Dropped &dropped, double now);
  std::optional<double> next_deadline() const;
  bool answering() const { return sending_.has_value() || later_.has_value(); }

  WirePort &port_;
  ModelFront &front_;
  WireLog &log_;
  const WireClock &clock_;
  EchoMode echo_;
  RequestAssembler assembler_;

  std::optional<Outgoing> sending_;
  std::optional<Outgoing> later_;  // the real answer after a response-pending one
  double answer_end_ms_ = -std::numeric_limits<double>::infinity();
  bool frame_began_while_answering_ = false;
  long received_ = 0;
  double logged_rate_ = 0;  // last rate the log mentioned, to log each change once
  bool echo_lost_ = false;

  WireTiming timing_;
  std::deque<Held> held_;           // bytes waiting for the next burst
  std::optional<double> noise_at_;  // when the noise byte before the answer is due
  std::uint8_t noise_byte_ = 0x00;  // alternates 00 and FF
  unsigned gap_index_ = 0;
  bool closed_ = false;  // a "cut" fault closed the line
};

}  // namespace ecusim::wire
