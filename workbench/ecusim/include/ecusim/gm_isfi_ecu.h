// The GM ISFI engine ECU on the ALDL line: mode 1 message 0 data block, mode 0x0A clear
// codes, mode 4 tester control. Byte meanings: gm_layout.md beside this folder.
#pragma once

#include "ecusim/aldl_ecu.h"

#include <cstdint>
#include <optional>

namespace ecusim {

class GmIsfiEcu : public AldlEcu {
 public:
  GmIsfiEcu();

  // "faults" current code bytes A5..A10 as 6 hex bytes; "dtc" stored codes as GM code
  // numbers "14,33"; and the shared "engine".
  bool set_option(std::string_view key, std::string_view value, std::string &error) override;

  // What the last mode 4 frame put under tester control (held until the next mode 4 frame).
  struct Control {
    bool active = false;
    std::uint8_t mask = 0, state = 0;  // d1, d2: discrete outputs and their states
    std::optional<std::uint8_t> purge, iac, spark_deg, idle_step;
    std::uint8_t modes = 0;         // d5
    std::uint8_t injector_cut = 0;  // d10 of an injector test
  };

 private:
  std::optional<Bytes> read_block(const Bytes &data, double now_ms);
  Bytes block(double now_ms) const;
  void control(const Bytes &data);

  Bytes current_{Bytes(6, 0)};
  Bytes stored_{Bytes(6, 0)};
  bool cleared_ = false;
  Control control_;
};

}  // namespace ecusim
