// ALDL requests to the GM model: checksum, faults, answer timing.
#include "aldl_front.h"

#include "ecusim/aldl_frame.h"

#include <cstdio>

namespace ecusim::wire {

AldlFront::AldlFront(std::unique_ptr<AldlEcu> ecu, const std::vector<Fault> &faults, double answer_ms, WireLog &log)
    : ecu_(std::move(ecu)), answer_ms_(answer_ms), log_(log) {
  for (const Fault &f : faults) faults_.arm(f);
}

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
  if (fault && fault->kind == FaultKind::BadChecksum) {
    reply.frame.back() = static_cast<std::uint8_t>(reply.frame.back() + 1);
    log_.line(t, "fault bad-checksum: the answer's checksum + 1");
  } else if (fault && fault->kind == FaultKind::Late) {
    reply.delay_ms = kLateAnswerMs;
    log_.line(t, "fault late: the answer starts 70 ms after the request");
  } else if (fault && fault->kind == FaultKind::Short && reply.frame.size() > kShortAnswerBytes + 1) {
    reply.frame = build_aldl(reply.frame[2], Bytes(3, 0x00));
    log_.line(t, "fault short: the answer cut to " + hex_bytes(reply.frame));
  } else if (fault && fault->kind == FaultKind::Endless) {
    reply.endless = true;
    log_.line(t, "fault endless: the answer again and again");
  } else if (fault && fault->kind == FaultKind::Cut) {
    reply.cut_after = reply.frame.size() / 2;
    log_.line(t, "fault cut: the line closes halfway through the answer");
  }
  return reply;
}

}  // namespace ecusim::wire
