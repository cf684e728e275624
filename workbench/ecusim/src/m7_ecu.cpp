// Services of the M7-generation models beyond the shared Bosch ones: session and timing,
// data blocks, memory reads, the M7.0 routines, and the "faults" and "guard" options.
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
    : BoschEcu({model.address, model.ident, model.key_option, "\"M7\", \"B1\", \"I2\"", model.reset_00_keeps_link},
               model.outputs, model.routines),
      model_(model) {
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
  if (model_.memory_cell) on(0x23, [this](const Bytes &r, double t) { return read_memory(r, t); });
  // The test routines: carried out (the engine answers), the request echoed.
  if (!model_.routines.empty())
    for (std::uint8_t sid : {0x31, 0x32})
      on(sid, [this](const Bytes &r, double) -> std::optional<Bytes> { return outputs().routine(r); });
}

EngineState M7Ecu::engine_now(double now_ms) const {
  EngineState e = engine_at(now_ms);
  if (!supply_reading_valid_) e.battery_v = 0;  // the ECU reports an invalid reading as 0
  return e;
}

M7BlockInput M7Ecu::block_input(double now_ms) const {
  M7BlockInput in;
  in.engine = engine_now(now_ms);
  in.seconds = engine_mode() == EngineMode::IdleFixed ? kIdleFixedSeconds : engine_seconds(now_ms);
  in.faults = faults();
  bool any = any_stored_code();
  for (auto b : faults()) any = any || b != 0;
  in.lamp = in.engine.lamp_command.value_or(any);
  return in;
}

std::optional<Bytes> M7Ecu::read_data(const Bytes &r, double now_ms) {
  if (r.size() != 2) return negative(0x21, kSubFunctionNotSupported);
  if (r[1] == 0x01) return model_.data_block(block_input(now_ms));
  const EngineState e = engine_now(now_ms);
  if (r[1] == 0x03 && model_.converter_block) return model_.converter_block(e);
  if (r[1] == 0xA0 && model_.immobiliser_block) return model_.immobiliser_block(e);
  return negative(0x21, kSubFunctionNotSupported);
}

// 23 a2 a1 a0 size: one cell at a time.
std::optional<Bytes> M7Ecu::read_memory(const Bytes &r, double now_ms) {
  if (r.size() != 5 || r[4] != 1) return negative(0x23, kSubFunctionNotSupported);
  const std::uint32_t address = (std::uint32_t{r[1]} << 16) | (std::uint32_t{r[2]} << 8) | r[3];
  const auto cell = model_.memory_cell(engine_now(now_ms), address);
  if (!cell) return negative(0x23, kRequestOutOfRange);
  return Bytes{0x63, *cell};
}

bool M7Ecu::set_option(std::string_view key, std::string_view value, std::string &error) {
  if (key == "faults") {
    if (model_.fault_bytes == 0) {
      error = "faults: this control unit reports no current-fault bits (stored codes only: \"dtc\")";
      return false;
    }
    auto bytes = parse_hex_bytes(value, model_.fault_bytes, error);
    if (!bytes) return false;
    CurrentFaults bits{};
    std::copy(bytes->begin(), bytes->end(), bits.begin());
    set_faults(bits);
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
  return BoschEcu::set_option(key, value, error);
}

}  // namespace ecusim
