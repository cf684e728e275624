// GM ALDL frame helpers: checksum, parsing, framing.
#include "ecusim/aldl_frame.h"

#include <algorithm>

namespace ecusim {

std::uint8_t aldl_checksum(const std::uint8_t *bytes, std::size_t count) {
  return static_cast<std::uint8_t>(0x100 - checksum(bytes, count));
}

std::optional<AldlRequest> parse_aldl(const Bytes &frame) {
  if (frame.size() < 4 || frame[0] != kAldlDevice) return std::nullopt;
  if (frame[1] != static_cast<std::uint8_t>(kAldlLengthBase + frame.size() - 3)) return std::nullopt;
  if (checksum(frame.data(), frame.size()) != 0) return std::nullopt;
  return AldlRequest{frame[2], Bytes(frame.begin() + 3, frame.end() - 1)};
}

Bytes build_aldl(std::uint8_t mode, const Bytes &data) {
  Bytes f(data.size() + 3);
  f[0] = kAldlDevice;
  f[1] = static_cast<std::uint8_t>(kAldlLengthBase + 1 + data.size());
  f[2] = mode;
  std::copy(data.begin(), data.end(), f.begin() + 3);
  f.push_back(aldl_checksum(f.data(), f.size()));
  return f;
}

}  // namespace ecusim
