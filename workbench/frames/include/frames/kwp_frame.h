// KWP2000 (ISO 14230) frames as bytes. A frame is a format byte, the target and source
// addresses when its two address bits say so, a length byte when its six length bits are 0,
// the service bytes and a checksum (the sum of the bytes before it, modulo 256). Every part
// of the workbench that cuts, reads or builds a frame takes the layout from here.
#pragma once

#include "frames/byte_sum.h"

#include <cstddef>
#include <cstdint>
#include <string_view>
#include <vector>

namespace frames::kwp {

inline constexpr std::uint8_t kAddressBits = 0xC0;
inline constexpr std::uint8_t kLengthBits = 0x3F;
inline constexpr std::uint8_t kPhysical = 0x80;  // address bits of a physically addressed frame
inline constexpr std::size_t kMaxShortData = kLengthBits;
// Format byte, addresses, length byte, 255 service bytes, checksum.
inline constexpr std::size_t kMaxFrame = 260;
inline constexpr std::uint8_t kTesterAddress = 0xF1;

// The address bits: none, CARB (the OBD-II header form, not KWP2000), physical, functional.
enum class Addressing : std::uint8_t { None = 0, Carb = 1, Physical = 2, Functional = 3 };

constexpr Addressing addressing(std::uint8_t format) { return static_cast<Addressing>(format >> 6); }
constexpr bool has_addresses(std::uint8_t format) { return (format & kAddressBits) != 0; }
// The length in the format byte (short form); false: a length byte follows the header.
constexpr bool short_form(std::uint8_t format) { return (format & kLengthBits) != 0; }
// Where target and source stand in an addressed frame.
inline constexpr std::size_t kTargetAt = 1;
inline constexpr std::size_t kSourceAt = 2;

// The header of a frame as far as its first bytes tell it.
struct Header {
  bool complete = false;  // false while the length byte has not arrived
  std::size_t size = 0;   // format byte, addresses and length byte: where the service begins
  std::size_t data = 0;   // service bytes
  constexpr std::size_t frame_size() const { return size + data + 1; }
};

// Where the service bytes begin, told by the format byte alone: after the format byte, the
// two addresses when it announces them, and the length byte when its length bits are 0.
constexpr std::size_t header_size(std::uint8_t format) {
  std::size_t n = has_addresses(format) ? 3 : 1;
  if (!short_form(format)) ++n;
  return n;
}

// The one reading of a KWP2000 header.
constexpr Header header(const std::uint8_t *bytes, std::size_t available) {
  Header h;
  if (available == 0) return h;
  h.size = header_size(bytes[0]);
  h.data = bytes[0] & kLengthBits;
  if (h.data == 0) {
    if (available < h.size) return h;
    h.data = bytes[h.size - 1];
  }
  h.complete = true;
  return h;
}

constexpr std::uint8_t checksum(const std::uint8_t *bytes, std::size_t count) { return byte_sum(bytes, count); }

// The last byte is the checksum of those before it.
constexpr bool checksum_ok(const std::uint8_t *bytes, std::size_t count) {
  return count > 0 && checksum(bytes, count - 1) == bytes[count - 1];
}

// The service identifier of a frame, -1 when its header leaves no byte for one.
constexpr int service_of(const std::uint8_t *bytes, std::size_t count) {
  const Header h = header(bytes, count);
  return h.complete && h.size < count ? bytes[h.size] : -1;
}

enum class HeaderForm { Short, Long };

// Appends a frame with addresses: the short form (length in the format byte) when asked for
// and the service bytes fit its six length bits, otherwise the long form with a length byte.
void append_frame(std::vector<std::uint8_t> &out, std::uint8_t address_bits, std::uint8_t target, std::uint8_t source,
                  const std::uint8_t *service, std::size_t count, HeaderForm form);

// Service identifiers the workbench itself acts on.
inline constexpr std::uint8_t kClearDiagnosticInformation = 0x14;
inline constexpr std::uint8_t kTesterPresent = 0x3E;
inline constexpr std::uint8_t kNegativeResponse = 0x7F;
inline constexpr std::uint8_t kPositiveOffset = 0x40;  // an answer's identifier is the request's plus this
inline constexpr std::uint8_t kResponsePending = 0x78;

// Name of a service identifier (a request's), "" when unknown.
std::string_view service_name(std::uint8_t sid);
// Name of a negative response code, "" when unknown.
std::string_view negative_code_name(std::uint8_t nrc);

}  // namespace frames::kwp
