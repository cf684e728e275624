// Pieces of the car options every model takes: values arrive as the user typed them, blanks
// included, and "engine" means the same on every line.
#pragma once

#include "ecusim/engine_model.h"

#include <cctype>
#include <optional>
#include <string>
#include <string_view>

namespace ecusim {

inline std::string_view trim_blanks(std::string_view s) {
  while (!s.empty() && std::isspace(static_cast<unsigned char>(s.front()))) s.remove_prefix(1);
  while (!s.empty() && std::isspace(static_cast<unsigned char>(s.back()))) s.remove_suffix(1);
  return s;
}

inline std::optional<EngineMode> parse_engine_mode(std::string_view value, std::string &error) {
  value = trim_blanks(value);
  if (value == "running") return EngineMode::Running;
  if (value == "idle-fixed") return EngineMode::IdleFixed;
  error = "engine: \"running\" or \"idle-fixed\"";
  return std::nullopt;
}

}  // namespace ecusim
