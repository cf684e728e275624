// Dispatch and shared options of an ALDL ECU.
#include "ecusim/aldl_ecu.h"

#include <cctype>
#include <charconv>

namespace ecusim {
namespace {

std::string_view trim(std::string_view s) {
  while (!s.empty() && std::isspace(static_cast<unsigned char>(s.front()))) s.remove_prefix(1);
  while (!s.empty() && std::isspace(static_cast<unsigned char>(s.back()))) s.remove_suffix(1);
  return s;
}

}  // namespace

std::optional<Bytes> AldlEcu::hear(const Bytes &frame, double now_ms) {
  const auto request = parse_aldl(frame);
  if (!request) return std::nullopt;
  const auto it = handlers_.find(request->mode);
  if (it == handlers_.end()) return std::nullopt;  // ALDL has no negative answer
  return it->second(request->data, now_ms);
}

bool AldlEcu::set_option(std::string_view key, std::string_view value, std::string &error) {
  value = trim(value);
  if (key == "engine") {
    if (value == "running" || value == "idle-fixed") {
      engine_ = value == "running" ? EngineMode::Running : EngineMode::IdleFixed;
      return true;
    }
    error = "engine: \"running\" or \"idle-fixed\"";
    return false;
  }
  error = "unknown option \"" + std::string(key) + "\"";
  return false;
}

std::optional<std::vector<int>> parse_code_numbers(std::string_view text) {
  std::vector<int> codes;
  text = trim(text);
  if (text.empty()) return codes;
  while (true) {
    const auto comma = text.find(',');
    const auto part = trim(text.substr(0, comma));
    int v = 0;
    auto [p, ec] = std::from_chars(part.data(), part.data() + part.size(), v, 10);
    if (part.empty() || ec != std::errc() || p != part.data() + part.size()) return std::nullopt;
    codes.push_back(v);
    if (comma == std::string_view::npos) return codes;
    text.remove_prefix(comma + 1);
  }
}

std::optional<Bytes> parse_hex_bytes(std::string_view text, std::size_t count) {
  Bytes out;
  text = trim(text);
  while (!text.empty()) {
    const auto space = text.find(' ');
    const auto part = text.substr(0, space);
    unsigned v = 0;
    auto [p, ec] = std::from_chars(part.data(), part.data() + part.size(), v, 16);
    if (part.size() > 2 || ec != std::errc() || p != part.data() + part.size()) return std::nullopt;
    out.push_back(static_cast<std::uint8_t>(v));
    if (space == std::string_view::npos) break;
    text = trim(text.substr(space + 1));
  }
  if (out.size() != count) return std::nullopt;
  return out;
}

}  // namespace ecusim
