// KWP2000 frame helpers: checksum, parsing, framing.
#include "ecusim/kwp_frame.h"

namespace ecusim {

namespace kwp = frames::kwp;

std::size_t frame_length(const std::uint8_t *frame, std::size_t available) {
  // Only physical addressing.
  if (available < 1 || kwp::addressing(frame[0]) != kwp::Addressing::Physical) return 0;
  const kwp::Header h = kwp::header(frame, available);
  return h.complete ? h.frame_size() : 0;
}

bool parse_frame(const Bytes &frame, Request &out) {
  std::size_t len = frame_length(frame.data(), frame.size());
  if (len == 0 || len != frame.size() || len < 5) return false;
  if (!kwp::checksum_ok(frame.data(), len)) return false;
  const std::size_t header = kwp::header(frame.data(), len).size;
  if (len - 1 <= header) return false;
  out.target = frame[kwp::kTargetAt];
  out.source = frame[kwp::kSourceAt];
  out.service.assign(frame.begin() + static_cast<std::ptrdiff_t>(header), frame.end() - 1);
  return true;
}

std::optional<Request> parse_frame(const Bytes &frame) {
  Request r;
  if (!parse_frame(frame, r)) return std::nullopt;
  return r;
}

void build_frame(std::uint8_t target, std::uint8_t source, const Bytes &service, HeaderForm form, Bytes &f) {
  f.clear();
  kwp::append_frame(f, kwp::kPhysical, target, source, service.data(), service.size(), form);
}

Bytes build_frame(std::uint8_t target, std::uint8_t source, const Bytes &service, HeaderForm form) {
  Bytes f;
  f.reserve(service.size() + 5);
  build_frame(target, source, service, form, f);
  return f;
}

}  // namespace ecusim
