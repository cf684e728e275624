// The one GM engine ECU: mode handlers, code storage and tester control, run by a model's tables.
#pragma once

#include "gm_model.h"

namespace ecusim {

class GmEcu : public AldlEcu {
 public:
  explicit GmEcu(const GmModel &model);

  bool set_option(std::string_view key, std::string_view value, std::string &error) override;

 private:
  std::optional<Bytes> read_block(const Bytes &data, double now_ms) const;
  Bytes block(double now_ms) const;
  void control(const Bytes &data, double now_ms);
  void clear_codes();

  const GmModel &model_;
  Bytes current_, stored_;
  bool cleared_ = false;
  GmControl control_;
};

}  // namespace ecusim
