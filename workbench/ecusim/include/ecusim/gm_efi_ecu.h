// The GM EFI engine ECU on the ALDL line: mode 1 data block, mode 4 tester control (a 0x40
// in the third data byte clears the codes). Byte meanings: gm_layout.md beside this folder.
#pragma once

#include "ecusim/aldl_ecu.h"

#include <cstdint>
#include <optional>

namespace ecusim {

class GmEfiEcu : public AldlEcu {
 public:
  GmEfiEcu();

  // "faults" code bytes A5..A7 as 3 hex bytes; "dtc" the same as GM code numbers "14,33";
  // and the shared "engine".
  bool set_option(std::string_view key, std::string_view value, std::string &error) override;

  struct Control {
    bool active = false;
    std::uint8_t mask = 0, state = 0;  // d1, d2: discrete outputs and their states
    std::uint8_t tests = 0;            // d3 one-shot tests (without the clear bit)
    double tests_until_ms = 0;         // they run for kTestMs from the request
    std::optional<std::uint8_t> purge, adjuster, idle_step, blend, advance_byte, octane;
  };
  static constexpr double kTestMs = 5000.0;

 private:
  Bytes block(double now_ms) const;
  void control(const Bytes &data, double now_ms);

  Bytes codes_{Bytes(3, 0)};
  Control control_;
};

}  // namespace ecusim
