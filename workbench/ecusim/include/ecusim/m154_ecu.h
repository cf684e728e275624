// The Bosch M1.5.4 family at address 0x10: M1.5.4, M1.5.4 with additional functions, M1.5.4N.
// The variants differ only in data: block layout and identification texts (M154Variant).
#pragma once

#include "ecusim/engine_model.h"
#include "ecusim/kwp_ecu.h"
#include "ecusim/m154_block.h"
#include "ecusim/output_control.h"

#include <array>
#include <string>
#include <string_view>
#include <vector>

namespace ecusim {

struct M154Variant {
  std::string_view name;                      // catalogue name, e.g. "m154"
  M154Layout layout;
  std::array<std::string_view, 11> ident;     // answers to 1A 90 .. 1A 9A
};

const M154Variant &m154_variant(std::string_view name);  // throws std::out_of_range

// Most stored codes an answer to 18 may carry: the plug-in's record decoder reads the
// short header form, whose six length bits hold at most 63 service bytes (58 N + 3 N).
inline constexpr std::size_t kMaxStoredCodes = 20;

class M154Ecu : public KwpEcu {
 public:
  explicit M154Ecu(const M154Variant &variant);

  // "dtc" ("0102,0325" or ""), "faults" ("01 00 04"), "id-key" (two characters),
  // "engine" ("running" / "idle-fixed"), and the framework's "header".
  bool set_option(std::string_view key, std::string_view value, std::string &error) override;

 protected:
  void communication_ended() override { outputs_.release_all(); }

 private:
  EngineState engine_at(double now_ms) const;
  std::optional<Bytes> read_data(const Bytes &request, double now_ms);
  std::optional<Bytes> read_identification(const Bytes &request);
  std::optional<Bytes> read_stored_codes(const Bytes &request);
  std::optional<Bytes> clear_codes(const Bytes &request);

  const M154Variant &variant_;
  std::vector<std::uint16_t> stored_codes_;
  FaultBits faults_{0, 0, 0};
  std::string id_key_;
  EngineMode engine_ = EngineMode::Running;
  OutputControl outputs_{m154_outputs(), {}};
};

}  // namespace ecusim
