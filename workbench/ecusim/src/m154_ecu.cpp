// M1.5.4 family: its variants, data blocks and current-fault option over the Bosch services.
#include "ecusim/m154_ecu.h"

#include "ecusim/option_text.h"

#include <charconv>
#include <stdexcept>
#include <vector>

namespace ecusim {
namespace {

// Field lengths the plug-in copies: 19 16 10 10 15 7 10 8 7 7 10.
constexpr std::array<M154Variant, 3> kVariants{{
    {"m154",
     M154Layout::Basic,
     {{{0x90, "XTA21099043512345  "},
       {0x91, "2111-1411020-10 "},
       {0x92, "0261204259"},
       {0x93, "1037300542"},
       {0x94, "CAL 2111 0103  "},
       {0x95, "1998-06"},
       {0x96, "V05.01    "},
       {0x97, "BOSCH   "},
       {0x98, "2111   "},
       {0x99, "1999-03"},
       {0x9A, "M1.5.4 V05"}}}},
    {"m154-add",
     M154Layout::Basic,
     {{{0x90, "XTA21103051234567  "},
       {0x91, "2111-1411020-40 "},
       {0x92, "0261204980"},
       {0x93, "1037350126"},
       {0x94, "ADD 2111 0202  "},
       {0x95, "2000-02"},
       {0x96, "V06.02    "},
       {0x97, "BOSCH   "},
       {0x98, "21114  "},
       {0x99, "2000-05"},
       {0x9A, "J5 V06 ADD"}}}},
    {"m154n",
     M154Layout::N,
     {{{0x90, "XTA21124061122334  "},
       {0x91, "2112-1411020-41 "},
       {0x92, "0261206944"},
       {0x93, "1037353311"},
       {0x94, "N 2112 0301    "},
       {0x95, "2001-04"},
       {0x96, "V07.03    "},
       {0x97, "BOSCH   "},
       {0x98, "2112   "},
       {0x99, "2001-09"},
       {0x9A, "M1.5.4N V7"}}}},
}};

std::optional<std::uint8_t> hex_byte(std::string_view s) {
  unsigned v = 0;
  auto [p, ec] = std::from_chars(s.data(), s.data() + s.size(), v, 16);
  if (ec != std::errc() || p != s.data() + s.size() || s.empty() || s.size() > 2) return std::nullopt;
  return static_cast<std::uint8_t>(v);
}

// The three fault bytes as this family takes them: words between single spaces, empty ones
// skipped (so no other blank may stand next to a space).
std::optional<CurrentFaults> parse_faults(std::string_view value) {
  std::vector<std::string_view> parts;
  while (true) {
    const auto pos = value.find(' ');
    if (!value.substr(0, pos).empty()) parts.push_back(value.substr(0, pos));
    if (pos == std::string_view::npos) break;
    value.remove_prefix(pos + 1);
  }
  if (parts.size() != 3) return std::nullopt;
  CurrentFaults bits{};
  for (std::size_t i = 0; i < 3; ++i) {
    const auto b = hex_byte(parts[i]);
    if (!b) return std::nullopt;
    bits[i] = *b;
  }
  return bits;
}

}  // namespace

const M154Variant &m154_variant(std::string_view name) {
  for (const auto &v : kVariants)
    if (v.name == name) return v;
  throw std::out_of_range("no M1.5.4 variant " + std::string(name));
}

M154Ecu::M154Ecu(const M154Variant &variant)
    : BoschEcu({0x10, variant.ident, 0x9A, "\"M1\", \"J5\", \"V5\"", true}, m154_outputs(), {}), variant_(variant) {}

std::optional<Bytes> M154Ecu::read_data(const Bytes &r, double now_ms) {
  if (r.size() != 2) return negative(0x21, kSubFunctionNotSupported);
  const EngineState e = engine_at(now_ms);
  const FaultBits bits{faults()[0], faults()[1], faults()[2]};
  if (r[1] == 0x01) return m154_data_block(e, bits, variant_.layout, take_spare());
  if (r[1] == 0x03) return m154_converter_block(e);
  return negative(0x21, kSubFunctionNotSupported);
}

bool M154Ecu::set_option(std::string_view key, std::string_view value, std::string &error) {
  value = trim_blanks(value);
  if (key == "faults") {
    const auto bits = parse_faults(value);
    if (!bits) {
      error = "faults: three hex bytes, e.g. \"01 00 04\"";
      return false;
    }
    set_faults(*bits);
    return true;
  }
  return BoschEcu::set_option(key, value, error);
}

}  // namespace ecusim
