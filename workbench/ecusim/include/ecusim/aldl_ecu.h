// A GM engine ECU on the ALDL line: always listening while the ignition is on (no wake-up,
// no sleep), dispatch of checksum-valid requests by mode to handlers, and the options the
// GM models share ("engine", and "faults" / "dtc" over each model's code map). Models
// register their modes with on().
#pragma once

#include "ecusim/aldl_frame.h"
#include "ecusim/engine_model.h"
#include "ecusim/gm_codes.h"

#include <algorithm>
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <string_view>

namespace ecusim {

class AldlEcu {
 public:
  AldlEcu() = default;
  virtual ~AldlEcu() = default;
  AldlEcu(const AldlEcu &) = delete;
  AldlEcu &operator=(const AldlEcu &) = delete;

  // Ignition on: live values are computed from the time since this moment.
  void power_on(double now_ms) { power_on_ms_ = now_ms; }

  // A complete frame on the line. Returns the ECU's answer frame, or nullopt when it stays
  // silent (not addressed to F4, length code or checksum wrong, mode not served).
  std::optional<Bytes> hear(const Bytes &frame, double now_ms);

  // "engine" ("running" / "idle-fixed"); models add "dtc" and "faults".
  virtual bool set_option(std::string_view key, std::string_view value, std::string &error);

 protected:
  using Handler = std::function<std::optional<Bytes>(const Bytes &data, double now_ms)>;

  void on(std::uint8_t mode, Handler handler) { handlers_[mode] = std::move(handler); }
  double engine_seconds(double now_ms) const { return (now_ms - power_on_ms_) / 1000.0; }
  EngineState engine_at(double now_ms) const { return engine_state(engine_, engine_seconds(now_ms)); }
  bool idle_fixed() const { return engine_ == EngineMode::IdleFixed; }
  // Run time the data blocks report: the idle-fixed engine stays at ten minutes.
  double run_seconds(double now_ms) const { return idle_fixed() ? 600.0 : std::max(0.0, engine_seconds(now_ms)); }

  // The code options of a model: "faults" takes the current code bytes as hex (as many as
  // its code map has), "dtc" the stored ones as GM code numbers; the texts show its format.
  struct CodeOptions {
    const GmCodeMap &map;
    std::string_view faults_error;
    std::string_view dtc_error;
  };
  // "faults" into current, "dtc" into stored (a model that keeps one set passes it twice),
  // any other key to the shared options.
  bool set_code_option(const CodeOptions &options, Bytes &current, Bytes &stored, std::string_view key,
                       std::string_view value, std::string &error);

 private:
  double power_on_ms_ = 0.0;
  EngineMode engine_ = EngineMode::Running;
  std::map<std::uint8_t, Handler> handlers_;
};

// Parses "a,b,c" GM code numbers (decimal) and hex byte lists "01 00 04" for the options.
std::optional<std::vector<int>> parse_code_numbers(std::string_view text);
std::optional<Bytes> parse_hex_bytes(std::string_view text, std::size_t count);

}  // namespace ecusim
