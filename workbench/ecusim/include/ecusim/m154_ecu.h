// The Bosch M1.5.4 family at address 0x10: M1.5.4, M1.5.4 with additional functions, M1.5.4N.
// The variants differ only in data: block layout and identification texts (M154Variant).
#pragma once

#include "ecusim/bosch_ecu.h"
#include "ecusim/m154_block.h"

#include <array>
#include <string>
#include <string_view>

namespace ecusim {

struct M154Variant {
  std::string_view name;  // catalogue name, e.g. "m154"
  M154Layout layout;
  std::array<BoschIdent, 11> ident;  // answers to 1A 90 .. 1A 9A
};

const M154Variant &m154_variant(std::string_view name);  // throws std::out_of_range

class M154Ecu : public BoschEcu {
 public:
  explicit M154Ecu(const M154Variant &variant);

  // "faults" ("01 00 04"), the shared Bosch options, and the framework's "header"; every
  // value is taken without its surrounding blanks.
  bool set_option(std::string_view key, std::string_view value, std::string &error) override;

 protected:
  std::optional<Bytes> read_data(const Bytes &request, double now_ms) override;

 private:
  const M154Variant &variant_;
};

}  // namespace ecusim
