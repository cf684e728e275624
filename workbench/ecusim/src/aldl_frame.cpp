// GM ALDL frame helpers: checksum, parsing, framing.
#include "ecusim/aldl_frame.h"

#include <algorithm>

namespace ecusim {

namespace aldl = frames::aldl;

std::optional<AldlRequest> parse_aldl(const Bytes &frame) {
  if (frame.size() < 4 || frame[0] != kAldlDevice) return std::nullopt;
  if (frame[1] != aldl::length_code(frame.size() - 3)) return std::nullopt;
  if (!aldl::checksum_ok(frame.data(), frame.size())) return std::nullopt;
  return AldlRequest{frame[2], Bytes(frame.begin() + 3, frame.end() - 1)};
}

Bytes build_aldl(std::uint8_t mode, const Bytes &data) {
  Bytes f(data.size() + 3);
  f[0] = kAldlDevice;
  f[1] = aldl::length_code(1 + data.size());
  f[2] = mode;
  std::copy(data.begin(), data.end(), f.begin() + 3);
  f.push_back(aldl::checksum(f.data(), f.size()));
  return f;
}

}  // namespace ecusim
