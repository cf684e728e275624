// K-line requests to the KWP2000 model: checksum, faults, wake and sleep, answer timing.
#include "kwp_front.h"

#include <algorithm>
#include <cstdio>

namespace ecusim::wire {
namespace {

std::string hex_byte(std::uint8_t b) {
  char s[4];
  std::snprintf(s, sizeof s, "%02X", b);
  return s;
}

}  // namespace

std::string KwpFront::describe() const { return "K line, ECU " + hex_byte(ecu_->address()); }

void KwpFront::hear_wakeup(double now_ms) {
  settle(now_ms);
  ecu_->hear_wakeup_pattern();
}

std::optional<double> KwpFront::sleep_due() const {
  if (!ecu_->awake()) return std::nullopt;
  return ecu_->asleep_at_ms();
}

void KwpFront::settle(double now_ms) {
  if (ecu_->awake() && ecu_->asleep_at_ms() <= now_ms) {
    ecu_->fall_asleep();
    log_.line(now_ms, "asleep (5000 ms without a request)");
  }
}

std::optional<Reply> KwpFront::hear(const Assembled &heard) {
  // The silence that puts the ECU to sleep ended when the request began, not when it ended.
  settle(heard.first_ms);
  const double t = heard.last_ms;
  const Bytes &f = heard.frame;
  log_.line(t, "request " + hex_bytes(f));
  if (!frames::kwp::checksum_ok(f.data(), f.size())) {
    log_.line(t, "checksum wrong: ignored");
    ecu_->hear_noise();
    return std::nullopt;
  }
  const auto request = parse_frame(f);
  if (!request) {
    log_.line(t, "ignored: not a physically addressed request");
    ecu_->hear_noise();
    return std::nullopt;
  }
  const std::uint8_t sid = request->service[0];
  const auto fault = faults_.take(sid);
  const bool was_awake = ecu_->awake();
  std::optional<Bytes> answer;
  if (fault && fault->kind == FaultKind::NoAnswer) {
    log_.line(t, "fault no-answer: the request is heard as noise");
    ecu_->hear_noise();
  } else if (fault && fault->kind == FaultKind::Negative) {
    const Bytes negative{0x7F, sid, 0x22};
    answer = ecu_->hear(*request, t, &negative);
  } else {
    answer = ecu_->hear(*request, t);
  }
  if (!was_awake && ecu_->awake()) log_.line(t, "awake");
  if (was_awake && !ecu_->awake()) log_.line(t, "asleep (communication ended)");
  if (!answer) {
    if (fault && fault->kind == FaultKind::NoAnswer) return std::nullopt;
    if (request->target != ecu_->address())
      log_.line(t, "no answer (addressed to " + hex_byte(request->target) + ")");
    else
      log_.line(t, was_awake || ecu_->awake() ? "no answer" : "no answer (ECU sleeping)");
    return std::nullopt;
  }
  Reply reply{std::move(*answer), answer_ms_, std::nullopt, 0};
  if (!fault) return reply;
  return spoil(std::move(reply), *fault, *request, t);
}

Reply KwpFront::spoil(Reply reply, const Fault &fault, const Request &request, double t) {
  if (spoil_alike(reply, fault.kind, log_, t)) return reply;
  const std::uint8_t sid = request.service[0];
  switch (fault.kind) {
    case FaultKind::Negative: log_.line(t, "fault negative: 7F " + hex_byte(sid) + " 22 instead of the answer"); break;
    case FaultKind::Pending:
      reply.later = std::move(reply.frame);
      reply.later_ms = kPendingMs;
      reply.frame = build_frame(request.source, ecu_->address(), Bytes{0x7F, sid, 0x78}, HeaderForm::Short);
      log_.line(t, "fault pending: 7F " + hex_byte(sid) + " 78 first, the answer 1000 ms later");
      break;
    case FaultKind::Wrong:
      reply.frame = build_frame(request.source, ecu_->address(), Bytes{0x7E}, HeaderForm::Short);
      log_.line(t, "fault wrong: 7E instead of the answer");
      break;
    case FaultKind::Short: {
      auto answer = parse_frame(reply.frame);
      if (!answer) break;
      Bytes service(kShortAnswerBytes - 2, 0x00);
      service.insert(service.begin(), answer->service.begin(),
                     answer->service.begin() + static_cast<long>(std::min<std::size_t>(2, answer->service.size())));
      reply.frame = build_frame(request.source, ecu_->address(), service, HeaderForm::Short);
      log_.line(t, "fault short: the answer cut to " + hex_bytes(service));
      break;
    }
    default: break;  // no-answer is handled before the model heard the request
  }
  return reply;
}

}  // namespace ecusim::wire
