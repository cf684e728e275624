// Simulated ALDL line: set-up checks, request/answer exchange with timing, faults and trace.
#include "aldl_line.h"

#include "line_timing.h"

#include "frames/aldl_frame.h"

#include <algorithm>
#include <cmath>
#include <optional>

namespace vci {

void AldlLine::set_ecu(std::unique_ptr<ecusim::AldlEcu> ecu, const std::string &name) {
  catch_up();
  ecu_ = std::move(ecu);
  if (ecu_) ecu_->power_on(now());
  trace_.event(now(), "car " + name + " (ALDL ECU F4)");
}

void AldlLine::voltage_logic(int a, int b) {
  logic_ok_ = a == 0 && b == 0xFF;
  setting("voltage logic " + std::to_string(a) + ' ' + std::to_string(b) + (logic_ok_ ? " (ALDL levels)" : ""));
}

int AldlLine::line_voltage(int mode, int low_ms, int high_ms) { return ignore_pulse("ALDL", mode, low_ms, high_ms); }

int AldlLine::send(const std::uint8_t *, std::uint8_t *) {
  setting("KWP2000 request not sent: the car is on the ALDL line");
  return fail("KWP2000 request on the ALDL line");
}

int AldlLine::set_link_keep(const std::uint8_t *frame, int length, int a, int b) {
  return no_keep_alive(frame, length,
                       "keep-alive refused: ALDL has none (" + std::to_string(a) + ", " + std::to_string(b) + ")",
                       "no keep-alive on the ALDL line");
}

int AldlLine::send_aldl(const std::uint8_t *frame, int length, std::uint8_t *answer) {
  catch_up();
  if (!frame || !answer) return fail("null frame or answer buffer");
  if (length < 4 || length > 0xAA + 3) return fail("ALDL frame length " + std::to_string(length) + " out of 4..173");
  if (!ready_to_send(true)) return -1;
  const Bytes f(frame, frame + length);
  const double bt = byte_ms(baud_);
  const double start = std::max(now(), line_free_at_);
  const double tx_end = start + static_cast<double>(f.size()) * bt + static_cast<double>(f.size() - 1) * byte_gap_ms_;
  trace_.frame(start, "T>", f);
  last_activity_ = tx_end;

  // Faults are keyed by the mode byte, as K-line faults are by the service identifier.
  const auto fault = faults_.take(f[2]);
  const bool readable = std::fabs(baud_ - kAldlBaud) <= kAldlBaud * kBaudTolerance && logic_ok_;
  std::optional<Bytes> reply;
  // ALDL has no negative answer: a "negative" fault loses the request like "no-answer".
  const bool lost = fault && (fault->kind == FaultKind::NoAnswer || fault->kind == FaultKind::Negative);
  if (ecu_ && readable && !lost) reply = ecu_->hear(f, tx_end);
  if (!frames::aldl::checksum_ok(f.data(), f.size())) trace_.event(tx_end, "request checksum wrong");

  const AnswerTiming timing{kAldlAnswerDelay, kAldlWait, kAldlLateDelay,
                            kAldlQuiet,       bt,        "answer checksum wrong: discarded"};
  const auto outcome =
      schedule_answer(tx_end, reply ? std::span<Bytes>(&*reply, 1) : std::span<Bytes>(), fault, timing);
  clock_->wait_until(outcome.done_at);
  if (!outcome.ok) return fail("no valid answer");
  return deliver(*reply, answer);
}

}  // namespace vci
