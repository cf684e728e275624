// The Bosch M7 generation on the K line: M7.0 E2/E3 (address 0x11), M7.9.7 E2/E3 and M7.2
// (address 0x10). One model engine; the families differ only in the data of M7Model
// (m70_ecu.cpp, m797_ecu.cpp, m72_ecu.cpp) and in their block builders.
#pragma once

#include "ecusim/bosch_ecu.h"

#include <array>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace ecusim {

// What a data block is built from besides the engine: the current-fault bytes (as many as
// the family has) and the check-engine lamp, lit by any current or stored fault.
struct M7BlockInput {
  EngineState engine;
  CurrentFaults faults{};
  bool lamp = false;
  double seconds = 0;  // since the engine started
};

struct M7Model {
  std::string_view name;  // catalogue name
  std::uint8_t address;
  bool diagnostic_session;  // accepts StartDiagnosticSession 81 and AccessTimingParameters 03
  std::span<const BoschIdent> ident;
  std::uint8_t key_option;                          // the option whose first two characters are the family key
  std::size_t fault_bytes;                          // current-fault bytes in the 21 01 block, 0..4
  Bytes (*data_block)(const M7BlockInput &);        // 61 01 ...
  Bytes (*converter_block)(const EngineState &);    // 61 03 ..., or null
  Bytes (*immobiliser_block)(const EngineState &);  // 61 A0 ..., or null
  std::optional<std::uint8_t> (*memory_cell)(const EngineState &, std::uint32_t address);  // 23, or null
  std::span<const OutputRow> outputs;                                                      // served by 30
  std::span<const OutputRow> routines;  // served by 31 / 32 10 (M7.0), empty: 7F 31 11
  bool guard_option;                    // takes "guard" (m797_layout.md)
  bool reset_00_keeps_link = false;     // 11 00 keeps the session (M7.2)
};

std::span<const M7Model> m70_models();
std::span<const M7Model> m797_models();
std::span<const M7Model> m72_models();
const M7Model *m7_model(std::string_view name);  // null when no family has the name

class M7Ecu : public BoschEcu {
 public:
  explicit M7Ecu(const M7Model &model);

  // "faults" (M7.2: four hex bytes), M7.9.7 "guard", the shared Bosch options, and the
  // framework's "header".
  bool set_option(std::string_view key, std::string_view value, std::string &error) override;

 protected:
  std::optional<Bytes> read_data(const Bytes &request, double now_ms) override;

 private:
  EngineState engine_now(double now_ms) const;
  std::optional<Bytes> read_memory(const Bytes &request, double now_ms);
  M7BlockInput block_input(double now_ms) const;

  const M7Model &model_;
  bool supply_reading_valid_ = true;  // "guard"
};

}  // namespace ecusim
