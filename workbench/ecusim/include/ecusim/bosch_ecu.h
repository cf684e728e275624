// What the Bosch engine ECUs on the K line share across families (M1.5.4, M7): stored codes
// (18) and their clearing (14), identification from a table of texts (1A) with the family key
// in one of them, output control (30), reset (11), and the options "dtc", "id-key" and
// "engine". A family adds its data blocks (21), its current-fault option and what else it serves.
#pragma once

#include "ecusim/engine_model.h"
#include "ecusim/kwp_ecu.h"
#include "ecusim/output_control.h"

#include <array>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace ecusim {

struct BoschIdent {
  std::uint8_t option;    // 1A option
  std::string_view text;  // answer after 5A option (may hold packed-decimal bytes)
};

// Current-fault bytes of a data block, as many as the family has (at most four).
using CurrentFaults = std::array<std::uint8_t, 4>;

class BoschEcu : public KwpEcu {
 public:
  struct Identity {
    std::uint8_t address;
    std::span<const BoschIdent> ident;
    std::uint8_t key_option;        // the option whose first two characters are the family key
    std::string_view key_examples;  // named in the "id-key" error text
    // 11 00 restarts the control functions but keeps the K-line session (M1.5.4 family,
    // M7.2); every other reset ends the communication.
    bool reset_00_keeps_link = false;
  };

  // "dtc", "id-key", "engine", and the framework's "header".
  bool set_option(std::string_view key, std::string_view value, std::string &error) override;

 protected:
  BoschEcu(const Identity &identity, std::span<const OutputRow> outputs, std::span<const OutputRow> routines);

  // 21: the family's data blocks.
  virtual std::optional<Bytes> read_data(const Bytes &request, double now_ms) = 0;
  void communication_ended() override { outputs_.release_all(); }

  // The engine as running with the outputs the tester holds.
  EngineState engine_at(double now_ms) const;
  EngineMode engine_mode() const { return engine_; }
  bool any_stored_code() const { return !stored_codes_.empty(); }
  const CurrentFaults &faults() const { return faults_; }
  void set_faults(const CurrentFaults &faults) { faults_ = faults; }
  OutputControl &outputs() { return outputs_; }

 private:
  std::optional<Bytes> read_identification(const Bytes &request) const;
  std::optional<Bytes> read_stored_codes(const Bytes &request) const;
  std::optional<Bytes> clear_codes(const Bytes &request);

  Identity identity_;
  std::vector<std::uint16_t> stored_codes_;
  CurrentFaults faults_{};
  std::string id_key_;
  EngineMode engine_ = EngineMode::Running;
  OutputControl outputs_;
};

}  // namespace ecusim
