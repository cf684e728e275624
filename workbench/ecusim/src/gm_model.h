// What tells the GM models apart, as tables the one GM engine reads: the mode 1 request and
// block size, how a mode 4 frame is decoded, the output bits, the code options, and the
// block layout with the way tester control acts on the running engine.
#pragma once

#include "ecusim/aldl_ecu.h"

#include <array>
#include <cstdint>
#include <memory>
#include <optional>
#include <span>
#include <string_view>

namespace ecusim {

// What a value byte of a mode 4 frame may set.
enum class GmTarget : std::uint8_t { Purge, Adjuster, IdleStep, Blend, Advance, Octane, Iac, Spark, Injectors, Count };

// A value byte is taken when the selector byte holds its value (and a second selector byte
// holds its value, where given).
struct GmSelector {
  std::uint8_t at, value;
  int also_at, also_value;  // -1: no second selector
  std::uint8_t source, mask;
  GmTarget target;
};

// What the last mode 4 frame put under tester control (held until the next mode 4 frame).
struct GmControl {
  bool active = false;
  std::uint8_t mask = 0, state = 0;  // d1, d2: discrete outputs and their states
  std::uint8_t tests = 0;            // one-shot tests (without the clear bit)
  double tests_until_ms = 0;         // they run for the model's test time from the request
  std::uint8_t modes = 0;
  std::array<std::optional<std::uint8_t>, static_cast<std::size_t>(GmTarget::Count)> values;

  std::optional<std::uint8_t> operator[](GmTarget t) const { return values[static_cast<std::size_t>(t)]; }
};

// Discrete output 0x01 of every model: the check-engine lamp.
inline constexpr std::uint8_t kGmLamp = 0x01;

// One mode 1 block in the making: the engine as tester control leaves it, and the outputs
// every model shows the same way.
struct GmBlock {
  EngineState e;
  double s = 0;  // run time
  const GmControl &c;
  std::uint8_t tests = 0;  // the one-shot tests still running
  const Bytes &current, &stored;
  bool idle_fixed = false;
  bool cleared = false;  // the codes were cleared since power-on
  // Set by the model's act():
  bool closed_loop = false, pump = false;
  // Set by the engine after act():
  bool any_current = false, lamp = false, fan = false, ac = false;
  double purge = 0, start_coolant = 0, map_kpa = 0;

  bool forced(std::uint8_t out, bool otherwise) const { return (c.mask & out) ? (c.state & out) != 0 : otherwise; }
  // Current code byte A[k].
  std::uint8_t cur(int k) const { return current[static_cast<std::size_t>(k - 5)]; }
};

// The mode 1 block: its request, size, PROM ID, output bits and layout.
struct GmBlockForm {
  std::optional<std::uint8_t> message;  // the mode 1 request's message number; none: no data
  std::size_t last_byte;                // data A[3] .. A[last_byte]
  std::uint16_t prom_id;
  std::uint8_t fan, ac_clutch;  // discrete output bits
  // The model's bytes of the block (all but the PROM ID and the current codes) and its status bits.
  void (*fill)(Bytes &a, const GmBlock &b);
};

// One-shot tests in a mode 4 data byte, one of whose bits clears the codes instead.
struct GmTests {
  std::size_t at;
  std::uint8_t clear_bit;
  double ms;  // how long they run from the request
};

// Code clearing and mode 4 tester control.
struct GmControlForm {
  std::optional<std::uint8_t> clear_mode;  // a mode of its own that clears the codes
  std::optional<GmTests> tests;
  std::optional<std::size_t> modes_at;  // the mode 4 data byte of the modes
  bool active_on_any_byte;  // control is active with any non-zero byte, or only with outputs, tests or values
  std::span<const GmSelector> selectors;
  // How tester control acts on the running engine; sets closed_loop and pump.
  void (*act)(GmBlock &b);
};

// The trouble codes and the "faults" / "dtc" options over them.
struct GmCodeForm {
  const GmCodeMap &(*map)();
  bool stored_apart;            // stored codes kept apart from the current ones
  std::string_view name;        // the unit's name in the "dtc" format
  std::string_view count_word;  // the number of code bytes in words, in the "faults" format
};

struct GmModel {
  GmBlockForm block;
  GmControlForm control;
  GmCodeForm codes;
};

// The GM engine ECU run by the model's tables.
std::unique_ptr<AldlEcu> make_gm_ecu(const GmModel &model);

}  // namespace ecusim
