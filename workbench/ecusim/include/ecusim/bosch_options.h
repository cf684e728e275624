// Parsing of the car options the Bosch models share ("dtc", "faults", "refuse"),
// with the error texts the control interface hands back.
#pragma once

#include "ecusim/option_text.h"

#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace ecusim {

// Most stored codes an answer to 18 may carry in the short header form the plug-in's record
// decoder reads: 63 service bytes hold 58 N and 20 records of three bytes.
inline constexpr std::size_t kMaxShortFormCodes = 20;

std::optional<std::vector<std::uint16_t>> parse_code_list(std::string_view value, std::string &error);
// Exactly `count` hex bytes separated by blanks.
std::optional<std::vector<std::uint8_t>> parse_hex_bytes(std::string_view value, std::size_t count, std::string &error);

// "refuse": service identifier and negative response code as two hex digits each, pairs
// comma-separated: "30:22,11:22" (empty: refuse nothing). A service named twice keeps the
// last code.
std::optional<std::map<std::uint8_t, std::uint8_t>> parse_refusals(std::string_view value, std::string &error);

}  // namespace ecusim
