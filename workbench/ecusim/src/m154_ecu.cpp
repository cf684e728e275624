// M1.5.4 family services: data blocks, identification, stored and current trouble codes,
// output control and reset, over the shared KWP2000 framework.
#include "ecusim/m154_ecu.h"

#include <cctype>
#include <charconv>
#include <stdexcept>

namespace ecusim {
namespace {

// Field lengths the plug-in copies: 19 16 10 10 15 7 10 8 7 7 10.
constexpr std::array<M154Variant, 3> kVariants{{
    {"m154", M154Layout::Basic,
     {"XTA21099043512345  ", "2111-1411020-10 ", "0261204259", "1037300542", "CAL 2111 0103  ",
      "1998-06", "V05.01    ", "BOSCH   ", "2111   ", "1999-03", "M1.5.4 V05"}},
    {"m154-add", M154Layout::Basic,
     {"XTA21103051234567  ", "2111-1411020-40 ", "0261204980", "1037350126", "ADD 2111 0202  ",
      "2000-02", "V06.02    ", "BOSCH   ", "21114  ", "2000-05", "J5 V06 ADD"}},
    {"m154n", M154Layout::N,
     {"XTA21124061122334  ", "2112-1411020-41 ", "0261206944", "1037353311", "N 2112 0301    ",
      "2001-04", "V07.03    ", "BOSCH   ", "2112   ", "2001-09", "M1.5.4N V7"}},
}};

std::optional<std::uint8_t> hex_byte(std::string_view s) {
  unsigned v = 0;
  auto [p, ec] = std::from_chars(s.data(), s.data() + s.size(), v, 16);
  if (ec != std::errc() || p != s.data() + s.size() || s.empty() || s.size() > 2) return std::nullopt;
  return static_cast<std::uint8_t>(v);
}

std::vector<std::string_view> split(std::string_view s, char sep) {
  std::vector<std::string_view> parts;
  while (true) {
    auto pos = s.find(sep);
    parts.push_back(s.substr(0, pos));
    if (pos == std::string_view::npos) break;
    s.remove_prefix(pos + 1);
  }
  return parts;
}

std::string_view trim(std::string_view s) {
  while (!s.empty() && std::isspace(static_cast<unsigned char>(s.front()))) s.remove_prefix(1);
  while (!s.empty() && std::isspace(static_cast<unsigned char>(s.back()))) s.remove_suffix(1);
  return s;
}

}  // namespace

const M154Variant &m154_variant(std::string_view name) {
  for (const auto &v : kVariants)
    if (v.name == name) return v;
  throw std::out_of_range("no M1.5.4 variant " + std::string(name));
}

M154Ecu::M154Ecu(const M154Variant &variant)
    : KwpEcu(Profile{}), variant_(variant), id_key_(variant.ident[10].substr(0, 2)) {
  on(0x21, [this](const Bytes &r, double t) { return read_data(r, t); });
  on(0x1A, [this](const Bytes &r, double) { return read_identification(r); });
  on(0x18, [this](const Bytes &r, double) { return read_stored_codes(r); });
  on(0x14, [this](const Bytes &r, double) { return clear_codes(r); });
  // Output control: the output is driven as asked (and the engine answers), the request echoed.
  on(0x30, [this](const Bytes &r, double) -> std::optional<Bytes> { return outputs_.io_control(r); });
  // ECU reset: answer, then restart, which ends the communication.
  on(0x11, [this](const Bytes &r, double) -> std::optional<Bytes> {
    fall_asleep();
    Bytes a{0x51};
    a.insert(a.end(), r.begin() + 1, r.end());
    return a;
  });
}

EngineState M154Ecu::engine_at(double now_ms) const {
  const double s = engine_seconds(now_ms);
  return outputs_.react(engine_state(engine_, s), s);
}

std::optional<Bytes> M154Ecu::read_data(const Bytes &r, double now_ms) {
  if (r.size() != 2) return negative(0x21, kSubFunctionNotSupported);
  const EngineState e = engine_at(now_ms);
  if (r[1] == 0x01) return m154_data_block(e, faults_, variant_.layout);
  if (r[1] == 0x03) return m154_converter_block(e);
  return negative(0x21, kSubFunctionNotSupported);
}

std::optional<Bytes> M154Ecu::read_identification(const Bytes &r) {
  if (r.size() != 2 || r[1] < 0x90 || r[1] > 0x9A) return negative(0x1A, kSubFunctionNotSupported);
  std::string text(variant_.ident[r[1] - 0x90]);
  if (r[1] == 0x9A) text.replace(0, 2, id_key_);
  Bytes a{0x5A, r[1]};
  a.insert(a.end(), text.begin(), text.end());
  return a;
}

std::optional<Bytes> M154Ecu::read_stored_codes(const Bytes &r) {
  if (r.size() != 4) return negative(0x18, kSubFunctionNotSupported);
  Bytes a{0x58, static_cast<std::uint8_t>(stored_codes_.size())};
  for (auto code : stored_codes_) {
    a.push_back(static_cast<std::uint8_t>(code >> 8));
    a.push_back(static_cast<std::uint8_t>(code & 0xFF));
    a.push_back(0xE0);  // status: stored, confirmed, lamp requested
  }
  return a;
}

std::optional<Bytes> M154Ecu::clear_codes(const Bytes &r) {
  if (r.size() != 3 || r[1] != 0xFF || r[2] != 0x00) return negative(0x14, kSubFunctionNotSupported);
  stored_codes_.clear();
  faults_ = {0, 0, 0};
  return Bytes{0x54, 0xFF, 0x00};
}

bool M154Ecu::set_option(std::string_view key, std::string_view value, std::string &error) {
  value = trim(value);
  if (key == "dtc") {
    std::vector<std::uint16_t> codes;
    if (!value.empty()) {
      for (auto part : split(value, ',')) {
        part = trim(part);
        unsigned v = 0;
        auto [p, ec] = std::from_chars(part.data(), part.data() + part.size(), v, 16);
        if (part.size() != 4 || ec != std::errc() || p != part.data() + part.size()) {
          error = "dtc: four hex digits per code, comma-separated, e.g. \"0102,0325\"";
          return false;
        }
        codes.push_back(static_cast<std::uint16_t>(v));
      }
    }
    if (codes.size() > kMaxStoredCodes) {
      error = "dtc: at most " + std::to_string(kMaxStoredCodes) + " codes";
      return false;
    }
    stored_codes_ = std::move(codes);
    return true;
  }
  if (key == "faults") {
    auto parts = split(value, ' ');
    std::erase_if(parts, [](std::string_view p) { return p.empty(); });
    FaultBits bits{};
    bool ok = parts.size() == 3;
    for (std::size_t i = 0; ok && i < 3; ++i) {
      auto b = hex_byte(parts[i]);
      ok = b.has_value();
      if (ok) bits[i] = *b;
    }
    if (!ok) {
      error = "faults: three hex bytes, e.g. \"01 00 04\"";
      return false;
    }
    faults_ = bits;
    return true;
  }
  if (key == "id-key") {
    if (value.size() != 2) {
      error = "id-key: two characters, e.g. \"M1\", \"J5\", \"V5\"";
      return false;
    }
    id_key_ = std::string(value);
    return true;
  }
  if (key == "engine") {
    if (value == "running" || value == "idle-fixed") {
      engine_ = value == "running" ? EngineMode::Running : EngineMode::IdleFixed;
      return true;
    }
    error = "engine: \"running\" or \"idle-fixed\"";
    return false;
  }
  return KwpEcu::set_option(key, value, error);
}

}  // namespace ecusim
