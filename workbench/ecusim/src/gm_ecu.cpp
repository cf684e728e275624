// The GM engine: what the models share of reading the block, clearing codes and tester control.
#include "gm_encode.h"
#include "gm_model.h"

#include <algorithm>
#include <string>

namespace ecusim {
namespace {

class GmEcu final : public AldlEcu {
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

GmEcu::GmEcu(const GmModel &model)
    : model_(model), current_(model.codes.map().bytes, 0), stored_(model.codes.map().bytes, 0) {
  on(0x01, [this](const Bytes &d, double t) { return read_block(d, t); });
  if (model_.control.clear_mode) {
    on(*model_.control.clear_mode, [this](const Bytes &d, double) -> std::optional<Bytes> {
      if (!d.empty()) return std::nullopt;
      clear_codes();
      return build_aldl(*model_.control.clear_mode, {});
    });
  }
  on(0x04, [this](const Bytes &d, double t) -> std::optional<Bytes> {
    if (d.size() != 10) return std::nullopt;
    control(d, t);
    return build_aldl(0x04, {});
  });
}

void GmEcu::clear_codes() {
  std::fill(current_.begin(), current_.end(), 0);
  std::fill(stored_.begin(), stored_.end(), 0);
  cleared_ = true;
}

std::optional<Bytes> GmEcu::read_block(const Bytes &data, double now_ms) const {
  const auto message = model_.block.message;
  const bool asked = message ? data.size() == 1 && data[0] == *message : data.empty();
  if (!asked) return std::nullopt;
  return gm::block_answer(block(now_ms));
}

void GmEcu::control(const Bytes &d, double now_ms) {
  const GmControlForm &m = model_.control;
  GmControl c;
  c.mask = d[0];
  c.state = d[1];
  if (m.tests) {
    const std::uint8_t tests = d[m.tests->at];
    if (tests & m.tests->clear_bit) clear_codes();
    c.tests = static_cast<std::uint8_t>(tests & ~m.tests->clear_bit);
    c.tests_until_ms = now_ms + m.tests->ms;
  }
  if (m.modes_at) c.modes = d[*m.modes_at];
  for (const GmSelector &s : m.selectors) {
    if (d[s.at] != s.value || (s.also_at >= 0 && d[static_cast<std::size_t>(s.also_at)] != s.also_value)) continue;
    c.values[static_cast<std::size_t>(s.target)] = static_cast<std::uint8_t>(d[s.source] & s.mask);
  }
  const auto nonzero = [](auto v) { return static_cast<bool>(v); };
  c.active = m.active_on_any_byte ? std::any_of(d.begin(), d.end(), nonzero)
                                  : c.mask || c.tests || std::any_of(c.values.begin(), c.values.end(), nonzero);
  control_ = c;
}

Bytes GmEcu::block(double now_ms) const {
  const GmControl &c = control_;
  GmBlock b{.e = engine_at(now_ms),
            .s = run_seconds(now_ms),
            .c = c,
            .tests = now_ms < c.tests_until_ms ? c.tests : std::uint8_t{0},
            .current = current_,
            .stored = model_.codes.stored_apart ? stored_ : current_,
            .idle_fixed = idle_fixed(),
            .cleared = cleared_};
  model_.control.act(b);
  if (!b.closed_loop) b.e.rich = false;
  b.any_current = std::any_of(current_.begin(), current_.end(), [](auto v) { return v != 0; });
  b.lamp = b.forced(kGmLamp, b.any_current);
  b.fan = b.forced(model_.block.fan, b.e.fan);
  b.ac = b.forced(model_.block.ac_clutch, b.e.ac_clutch);
  b.purge = c[GmTarget::Purge] ? *c[GmTarget::Purge] : (b.e.canister_purge ? 64.0 : 0.0);
  b.start_coolant = b.idle_fixed ? 90.0 : 20.0;
  b.map_kpa = 33.0 * b.e.rpm / std::max(1.0, b.e.target_rpm);

  Bytes a(model_.block.last_byte + 1, 0);
  gm::put_word(a, 3, model_.block.prom_id);
  std::copy(current_.begin(), current_.end(), a.begin() + 5);
  model_.block.fill(a, b);
  return a;
}

bool GmEcu::set_option(std::string_view key, std::string_view value, std::string &error) {
  const GmCodeForm &codes = model_.codes;
  const GmCodeMap &map = codes.map();
  // "faults: three hex bytes (code bytes 5..7), e.g. "02 00 00""
  std::string faults = "faults: " + std::string(codes.count_word) + " hex bytes (code bytes " +
                       std::to_string(map.first_k) + ".." +
                       std::to_string(map.first_k + static_cast<int>(map.bytes) - 1) + "), e.g. \"02";
  for (std::size_t i = 1; i < map.bytes; ++i) faults += " 00";
  faults += '"';
  const std::string dtc =
      "dtc: " + std::string(codes.name) + " code numbers, comma-separated, e.g. \"14,33\" (see gm_layout.md)";
  const CodeOptions options{map, faults, dtc};
  return set_code_option(options, current_, codes.stored_apart ? stored_ : current_, key, value, error);
}

}  // namespace

std::unique_ptr<AldlEcu> make_gm_ecu(const GmModel &model) { return std::make_unique<GmEcu>(model); }

}  // namespace ecusim
