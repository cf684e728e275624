// Outputs and adjustments a tester has taken over from a Bosch ECU, through
// InputOutputControlByLocalIdentifier (30) or the M7.0 test routine (31 / 32 10), and the
// engine's answer to them. Each family names its outputs in a table of OutputRow; the
// engine reaction is common (engine_reaction.cpp).
#pragma once

#include "ecusim/engine_model.h"
#include "ecusim/kwp_frame.h"

#include <cstdint>
#include <map>
#include <optional>
#include <span>

namespace ecusim {

enum class Effect : std::uint8_t {
  CutInjectors,  // state 00 (or a running cut-off routine): these cylinders get no fuel
  CutCoils,      // state 00 (or a running cut-off routine): these cylinders get no spark
  FuelPump,      // relay on (state 01 / FF) or off (00)
  Fan,
  AcClutch,
  Lamp,
  IdleSpeed,  // value byte = desired idle speed / 10
  IdleStep,   // value byte = idle air control position, steps
  CoTrim,     // value byte = idle mixture (CO) trim, 100 = base
  Silent,     // accepted and carried out, nothing the data blocks show
};

// One output of a family: the local identifier of 30 (or the first parameter of the M7.0
// routine), what it drives, and for the cut effects the cylinders (bit 0 = cylinder 1).
struct OutputRow {
  std::uint8_t id;
  Effect effect;
  std::uint8_t cylinders = 0;
};

// What the tester holds at one moment. Outputs not held run as the ECU decides.
class OutputControl {
 public:
  OutputControl(std::span<const OutputRow> outputs, std::span<const OutputRow> routines)
      : outputs_(outputs), routines_(routines) {}

  // 30 id 00 returns control of id (of every output for id 01); 30 id cp vv takes id over.
  // The answer echoes the request (70 ...), or is 7F 30 nrc for an unknown id or length.
  Bytes io_control(const Bytes &request);
  // 31 / 32 10 aa bb cc: start or stop the test routine of output aa. Starting switches an
  // on/off output on and a cut-off output off; stopping hands the output back to the ECU.
  Bytes routine(const Bytes &request);
  // ECU reset, end of communication: every output back to the ECU.
  void release_all();
  bool holds_anything() const { return !held_.empty() || !held_routines_.empty(); }

  // The engine as the mechanic sees it with the held outputs (seconds: engine run time,
  // for the rough running of a misfiring engine).
  EngineState react(EngineState e, double seconds) const;

 private:
  struct Held {
    Effect effect;
    std::uint8_t cylinders;
    std::uint8_t value;  // state byte or adjustment value
  };

  std::span<const OutputRow> outputs_, routines_;
  std::map<std::uint8_t, Held> held_;           // by local identifier
  std::map<std::uint8_t, Held> held_routines_;  // by routine output
};

// The output tables of the families.
std::span<const OutputRow> m154_outputs();
std::span<const OutputRow> m797_outputs();
std::span<const OutputRow> m72_outputs();
std::span<const OutputRow> m70_outputs();
std::span<const OutputRow> m70_routines();

}  // namespace ecusim
