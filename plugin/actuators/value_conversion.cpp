// Turns the number the user entered into the value byte of a value test.
// The byte goes to an actuator as it is, so a number whose converted value the
// byte cannot carry is refused instead of being cut to its low 8 bits (2560 rpm
// would otherwise become 00 and stop the engine). Products run in 64 bits, so
// every int converts without overflow.
#include <cstdint>

#include "actuators/act_catalogue.h"
#include "actuators/act_host.h"

namespace vaz::act {

namespace {

// An unsigned quantity: the entry itself must not be negative (rounding toward
// zero must not turn -5 into a valid 0), and the result must fit the byte.
std::optional<u8> unsigned_byte(int n, std::int64_t v) {
  if (n < 0 || v < 0 || v > 0xFF) return std::nullopt;
  return static_cast<u8>(v);
}

// n as float, then double, / 255 * 100, truncated toward zero.
std::optional<u8> percent_of_255(int n) {
  if (n < 0) return std::nullopt;
  const double v = static_cast<double>(static_cast<float>(n)) / 255.0 * 100.0;
  if (v >= 256.0) return std::nullopt;
  return static_cast<u8>(static_cast<std::uint32_t>(v));
}

// The GM angle byte is signed on purpose: 70 gives -11, sent as F5. It also
// takes the positive bytes up to FF that the ECU's table starts from (10 gives
// 159, sent as 9F), so the byte carries -128..255.
std::optional<u8> angle_byte(std::int64_t v) {
  if (v < -128 || v > 0xFF) return std::nullopt;
  return static_cast<u8>(static_cast<std::uint64_t>(v) & 0xFFu);
}

// The GM blend byte carries n * 10 in its low 8 bits on purpose, as the ECU reads it
// (30 gives 300, sent as 2C); the entry itself must be a byte-sized quantity.
std::optional<u8> blend_byte(int n) {
  if (n < 0 || n > 0xFF) return std::nullopt;
  return static_cast<u8>((n * 10) & 0xFF);
}

}  // namespace

std::optional<u8> convert(Conversion c, int n) {
  // A cancelled box is no entry, whatever a conversion would make of it.
  if (n == kInputCancelled) return std::nullopt;
  const std::int64_t v = n;
  switch (c) {
    case Conversion::None:
    case Conversion::Same: return unsigned_byte(n, v);
    case Conversion::Div10: return unsigned_byte(n, v / 10);
    case Conversion::Div255: return unsigned_byte(n, v / 255);
    case Conversion::Percent255: return percent_of_255(n);
    case Conversion::Div12_5: return unsigned_byte(n, static_cast<std::int64_t>(static_cast<double>(n) / 12.5));
    case Conversion::Div25: return unsigned_byte(n, v / 25);
    case Conversion::Times10: return blend_byte(n);
    case Conversion::Angle: return angle_byte((66 - v) * 256 / 90);
  }
  return std::nullopt;
}

// The bounds follow from the conversions above; the texts state them to the
// user when an entry falls outside.
Range range_of(Conversion c) {
  switch (c) {
    case Conversion::None:
    case Conversion::Same: return {0, 255, 0xFE551050};
    case Conversion::Div10: return {0, 2559, 0xFE551051};
    case Conversion::Div255: return {0, 65279, 0xFE551052};
    case Conversion::Percent255: return {0, 652, 0xFE551053};
    case Conversion::Div12_5: return {0, 3199, 0xFE551054};
    case Conversion::Div25: return {0, 6399, 0xFE551055};
    case Conversion::Times10: return {0, 255, 0xFE551050};
    case Conversion::Angle: return {-23, 111, 0xFE551056};
  }
  return {0, 255, kOutOfRangeText};
}

}  // namespace vaz::act
