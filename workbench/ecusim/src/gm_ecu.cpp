// The GM engine: what the models share of reading the block, clearing codes and tester control.
#include "gm_ecu.h"

#include "gm_encode.h"

#include <algorithm>

namespace ecusim {

GmEcu::GmEcu(const GmModel &model)
    : model_(model), current_(model.code_map().bytes, 0), stored_(model.code_map().bytes, 0) {
  on(0x01, [this](const Bytes &d, double t) { return read_block(d, t); });
  if (model_.clear_mode) {
    on(*model_.clear_mode, [this](const Bytes &d, double) -> std::optional<Bytes> {
      if (!d.empty()) return std::nullopt;
      clear_codes();
      return build_aldl(*model_.clear_mode, {});
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
  const bool asked = model_.message ? data.size() == 1 && data[0] == *model_.message : data.empty();
  if (!asked) return std::nullopt;
  return gm::block_answer(block(now_ms));
}

void GmEcu::control(const Bytes &d, double now_ms) {
  const GmModel &m = model_;
  GmControl c;
  c.mask = d[0];
  c.state = d[1];
  if (m.tests_at >= 0) {
    const std::uint8_t tests = d[static_cast<std::size_t>(m.tests_at)];
    if (tests & m.clear_bit) clear_codes();
    c.tests = static_cast<std::uint8_t>(tests & ~m.clear_bit);
    c.tests_until_ms = now_ms + m.tests_ms;
  }
  if (m.modes_at >= 0) c.modes = d[static_cast<std::size_t>(m.modes_at)];
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
            .stored = model_.stored_apart ? stored_ : current_,
            .idle_fixed = idle_fixed(),
            .cleared = cleared_};
  model_.act(b);
  if (!b.closed_loop) b.e.rich = false;
  b.any_current = std::any_of(current_.begin(), current_.end(), [](auto v) { return v != 0; });
  b.lamp = b.forced(kGmLamp, b.any_current);
  b.fan = b.forced(model_.fan, b.e.fan);
  b.ac = b.forced(model_.ac_clutch, b.e.ac_clutch);
  b.purge = c[GmTarget::Purge] ? *c[GmTarget::Purge] : (b.e.canister_purge ? 64.0 : 0.0);
  b.start_coolant = b.idle_fixed ? 90.0 : 20.0;
  b.map_kpa = 33.0 * b.e.rpm / std::max(1.0, b.e.target_rpm);

  Bytes a(model_.last_byte + 1, 0);
  gm::put_word(a, 3, model_.prom_id);
  std::copy(current_.begin(), current_.end(), a.begin() + 5);
  model_.fill(a, b);
  return a;
}

bool GmEcu::set_option(std::string_view key, std::string_view value, std::string &error) {
  const CodeOptions options{model_.code_map(), model_.faults_error, model_.dtc_error};
  return set_code_option(options, current_, model_.stored_apart ? stored_ : current_, key, value, error);
}

}  // namespace ecusim
