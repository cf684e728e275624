// Services of the M7-generation models: session and timing, identification, data blocks,
// memory reads, stored codes, clearing, output control and routines, reset.
#include "ecusim/m7_ecu.h"

#include "ecusim/bosch_options.h"
#include "ecusim/m7_extras.h"

#include <algorithm>

namespace ecusim {
namespace {

constexpr std::uint8_t kRequestOutOfRange = 0x31;

}  // namespace

const M7Model *m7_model(std::string_view name) {
  for (auto family : {m70_models(), m797_models(), m72_models()})
    for (const auto &m : family)
      if (m.name == name) return &m;
  return nullptr;
}

M7Ecu::M7Ecu(const M7Model &model)
    : KwpEcu(Profile{.address = model.address}), model_(model), outputs_(model.outputs, model.routines) {
  for (const auto &id : model_.ident)
    if (id.option == model_.key_option) id_key_ = std::string(id.text.substr(0, 2));
  if (model_.diagnostic_session) {
    on(0x10, [](const Bytes &r, double) -> std::optional<Bytes> {
      if (r.size() < 2 || r[1] != 0x81) return negative(0x10, kSubFunctionNotSupported);
      return Bytes{0x50, 0x81};
    });
    // Only "set given values" with its five parameters P2min .. P4min.
    on(0x83, [](const Bytes &r, double) -> std::optional<Bytes> {
      if (r.size() != 7 || r[1] != 0x03) return negative(0x83, kSubFunctionNotSupported);
      return Bytes{0xC3, 0x03};
    });
  }
  on(0x21, [this](const Bytes &r, double t) { return read_data(r, t); });
  on(0x1A, [this](const Bytes &r, double) { return read_identification(r); });
  on(0x18, [this](const Bytes &r, double) { return read_stored_codes(r); });
  on(0x14, [this](const Bytes &r, double) { return clear_codes(r); });
  if (model_.memory_cell) on(0x23, [this](const Bytes &r, double t) { return read_memory(r, t); });
  // Output control and the test routines: carried out (the engine answers), the request echoed.
  on(0x30, [this](const Bytes &r, double) -> std::optional<Bytes> { return outputs_.io_control(r); });
  if (!model_.routines.empty())
    for (std::uint8_t sid : {0x31, 0x32})
      on(sid, [this](const Bytes &r, double) -> std::optional<Bytes> { return outputs_.routine(r); });
  // ECU reset: answer, then restart, which ends the communication.
  on(0x11, [this](const Bytes &r, double) -> std::optional<Bytes> {
    fall_asleep();
    Bytes a{0x51};
    a.insert(a.end(), r.begin() + 1, r.end());
    return a;
  });
}

EngineState M7Ecu::engine_at(double now_ms) const {
  const double s = engine_seconds(now_ms);
  EngineState e = outputs_.react(engine_state(engine_, s), s);
  if (!supply_reading_valid_) e.battery_v = 0;  // the ECU reports an invalid reading as 0
  return e;
}

M7BlockInput M7Ecu::block_input(double now_ms) const {
  M7BlockInput in;
  in.engine = engine_at(now_ms);
  in.seconds = engine_ == EngineMode::IdleFixed ? kIdleFixedSeconds : engine_seconds(now_ms);
  in.faults = faults_;
  bool any = !stored_codes_.empty();
  for (auto b : faults_) any = any || b != 0;
  in.lamp = in.engine.lamp_command.value_or(any);
  return in;
}

std::optional<Bytes> M7Ecu::read_data(const Bytes &r, double now_ms) {
  if (r.size() != 2) return negative(0x21, kSubFunctionNotSupported);
  if (r[1] == 0x01) return model_.data_block(block_input(now_ms));
  const EngineState e = engine_at(now_ms);
  if (r[1] == 0x03 && model_.converter_block) return model_.converter_block(e);
  if (r[1] == 0xA0 && model_.immobiliser_block) return model_.immobiliser_block(e);
  return negative(0x21, kSubFunctionNotSupported);
}

// 23 a2 a1 a0 size: one cell at a time.
std::optional<Bytes> M7Ecu::read_memory(const Bytes &r, double now_ms) {
  if (r.size() != 5 || r[4] != 1) return negative(0x23, kSubFunctionNotSupported);
  const std::uint32_t address = (std::uint32_t{r[1]} << 16) | (std::uint32_t{r[2]} << 8) | r[3];
  const auto cell = model_.memory_cell(engine_at(now_ms), address);
  if (!cell) return negative(0x23, kRequestOutOfRange);
  return Bytes{0x63, *cell};
}

std::optional<Bytes> M7Ecu::read_identification(const Bytes &r) const {
  if (r.size() != 2) return negative(0x1A, kSubFunctionNotSupported);
  for (const auto &id : model_.ident) {
    if (id.option != r[1]) continue;
    std::string text(id.text);
    if (id.option == model_.key_option) text.replace(0, 2, id_key_);
    Bytes a{0x5A, r[1]};
    a.insert(a.end(), text.begin(), text.end());
    return a;
  }
  return negative(0x1A, kSubFunctionNotSupported);
}

std::optional<Bytes> M7Ecu::read_stored_codes(const Bytes &r) const {
  if (r.size() != 4) return negative(0x18, kSubFunctionNotSupported);
  Bytes a{0x58, static_cast<std::uint8_t>(stored_codes_.size())};
  for (auto code : stored_codes_) {
    a.push_back(static_cast<std::uint8_t>(code >> 8));
    a.push_back(static_cast<std::uint8_t>(code & 0xFF));
    a.push_back(0xE0);  // status: stored, confirmed, lamp requested
  }
  return a;
}

std::optional<Bytes> M7Ecu::clear_codes(const Bytes &r) {
  if (r.size() != 3 || r[1] != 0xFF || r[2] != 0x00) return negative(0x14, kSubFunctionNotSupported);
  stored_codes_.clear();
  faults_ = {};
  return Bytes{0x54, 0xFF, 0x00};
}

bool M7Ecu::set_option(std::string_view key, std::string_view value, std::string &error) {
  if (key == "dtc") {
    auto codes = parse_code_list(value, error);
    if (!codes) return false;
    stored_codes_ = std::move(*codes);
    return true;
  }
  if (key == "faults") {
    if (model_.fault_bytes == 0) {
      error = "faults: this control unit reports no current-fault bits (stored codes only: \"dtc\")";
      return false;
    }
    auto bytes = parse_hex_bytes(value, model_.fault_bytes, error);
    if (!bytes) return false;
    faults_ = {};
    std::copy(bytes->begin(), bytes->end(), faults_.begin());
    return true;
  }
  if (key == "id-key") {
    value = trim_blanks(value);
    if (value.size() != 2) {
      error = "id-key: two characters, e.g. \"M7\", \"B1\", \"I2\"";
      return false;
    }
    id_key_ = std::string(value);
    return true;
  }
  if (key == "guard" && model_.guard_option) {
    value = trim_blanks(value);
    if (value != "on" && value != "off") {
      error = "guard: \"on\" (default) or \"off\" (battery voltage reading D9 reported as 0)";
      return false;
    }
    supply_reading_valid_ = value == "on";
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
