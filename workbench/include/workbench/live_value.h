// The one reading of a live-data item: its shown name split into name and unit, and its
// value text read as a number. The display host applies it once per item and hands the
// parts on (screen, CSV, screen observer); the history reads older files by it too.
#pragma once

#include <cerrno>
#include <cmath>
#include <cstdlib>
#include <optional>
#include <string>
#include <string_view>

namespace workbench {

struct NameUnit {
  std::string name;
  std::string unit;  // "" when the name carries none
};

// "Coolant temperature, °C" -> {"Coolant temperature", "°C"}. The unit is what follows the
// last ", " outside parentheses, and only when it is one word: "Operating mode (1 warm-up,
// 2 idle)" and "Misfires, cylinder 1" are whole names, so that repeated names in one list
// stay apart.
inline NameUnit split_unit(std::string_view shown) {
  std::size_t comma = std::string_view::npos;
  int depth = 0;
  for (std::size_t i = 0; i + 1 < shown.size(); ++i) {
    if (shown[i] == '(')
      ++depth;
    else if (shown[i] == ')' && depth > 0)
      --depth;
    else if (depth == 0 && shown[i] == ',' && shown[i + 1] == ' ')
      comma = i;
  }
  if (comma == std::string_view::npos || comma == 0 || comma + 2 >= shown.size()) return {std::string(shown), ""};
  const std::string_view unit = shown.substr(comma + 2);
  if (unit.find(' ') != std::string_view::npos) return {std::string(shown), ""};
  return {std::string(shown.substr(0, comma)), std::string(unit)};
}

// The value text without the blanks the plug-in pads it with.
inline std::string_view trimmed_value(std::string_view value) {
  const auto b = value.find_first_not_of(" \t");
  if (b == std::string_view::npos) return {};
  return value.substr(b, value.find_last_not_of(" \t") + 1 - b);
}

// The number in a value text ("90", " -2.5", "13.9"), nothing for texts such as "ON", "--",
// a hex word ("7e81") or "0261204259" (a leading zero makes a part number, not a value).
inline std::optional<double> number_of(std::string_view value) {
  const std::string_view t = trimmed_value(value);
  // Plain decimal numbers only: strtod would also take "inf", "0x1A" or "1e5".
  const std::size_t i = !t.empty() && (t[0] == '-' || t[0] == '+') ? 1 : 0;
  if (i >= t.size() || t.find_first_not_of("0123456789.", i) != std::string_view::npos) return std::nullopt;
  if (t[i] == '0' && i + 1 < t.size() && t[i + 1] != '.') return std::nullopt;
  // Read from a copy on the stack: a live-data pass costs no heap.
  char text[64];
  if (t.size() >= sizeof text) return std::nullopt;
  t.copy(text, t.size());
  text[t.size()] = '\0';
  errno = 0;
  char *end = nullptr;
  const double v = std::strtod(text, &end);
  if (end == text || errno == ERANGE || !std::isfinite(v) || *end != '\0') return std::nullopt;
  return v;
}

}  // namespace workbench
