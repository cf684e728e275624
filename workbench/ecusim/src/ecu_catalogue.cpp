// Catalogue of simulated cars: name -> ECU model.
#include "ecusim/ecu_catalogue.h"

#include "ecusim/gm_ecu.h"
#include "ecusim/m154_ecu.h"
#include "ecusim/m7_ecu.h"

#include <array>
#include <stdexcept>

namespace ecusim {
namespace {

struct Entry {
  std::string_view name;
  std::unique_ptr<KwpEcu> (*make)(std::string_view name);
};

std::unique_ptr<KwpEcu> make_m154(std::string_view name) { return std::make_unique<M154Ecu>(m154_variant(name)); }
std::unique_ptr<KwpEcu> make_m7(std::string_view name) { return std::make_unique<M7Ecu>(*m7_model(name)); }
std::unique_ptr<KwpEcu> make_none(std::string_view) { return nullptr; }

constexpr std::array<Entry, 9> kCars{{
    {"m154", make_m154},
    {"m154-add", make_m154},
    {"m154n", make_m154},
    {"none", make_none},
    {"m70-e2", make_m7},
    {"m70-e3", make_m7},
    {"m797-e2", make_m7},
    {"m797-e3", make_m7},
    {"m72", make_m7},
}};

// The GM cars sit on the ALDL line; the K line stays silent for them.
struct AldlEntry {
  std::string_view name;
  std::unique_ptr<AldlEcu> (*make)();
};
constexpr std::array<AldlEntry, 2> kAldlCars{{
    {"gm-isfi", make_gm_isfi_ecu},
    {"gm-efi", make_gm_efi_ecu},
}};

bool aldl_car(std::string_view name) {
  for (const auto &c : kAldlCars)
    if (c.name == name) return true;
  return false;
}

// The generic OBD-II cars sit on a bus of their own.
struct ObdEntry {
  std::string_view name;
  ObdBus bus;
};
constexpr std::array<ObdEntry, 2> kObdCars{{
    {"obd-iso", ObdBus::Iso9141},
    {"obd-pwm", ObdBus::J1850Pwm},
}};

const ObdEntry *obd_car(std::string_view name) {
  for (const auto &c : kObdCars)
    if (c.name == name) return &c;
  return nullptr;
}

}  // namespace

bool known_car(std::string_view name) {
  for (const auto &c : kCars)
    if (c.name == name) return true;
  return aldl_car(name) || obd_car(name) != nullptr;
}

std::unique_ptr<KwpEcu> make_ecu(std::string_view name) {
  if (aldl_car(name) || obd_car(name)) return nullptr;
  for (const auto &c : kCars)
    if (c.name == name) return c.make(name);
  throw std::out_of_range("unknown car " + std::string(name));
}

std::string car_names() {
  std::string s;
  for (const auto &c : kCars) {
    if (!s.empty()) s += ", ";
    s += c.name;
  }
  for (const auto &c : kAldlCars) s += ", " + std::string(c.name);
  for (const auto &c : kObdCars) s += ", " + std::string(c.name);
  return s;
}

std::unique_ptr<AldlEcu> make_aldl_ecu(std::string_view name) {
  for (const auto &c : kAldlCars)
    if (c.name == name) return c.make();
  return nullptr;
}

std::unique_ptr<ObdEcu> make_obd_ecu(std::string_view name) {
  const ObdEntry *c = obd_car(name);
  return c ? std::make_unique<ObdEcu>(c->bus) : nullptr;
}

}  // namespace ecusim
