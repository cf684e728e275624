// Turns the number the user entered into the value byte of a value test.
// Every conversion is defined for any int: products run in 64 bits, and only
// the low 8 bits of the result reach the frame.
#include <cstdint>

#include "tests/act_catalogue.h"

namespace vaz::act {

namespace {

u8 low8(std::int64_t v) { return static_cast<u8>(static_cast<std::uint64_t>(v) & 0xFFu); }

// n as float, then double, / 255 * 100, truncated into an unsigned 32-bit value.
u8 percent_of_255(int n) {
  const double v = static_cast<double>(static_cast<float>(n)) / 255.0 * 100.0;
  if (!(v > 0.0)) return 0;
  return low8(static_cast<std::int64_t>(static_cast<std::uint32_t>(v)));
}

}  // namespace

u8 convert(Conversion c, int n) {
  const std::int64_t v = n;
  switch (c) {
    case Conversion::None:
    case Conversion::Same:
      return low8(v);
    case Conversion::Div10:
      return low8(v / 10);
    case Conversion::Div255:
      return low8(v / 255);
    case Conversion::Percent255:
      return percent_of_255(n);
    case Conversion::Div12_5:
      // |n| / 12.5 always fits a 64-bit integer.
      return low8(static_cast<std::int64_t>(static_cast<double>(n) / 12.5));
    case Conversion::Div25:
      return low8(v / 25);
    case Conversion::Times10:
      return low8(v * 10);
    case Conversion::Angle:
      return low8((66 - v) * 256 / 90);
  }
  return low8(v);
}

}  // namespace vaz::act
