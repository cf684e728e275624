// Requests on a real cable: every byte sent with its echo checked, the answer read and cut
// into frames by the assembler, only the answer to the request taken, the quiet the line
// needs before the next request, and the repeats a reading request is allowed.
#include "serial_line.h"

#include "kwp_services.h"
#include "line_timing.h"
#include "repeat_policy.h"

#include <algorithm>
#include <cstdio>
#include <cstring>

namespace vci {
namespace {

namespace kwp = frames::kwp;

std::size_t service_at(const WireBytes &f) { return kwp::header_size(f[0]); }

bool response_pending(const WireBytes &f, std::uint8_t service) {
  const std::size_t s = service_at(f);
  return f.size() > s + 3 && f[s] == kwp::kNegativeResponse && f[s + 1] == service && f[s + 2] == kwp::kResponsePending;
}

// The request's positive answer (service + 0x40) or a negative answer to it (7F service).
bool answers(const WireBytes &f, std::uint8_t service) {
  const std::size_t s = service_at(f);
  if (f.size() <= s + 1) return false;
  return f[s] == static_cast<std::uint8_t>(service + kwp::kPositiveOffset) ||
         (f[s] == kwp::kNegativeResponse && f.size() > s + 2 && f[s + 1] == service);
}

}  // namespace

void SerialLine::trace_notes(WireAssembler &as) {
  for (const WireNote &n : as.take_notes()) trace_.event(n.t_ms, n.text);
}

int SerialLine::fail_transmit() {
  if (transmit_failure_.tell_user) return fail_noted(transmit_failure_.why);
  return fail(transmit_failure_.why.empty() ? last_error() : transmit_failure_.why);
}

WireBudget SerialLine::budget() const { return wire_budget(baud_, port_ ? port_->delivery_allowance() : 0.0); }

bool SerialLine::transmit(const WireBytes &frame, WireAssembler &as, Origin origin) {
  const double bt = byte_ms(baud_);
  const double allowance = budget().delivery;
  std::string error;
  double next = now();
  double last_echo_gap = 0;
  // A keep-alive that fails is only traced: the caller's next request tells its own story.
  const auto failed = [&](const std::string &why, bool tell_user) {
    if (origin == Origin::Caller) transmit_failure_ = {why, tell_user};
    return false;
  };
  transmit_failure_ = {};
  trace_.frame(next, "T>", frame);
  for (std::uint8_t b : frame) {
    sleep_until(next);
    const double sent_at = now();
    if (!port_->write(&b, 1, error)) {
      port_lost(error);
      return failed(error, false);
    }
    if (!settings_.echo) {
      next = sent_at + bt + byte_gap_ms_;
      continue;
    }
    as.expect_echo(&b, 1);
    const double deadline = sent_at + bt + kEchoWait + allowance;
    std::uint8_t buf[64];
    while (as.echo_pending() != 0 && !as.echo_mismatch()) {
      std::size_t got = 0;
      // Past the deadline one more look without waiting: this process may have been held
      // up itself while the echo was already there.
      const auto r = port_->read(buf, sizeof buf, got, deadline - now(), error);
      if (r == SerialPort::Read::Lost) {
        port_lost(error);
        return failed(error, false);
      }
      if (r == SerialPort::Read::Data) {
        as.feed(buf, got, now());
        continue;
      }
      if (now() < deadline) continue;
      trace_.event(now(), "no echo of byte " + WireTrace::hex({b}));
      return failed(echo_seen_ ? "the line gave no echo of a request byte: bus fault (K line shorted or open?)"
                               : "the interface does not echo: with a cable that removes the echo itself, set the "
                                 "port option echo=off",
                    true);
    }
    trace_notes(as);
    if (as.echo_mismatch())
      return failed("the line gave back other bytes than were sent: bus error (another tester or noise on the K line?)",
                    true);
    echo_seen_ = true;
    last_echo_gap = now() - sent_at;
    next = std::max(now(), sent_at + bt) + byte_gap_ms_;
  }
  if (settings_.echo)
    trace_.event(now(), "echo " + WireTrace::hex(frame) + fmt(" (last after %.1f ms)", last_echo_gap));
  last_activity_ = std::max(now(), next - byte_gap_ms_);
  return true;
}

SerialLine::Exchange SerialLine::receive(WireAssembler &as, double from, double wait, WireProtocol protocol,
                                         const Expect &expect) {
  const WireBudget b = budget();
  Exchange ex;
  ex.wait_ms = wait;
  double deadline = from + b.answer_wait(wait);
  // A frame begun before the deadline may finish after it, but never one begun later, and
  // nothing goes on longer than the longest frame past the deadline, each of its bytes as
  // late as P1max allows: a line that never stops talking cannot hold the request.
  const auto hard_stop = [&] {
    return deadline + static_cast<double>(kMaxKwpFrame) * (b.byte_ms + kP1Max) + b.frame_end();
  };
  int pending = 0;
  std::size_t layout = 1;  // the answer layout's bytes so far: count byte, then length + frame each
  bool cut = false, spoilt = false;
  std::uint8_t buf[128];
  std::string error;
  bool late_look = false;      // the one read allowed past the deadline
  double begun_by = deadline;  // a frame begun later is not waited for (bytes of the late look count as earlier)
  while (true) {
    const double t = now();
    const bool receiving = as.receiving() && as.partial_start_ms() <= std::max(deadline, begun_by) && t < hard_stop();
    const bool looking_late = !receiving && t >= deadline;
    if (looking_late) {
      if (late_look) break;
      late_look = true;
    }
    const double until = receiving ? as.last_byte_ms() + b.frame_end() : deadline;
    std::size_t got = 0;
    // A read is tried even past the deadline: what arrived while this process was held up
    // counts, and its time is when it is read.
    auto r = port_->read(buf, sizeof buf, got, until - t, error);
    double seen = now();
    if (r == SerialPort::Read::Timeout) {
      // The silence is judged as of before one more look: bytes that came while this process
      // was held up between the time-out and now are no silence.
      r = port_->read(buf, sizeof buf, got, 0, error);
      if (r == SerialPort::Read::Timeout) {
        const std::size_t before = as.cut_frames();
        as.idle(seen);
        cut = cut || as.cut_frames() != before;
      }
      seen = now();
    }
    if (r == SerialPort::Read::Lost) {
      port_lost(error);
      ex.ending = Ending::PortLost;
      return ex;
    }
    if (r == SerialPort::Read::Data) {
      as.feed(buf, got, seen);
      if (looking_late) begun_by = std::max(begun_by, seen);
    }
    trace_notes(as);
    while (auto f = as.next_frame()) {
      trace_.frame(f->start_ms, "E<", f->bytes);
      last_activity_ = f->end_ms;
      if (!f->checksum_ok) {
        trace_.event(f->end_ms, "answer checksum wrong: discarded");
        spoilt = true;
        continue;
      }
      if (protocol == WireProtocol::Kwp && expect.service) {
        const std::uint8_t sid = *expect.service;
        if (response_pending(f->bytes, sid)) {
          if (++pending > kMaxPendingAnswers) {
            trace_.event(f->end_ms, fmt("response pending %.0f times: the ECU keeps the line busy", pending));
            ex.ending = Ending::Chatter;
            return ex;
          }
          trace_.event(f->end_ms, "response pending: waiting up to 5000 ms");
          deadline = f->end_ms + b.answer_wait(kPendingWait);
          ex.wait_ms = kPendingWait;
          late_look = false;
          continue;
        }
        if (!answers(f->bytes, sid)) {
          char note[48];
          std::snprintf(note, sizeof note, "not an answer to service %02X: dropped", sid);
          trace_.event(f->end_ms, note);
          continue;
        }
      }
      layout += 1 + f->bytes.size();
      if (layout > kAnswerBufferSize) {
        trace_.event(f->end_ms,
                     fmt("more answer frames than the %.0f-byte answer holds", static_cast<double>(kAnswerBufferSize)));
        ex.ending = Ending::Chatter;
        return ex;
      }
      ex.frames.push_back(std::move(f->bytes));
      ex.ending = Ending::Answer;
      if (!expect.several_frames) return ex;  // the answer is complete: hand it back at once
      // Another frame may follow within P2max; the layout's room bounds how many.
      deadline = f->end_ms + b.answer_wait();
      ex.wait_ms = kP2Max;
      late_look = false;
    }
  }
  last_activity_ = std::max(last_activity_, as.last_byte_ms());
  if (ex.frames.empty()) ex.ending = cut ? Ending::Cut : spoilt ? Ending::Spoilt : Ending::NoAnswer;
  return ex;
}

SerialLine::Exchange SerialLine::kwp_exchange(const WireBytes &frame, Origin origin, const std::string &mark) {
  sleep_until(line_free_at_);
  // Bytes waiting now came after the last answer was given up (a late answer, noise): P3
  // counts from the last byte on the line, so wait until it has been quiet that long.
  if (const std::size_t stray = port_->discard_input()) {
    trace_.event(now(), std::to_string(stray) + " stray byte(s) dropped before the request");
    if (!wait_quiet(kP3Min, kSerialQuietLimit, now())) {
      Exchange ex;
      ex.ending = port_ ? Ending::Chatter : Ending::PortLost;
      return ex;
    }
  }
  if (!mark.empty()) trace_.event(now(), mark);
  WireAssembler as(WireProtocol::Kwp, budget().frame_end());
  const std::size_t s = service_at(frame);
  Expect expect;
  if (frame.size() > s + 1) expect = {frame[s], kwp_service_rule(frame[s]).several_frames};
  if ((frame[0] & kwp::kPhysical) != 0) as.answers_to(frame[kwp::kSourceAt]);  // the request's source is the tester
  if (!transmit(frame, as, origin)) {
    if (port_) line_free_at_ = now() + kP3Min + kAfterCutRequest;
    Exchange ex;
    ex.ending = port_ ? Ending::EchoFault : Ending::PortLost;
    return ex;
  }
  const double tx_end = last_activity_;
  Exchange ex = receive(as, tx_end, kP2Max, WireProtocol::Kwp, expect);
  if (!port_) return ex;
  line_free_at_ = std::max(last_activity_, tx_end) + kP3Min;
  if (ex.frames.empty() && ex.ending != Ending::Chatter) {
    trace_.event(now(), no_answer_note(ex.wait_ms));
    // An answer may still be on its way (late past P2max): the next request keeps P3 from
    // the moment this one was given up, so that whatever comes meanwhile is seen as stray.
    line_free_at_ = std::max(line_free_at_, now() + kP3Min);
  }
  return ex;
}

SerialLine::Exchange SerialLine::kwp_request(const WireBytes &frame) {
  const std::uint8_t sid = frame.size() > service_at(frame) ? frame[service_at(frame)] : 0;
  Repeats repeats(kRepeats, kwp_repeatable(sid));
  if (sid == 0x81) start_request_ = frame;
  transmit_failure_ = {};
  Exchange ex = kwp_exchange(frame, Origin::Caller);
  while (ex.worth_repeating() && repeats.another())
    ex = kwp_exchange(frame, Origin::Caller, repeats.mark(repeat_reason(ex.ending)));
  // An ECU that stopped answering may have fallen asleep: wake it once more and ask again.
  if (repeats.repeatable() && ex.worth_repeating() && sid != 0x81 && start_request_ && wake_low_ms_ > 0) {
    trace_.event(now(), "repeats failed: the ECU is woken again");
    if (wake(wake_low_ms_, wake_high_ms_) == 0) {
      const Exchange started = kwp_exchange(*start_request_, Origin::Caller);
      if (started.ok() && started.frames.front()[service_at(started.frames.front())] == 0xC1)
        ex = kwp_exchange(frame, Origin::Caller, "request sent again after the new wake-up");
    }
  }
  return ex;
}

const char *SerialLine::repeat_reason(Ending ending) {
  switch (ending) {
    case Ending::Cut: return "answer cut short";
    case Ending::Spoilt: return "answer checksum wrong";
    case Ending::EchoFault: return "echo missing or wrong";
    default: return "no answer";
  }
}

bool SerialLine::wait_quiet(double quiet_ms, double limit_ms, double since) {
  const double start = now();
  double last = std::min(since, start);
  std::size_t dropped = 0;
  std::uint8_t buf[64];
  std::string error;
  // Whatever is waiting already arrived after the last byte accounted for.
  bool first = true;
  while (first || now() - last < quiet_ms) {
    if (now() - start > limit_ms) {
      trace_.event(now(), std::to_string(dropped) + " chatter byte(s): the line never went quiet");
      return false;
    }
    std::size_t got = 0;
    const auto r = port_->read(buf, sizeof buf, got, first ? 0.0 : last + quiet_ms - now(), error);
    first = false;
    if (r == SerialPort::Read::Lost) {
      port_lost(error);
      return false;
    }
    if (r == SerialPort::Read::Data) {
      dropped += got;
      last = now();
    }
  }
  if (dropped != 0) trace_.event(now(), std::to_string(dropped) + " chatter byte(s) before the request");
  last_activity_ = std::max(last_activity_, last);
  return true;
}

}  // namespace vci
