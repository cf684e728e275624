// Step coding of the session fuzz target. High nibble: the step; low nibble: its
// argument. Menus are answered by position most often, since every screen of a
// session starts from one; `wait` is left out (it would sleep in real time).
#include "session_script.h"

#include <array>

namespace fuzz_session {
namespace {

// Numbers for `enter`: plausible set points, the limits of an int field and just
// past them, zero and negatives.
constexpr std::array<int, 16> kNumbers{850, 0,   -1,    1,     38,   900,        3000,        20,
                                       255, 256, 65535, 65536, -850, 2147483647, -2147483647, 127};

std::string step(std::uint8_t b) {
  const int arg = b & 0x0F;
  switch (b >> 4) {
    case 0x0:
    case 0x1:
    case 0x2:
    case 0xE: return "choose " + std::to_string(arg + 1);
    case 0x3:
    case 0xF: return "back";
    case 0x4: return "tick all";
    case 0x5: return "tick " + std::to_string(arg + 1);
    case 0x6: return "tick none";
    case 0x7: return "stay " + std::to_string(arg % 4 + 1);
    case 0x8: return "leave";
    case 0x9: return "yes";
    case 0xA: return "no";
    case 0xB: return "enter " + std::to_string(kNumbers[static_cast<std::size_t>(arg)]);
    case 0xC: return "press " + std::to_string(arg % 5 + 1);
    default: return "idle " + std::to_string(arg % 3 + 1);  // 0xD
  }
}

}  // namespace

std::string script_text(const std::uint8_t *steps, std::size_t count) {
  std::string text;
  for (std::size_t i = 0; i < count; ++i) text += step(steps[i]) + '\n';
  return text;
}

std::optional<std::uint8_t> step_byte(const std::string &line) {
  for (int b = 0; b < 256; ++b)
    if (step(static_cast<std::uint8_t>(b)) == line) return static_cast<std::uint8_t>(b);
  return std::nullopt;
}

}  // namespace fuzz_session
