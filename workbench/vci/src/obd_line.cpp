// Simulated generic OBD-II bus: request/answer exchange with timing, faults and trace, and
// the ISO request built in pieces.
#include "obd_line.h"

#include <algorithm>
#include <cstring>

namespace vci {
namespace {

const ObdTiming &timing_of(ObdBus bus) {
  return *std::find_if(kObdTimings.begin(), kObdTimings.end(), [&](const auto &t) { return t.bus == bus; });
}

std::string bus_name(ObdBus bus) { return std::string(ecusim::obd_framing(bus).name); }

// The caller's answer buffer size; the plug-in's buffers are never larger than 344 bytes.
std::size_t buffer_size(int size) {
  return size <= 0 || static_cast<std::size_t>(size) > kAnswerBufferSize ? kAnswerBufferSize
                                                                         : static_cast<std::size_t>(size);
}

}  // namespace

void ObdLine::set_ecu(std::unique_ptr<ecusim::ObdEcu> ecu, const std::string &name) {
  catch_up();
  ecu_ = std::move(ecu);
  if (ecu_) {
    bus_ = ecu_->bus();
    ecu_->power_on(now());
  }
  trace_.event(now(), "car " + name + " (OBD-II responder on the " + bus_name(bus_) + " bus)");
}

std::string ObdLine::baud_remark() const { return " (the " + bus_name(bus_) + " bus keeps its own rate)"; }

int ObdLine::line_voltage(int mode, int low_ms, int high_ms) {
  return ignore_pulse("the OBD bus", mode, low_ms, high_ms);
}

int ObdLine::send(const std::uint8_t *, std::uint8_t *) {
  setting("KWP2000 request not sent: the car is on the " + bus_name(bus_) + " bus");
  return fail("KWP2000 request on the OBD bus");
}

int ObdLine::set_link_keep(const std::uint8_t *frame, int length, int a, int b) {
  return no_keep_alive(frame, length,
                       "keep-alive refused on the OBD bus (" + std::to_string(a) + ", " + std::to_string(b) + ")",
                       "no keep-alive on the OBD bus");
}

bool ObdLine::on_bus(ObdBus wanted, const char *service) {
  if (bus_ == wanted && ecu_) return true;
  setting(std::string(service) + " request not sent: the car is on the " + bus_name(bus_) + " bus");
  fail(std::string(service) + " request on the " + bus_name(bus_) + " bus");
  return false;
}

int ObdLine::send_iso(const std::uint8_t *frame, int length, std::uint8_t *answer, int size) {
  return send_on(ObdBus::Iso9141, "ISO", frame, length, answer, size);
}

int ObdLine::send_pwm(const std::uint8_t *frame, int length, std::uint8_t *answer, int size) {
  return send_on(ObdBus::J1850Pwm, "PWM", frame, length, answer, size);
}

int ObdLine::send_on(ObdBus wanted, const char *service, const std::uint8_t *frame, int length, std::uint8_t *answer,
                     int size) {
  catch_up();
  if (!on_bus(wanted, service)) return -1;
  if (!frame || !answer) return fail("null frame or answer buffer");
  if (length < 1 || static_cast<std::size_t>(length) > ecusim::kObdMaxFrame)
    return fail("OBD frame length " + std::to_string(length) + " out of 1..11");
  return exchange(Bytes(frame, frame + length), answer, size);
}

int ObdLine::iso_open(int a, int p, int q) {
  catch_up();
  if (!on_bus(ObdBus::Iso9141, "ISO")) return -1;
  iso_request_.emplace();
  trace_.event(now(), "ISO request opened: " + std::to_string(a) + ' ' + std::to_string(p) + ' ' + std::to_string(q));
  return 0;
}

int ObdLine::iso_add(const std::uint8_t *frame, int length) {
  catch_up();
  if (!on_bus(ObdBus::Iso9141, "ISO")) return -1;
  if (!iso_request_) return fail("no ISO request opened (IsoInitSendDataToEcuGetAnswer)");
  if (!frame || length < 1 || iso_request_->size() + static_cast<std::size_t>(length) > ecusim::kObdMaxFrame) {
    iso_request_.reset();
    trace_.event(now(), "ISO request dropped: more than 11 bytes");
    return fail("ISO request longer than 11 bytes");
  }
  iso_request_->insert(iso_request_->end(), frame, frame + length);
  return 0;
}

int ObdLine::iso_send(int p, int size) {
  catch_up();
  if (!on_bus(ObdBus::Iso9141, "ISO")) return -1;
  if (!iso_request_ || iso_request_->empty()) {
    iso_request_.reset();
    return fail("no ISO request to send");
  }
  const Bytes request = std::move(*iso_request_);
  iso_request_.reset();
  trace_.event(now(), "ISO request sent: " + std::to_string(p) + ' ' + std::to_string(size));
  // The caller passes no answer buffer: the answer is seen in the trace only.
  std::array<std::uint8_t, kAnswerBufferSize> kept{};
  return exchange(request, kept.data(), size);
}

int ObdLine::exchange(const Bytes &f, std::uint8_t *answer, int size) {
  const ObdTiming &t = timing_of(bus_);
  const double bt = t.bits_per_byte * 1000.0 / t.bit_rate;
  if (!ready_to_send(false)) return -1;
  const double start = std::max(now(), line_free_at_);
  const double tx_end = start + static_cast<double>(f.size()) * bt;
  trace_.frame(start, "T>", f);
  last_activity_ = tx_end;

  // Faults are keyed by the mode byte, as K-line faults are by the service identifier.
  const std::uint8_t mode = f.size() > 3 ? f[3] : 0;
  const auto fault = faults_.take(mode);
  const bool valid = ecusim::parse_obd_request(bus_, f).has_value();
  if (f.size() >= 2 && ecusim::obd_check(bus_, f.data(), f.size() - 1) != f.back())
    trace_.event(tx_end, bus_ == ObdBus::J1850Pwm ? "request CRC wrong" : "request checksum wrong");
  std::vector<Bytes> replies;
  if (!fault || fault->kind != FaultKind::NoAnswer) {
    if (fault && fault->kind == FaultKind::Negative) {
      if (valid) replies.push_back(ecu_->negative(mode, fault->nrc));
    } else {
      replies = ecu_->hear(f, tx_end);
    }
  }

  const AnswerTiming timing{t.answer_delay, t.wait, t.late_delay, t.quiet, bt, "answer check byte wrong: discarded"};
  const auto outcome = schedule_answer(tx_end, replies, fault, timing);
  clock_->wait_until(outcome.done_at);
  if (!outcome.ok) return fail("no valid answer");
  const double a_end = outcome.done_at;
  // Byte 0 the frame count, then each frame with its length byte, as far as the buffer goes.
  const std::size_t room = buffer_size(size);
  std::size_t at = 1;
  std::uint8_t count = 0;
  for (const Bytes &r : replies) {
    if (at + 1 + r.size() > room) {
      trace_.event(a_end, "answer frames past the caller's buffer dropped");
      break;
    }
    answer[at] = static_cast<std::uint8_t>(r.size());
    std::memcpy(answer + at + 1, r.data(), r.size());
    at += 1 + r.size();
    ++count;
  }
  answer[0] = count;
  return count > 0 ? count : fail("answer does not fit the caller's buffer");
}

}  // namespace vci
