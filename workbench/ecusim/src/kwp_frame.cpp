// KWP2000 frame helpers: checksum, parsing, framing.
#include "ecusim/kwp_frame.h"

namespace ecusim {

std::uint8_t checksum(const std::uint8_t *bytes, std::size_t count) {
  unsigned sum = 0;
  for (std::size_t i = 0; i < count; ++i) sum += bytes[i];
  return static_cast<std::uint8_t>(sum & 0xFF);
}

std::size_t frame_length(const std::uint8_t *frame, std::size_t available) {
  if (available < 1 || (frame[0] & 0xC0) != 0x80) return 0;  // only physical addressing
  std::size_t n = frame[0] & 0x3F;
  if (n != 0) return n + 4;
  if (available < 4) return 0;
  return static_cast<std::size_t>(frame[3]) + 5;
}

bool parse_frame(const Bytes &frame, Request &out) {
  std::size_t len = frame_length(frame.data(), frame.size());
  if (len == 0 || len != frame.size() || len < 5) return false;
  if (checksum(frame.data(), len - 1) != frame[len - 1]) return false;
  std::size_t header = (frame[0] & 0x3F) != 0 ? 3 : 4;
  if (len - 1 <= header) return false;
  out.target = frame[1];
  out.source = frame[2];
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
  if (form == HeaderForm::Short && !service.empty() && service.size() <= 63) {
    f.insert(f.end(), {static_cast<std::uint8_t>(0x80 | service.size()), target, source});
  } else {
    f.insert(f.end(), {0x80, target, source, static_cast<std::uint8_t>(service.size())});
  }
  f.insert(f.end(), service.begin(), service.end());
  f.push_back(checksum(f.data(), f.size()));
}

Bytes build_frame(std::uint8_t target, std::uint8_t source, const Bytes &service, HeaderForm form) {
  Bytes f;
  f.reserve(service.size() + 5);
  build_frame(target, source, service, form, f);
  return f;
}

}  // namespace ecusim
