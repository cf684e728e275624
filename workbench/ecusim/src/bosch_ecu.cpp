// Services and options every Bosch family shares, over the KWP2000 framework.
#include "ecusim/bosch_ecu.h"

#include "ecusim/bosch_options.h"

namespace ecusim {

BoschEcu::BoschEcu(const Identity &identity, std::span<const OutputRow> outputs, std::span<const OutputRow> routines)
    : KwpEcu(Profile{.address = identity.address}), identity_(identity), outputs_(outputs, routines) {
  for (const auto &id : identity_.ident)
    if (id.option == identity_.key_option) id_key_ = std::string(id.text.substr(0, 2));
  on(0x21, [this](const Bytes &r, double t) { return read_data(r, t); });
  on(0x1A, [this](const Bytes &r, double) { return read_identification(r); });
  on(0x18, [this](const Bytes &r, double) { return read_stored_codes(r); });
  on(0x14, [this](const Bytes &r, double) { return clear_codes(r); });
  // Output control: the output is driven as asked (and the engine answers), the request echoed.
  on(0x30, [this](const Bytes &r, double) -> std::optional<Bytes> { return outputs_.io_control(r); });
  // ECU reset: answer, then restart, which ends the communication, except for a mode 00
  // reset of a family that keeps its session: that one only hands every output back.
  on(0x11, [this](const Bytes &r, double) -> std::optional<Bytes> {
    if (identity_.reset_00_keeps_link && r.size() == 2 && r[1] == 0x00)
      outputs_.release_all();
    else
      fall_asleep();
    Bytes a{0x51};
    a.insert(a.end(), r.begin() + 1, r.end());
    return a;
  });
}

EngineState BoschEcu::engine_at(double now_ms) const {
  const double s = engine_seconds(now_ms);
  return outputs_.react(engine_state(engine_, s), s);
}

std::optional<Bytes> BoschEcu::read_identification(const Bytes &r) const {
  if (r.size() != 2) return negative(0x1A, kSubFunctionNotSupported);
  for (const auto &id : identity_.ident) {
    if (id.option != r[1]) continue;
    std::string text(id.text);
    if (id.option == identity_.key_option) text.replace(0, 2, id_key_);
    Bytes a{0x5A, r[1]};
    a.insert(a.end(), text.begin(), text.end());
    return a;
  }
  return negative(0x1A, kSubFunctionNotSupported);
}

std::optional<Bytes> BoschEcu::read_stored_codes(const Bytes &r) const {
  if (r.size() != 4) return negative(0x18, kSubFunctionNotSupported);
  Bytes a{0x58, static_cast<std::uint8_t>(stored_codes_.size())};
  for (auto code : stored_codes_) {
    a.push_back(static_cast<std::uint8_t>(code >> 8));
    a.push_back(static_cast<std::uint8_t>(code & 0xFF));
    a.push_back(0xE0);  // status: stored, confirmed, lamp requested
  }
  return a;
}

std::optional<Bytes> BoschEcu::clear_codes(const Bytes &r) {
  if (r.size() != 3 || r[1] != 0xFF || r[2] != 0x00) return negative(0x14, kSubFunctionNotSupported);
  stored_codes_.clear();
  faults_ = {};
  return Bytes{0x54, 0xFF, 0x00};
}

bool BoschEcu::set_option(std::string_view key, std::string_view value, std::string &error) {
  if (key == "dtc") {
    auto codes = parse_code_list(value, error);
    if (!codes) return false;
    stored_codes_ = std::move(*codes);
    return true;
  }
  if (key == "id-key") {
    value = trim_blanks(value);
    if (value.size() != 2) {
      error = "id-key: two characters, e.g. " + std::string(identity_.key_examples);
      return false;
    }
    id_key_ = std::string(value);
    return true;
  }
  if (key == "engine") {
    auto mode = parse_engine_mode(value, error);
    if (!mode) return false;
    engine_ = *mode;
    return true;
  }
  return KwpEcu::set_option(key, value, error);
}

}  // namespace ecusim
