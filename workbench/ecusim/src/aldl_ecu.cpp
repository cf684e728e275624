// Dispatch and shared options of an ALDL ECU.
#include "ecusim/aldl_ecu.h"

#include "ecusim/option_text.h"

#include <charconv>

namespace ecusim {

std::optional<Bytes> AldlEcu::hear(const Bytes &frame, double now_ms) {
  const auto request = parse_aldl(frame);
  if (!request) return std::nullopt;
  const auto it = handlers_.find(request->mode);
  if (it == handlers_.end()) return std::nullopt;  // ALDL has no negative answer
  return it->second(request->data, now_ms);
}

bool AldlEcu::set_option(std::string_view key, std::string_view value, std::string &error) {
  value = trim_blanks(value);
  if (key == "engine") {
    auto mode = parse_engine_mode(value, error);
    if (!mode) return false;
    engine_ = *mode;
    return true;
  }
  error = "unknown option \"" + std::string(key.substr(0, 40)) + "\"";
  return false;
}

bool AldlEcu::set_code_option(const CodeOptions &options, Bytes &current, Bytes &stored, std::string_view key,
                              std::string_view value, std::string &error) {
  if (key == "faults") {
    auto b = parse_hex_bytes(value, options.map.bytes);
    if (!b) {
      error = options.faults_error;
      return false;
    }
    current = *b;
    return true;
  }
  if (key == "dtc") {
    auto codes = parse_code_numbers(value);
    auto b = codes ? gm_code_bytes(options.map, *codes) : std::nullopt;
    if (!b) {
      error = options.dtc_error;
      return false;
    }
    stored = *b;
    return true;
  }
  return AldlEcu::set_option(key, value, error);
}

std::optional<std::vector<int>> parse_code_numbers(std::string_view text) {
  std::vector<int> codes;
  text = trim_blanks(text);
  if (text.empty()) return codes;
  while (true) {
    const auto comma = text.find(',');
    const auto part = trim_blanks(text.substr(0, comma));
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
  text = trim_blanks(text);
  while (!text.empty()) {
    const auto space = text.find(' ');
    const auto part = text.substr(0, space);
    unsigned v = 0;
    auto [p, ec] = std::from_chars(part.data(), part.data() + part.size(), v, 16);
    if (part.size() > 2 || ec != std::errc() || p != part.data() + part.size()) return std::nullopt;
    out.push_back(static_cast<std::uint8_t>(v));
    if (space == std::string_view::npos) break;
    text = trim_blanks(text.substr(space + 1));
  }
  if (out.size() != count) return std::nullopt;
  return out;
}

}  // namespace ecusim
