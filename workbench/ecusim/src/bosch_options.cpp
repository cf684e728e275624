// Car option parsing shared by the Bosch models.
#include "ecusim/bosch_options.h"

#include <charconv>

namespace ecusim {
namespace {

std::optional<unsigned> hex_number(std::string_view s, std::size_t max_digits) {
  unsigned v = 0;
  if (s.empty() || s.size() > max_digits) return std::nullopt;
  auto [p, ec] = std::from_chars(s.data(), s.data() + s.size(), v, 16);
  if (ec != std::errc() || p != s.data() + s.size()) return std::nullopt;
  return v;
}

}  // namespace

std::optional<std::vector<std::uint16_t>> parse_code_list(std::string_view value, std::string &error) {
  std::vector<std::uint16_t> codes;
  value = trim_blanks(value);
  while (!value.empty()) {
    const auto comma = value.find(',');
    const std::string_view part = trim_blanks(value.substr(0, comma));
    const auto v = part.size() == 4 ? hex_number(part, 4) : std::nullopt;
    if (!v) {
      error = "dtc: four hex digits per code, comma-separated, e.g. \"0102,0325\"";
      return std::nullopt;
    }
    codes.push_back(static_cast<std::uint16_t>(*v));
    if (comma == std::string_view::npos) break;
    value.remove_prefix(comma + 1);
    if (trim_blanks(value).empty()) {  // a trailing comma promises a code that is not there
      error = "dtc: four hex digits per code, comma-separated, e.g. \"0102,0325\"";
      return std::nullopt;
    }
  }
  if (codes.size() > kMaxShortFormCodes) {
    error = "dtc: at most " + std::to_string(kMaxShortFormCodes) + " codes";
    return std::nullopt;
  }
  return codes;
}

std::optional<std::vector<std::uint8_t>> parse_hex_bytes(std::string_view value, std::size_t count,
                                                         std::string &error) {
  std::vector<std::uint8_t> bytes;
  value = trim_blanks(value);
  while (!value.empty()) {
    const auto blank = value.find(' ');
    const auto v = hex_number(value.substr(0, blank), 2);
    if (!v) break;
    bytes.push_back(static_cast<std::uint8_t>(*v));
    if (blank == std::string_view::npos) {
      value = {};
      break;
    }
    value = trim_blanks(value.substr(blank));
  }
  if (!value.empty() || bytes.size() != count) {
    error = "faults: " + std::to_string(count) + " hex bytes separated by blanks, e.g. \"01 00 04 00\"";
    return std::nullopt;
  }
  return bytes;
}

std::optional<std::map<std::uint8_t, std::uint8_t>> parse_refusals(std::string_view value, std::string &error) {
  std::map<std::uint8_t, std::uint8_t> refusals;
  value = trim_blanks(value);
  while (!value.empty()) {
    const auto comma = value.find(',');
    const std::string_view part = trim_blanks(value.substr(0, comma));
    const auto colon = part.find(':');
    const auto sid = colon == 2 ? hex_number(part.substr(0, 2), 2) : std::nullopt;
    const auto nrc = colon == 2 && part.size() == 5 ? hex_number(part.substr(3), 2) : std::nullopt;
    if (!sid || !nrc || comma == value.size() - 1) {
      error = "refuse: SID:NRC as two hex digits each, comma-separated, e.g. \"30:22,11:22\"";
      return std::nullopt;
    }
    refusals[static_cast<std::uint8_t>(*sid)] = static_cast<std::uint8_t>(*nrc);
    if (comma == std::string_view::npos) break;
    value.remove_prefix(comma + 1);
  }
  return refusals;
}

}  // namespace ecusim
