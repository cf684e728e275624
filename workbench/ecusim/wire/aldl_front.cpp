// ALDL requests to the GM model: checksum, faults, answer timing.
#include "aldl_front.h"

#include "ecusim/aldl_frame.h"

#include <cstdio>

namespace ecusim::wire {

std::optional<Reply> AldlFront::hear(const Assembled &heard) {
  const double t = heard.last_ms;
  const Bytes &f = heard.frame;
  log_.line(t, "request " + hex_bytes(f));
  if (!frames::aldl::checksum_ok(f.data(), f.size())) {
    log_.line(t, "checksum wrong: ignored");
    return std::nullopt;
  }
  if (f[0] != kAldlDevice) {
    log_.line(t, "ignored: not addressed to F4");
    return std::nullopt;
  }
  const auto fault = faults_.take(f[2]);  // keyed by the mode byte
  if (fault && (fault->kind == FaultKind::NoAnswer || fault->kind == FaultKind::Negative)) {
    log_.line(t, "fault " + std::string(fault_name(fault->kind)) + ": the request is lost");
    return std::nullopt;
  }
  auto answer = ecu_->hear(f, t);
  if (!answer) {
    char s[48];
    std::snprintf(s, sizeof s, "no answer (mode %02X not served)", f[2]);
    log_.line(t, s);
    return std::nullopt;
  }
  Reply reply{std::move(*answer), answer_ms_, std::nullopt, 0};
  if (!fault || spoil_alike(reply, fault->kind, log_, t)) return reply;
  if (fault->kind == FaultKind::Short && reply.frame.size() > kShortAnswerBytes + 1) {
    reply.frame = build_aldl(reply.frame[2], Bytes(3, 0x00));
    log_.line(t, "fault short: the answer cut to " + hex_bytes(reply.frame));
  }
  return reply;
}

}  // namespace ecusim::wire
