// Check bytes, request parsing and answer framing of the generic OBD-II buses.
#include "ecusim/obd_frame.h"

#include <algorithm>

namespace ecusim {

const ObdBusFraming &obd_framing(ObdBus bus) {
  return *std::find_if(kObdBuses.begin(), kObdBuses.end(), [&](const auto &f) { return f.bus == bus; });
}

std::uint8_t j1850_crc(const std::uint8_t *bytes, std::size_t count) {
  std::uint8_t reg = 0xFF;
  for (std::size_t i = 0; i < count; ++i) {
    reg ^= bytes[i];
    for (int bit = 0; bit < 8; ++bit) reg = static_cast<std::uint8_t>(reg & 0x80 ? (reg << 1) ^ 0x1D : reg << 1);
  }
  return static_cast<std::uint8_t>(~reg);
}

std::uint8_t obd_check(ObdBus bus, const std::uint8_t *bytes, std::size_t count) {
  return bus == ObdBus::J1850Pwm ? j1850_crc(bytes, count) : checksum(bytes, count);
}

std::optional<ObdRequest> parse_obd_request(ObdBus bus, const Bytes &frame) {
  if (frame.size() < 5 || frame.size() > kObdMaxFrame) return std::nullopt;
  const auto &header = obd_framing(bus).request_header;
  if (!std::equal(header.begin(), header.end(), frame.begin())) return std::nullopt;
  if (obd_check(bus, frame.data(), frame.size() - 1) != frame.back()) return std::nullopt;
  return ObdRequest{frame[3], Bytes(frame.begin() + 4, frame.end() - 1)};
}

Bytes build_obd_answer(ObdBus bus, const Bytes &message) {
  const auto &header = obd_framing(bus).answer_header;
  Bytes f(header.begin(), header.end());
  f.insert(f.end(), message.begin(), message.end());
  f.push_back(obd_check(bus, f.data(), f.size()));
  return f;
}

}  // namespace ecusim
