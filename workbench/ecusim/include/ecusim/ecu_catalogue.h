// The simulated cars the workbench knows, by name.
#pragma once

#include "ecusim/aldl_ecu.h"
#include "ecusim/kwp_ecu.h"
#include "ecusim/obd_ecu.h"

#include <memory>
#include <string>
#include <string_view>

namespace ecusim {

// The ECU of the named car; null for "none" (a silent line). Throws std::out_of_range for
// an unknown name.
std::unique_ptr<KwpEcu> make_ecu(std::string_view name);
bool known_car(std::string_view name);
// "m154, m154-add, m154n, none"
std::string car_names();
// The ALDL ECU of a GM car ("gm-isfi", "gm-efi"); null for the K-line cars, which in
// turn have no K-line ECU for the GM names (make_ecu gives null).
std::unique_ptr<AldlEcu> make_aldl_ecu(std::string_view name);
// The generic OBD-II responder of "obd-iso" (ISO 9141-2) or "obd-pwm" (J1850 PWM); null
// for the other cars, which make_ecu and make_aldl_ecu give none for these names.
std::unique_ptr<ObdEcu> make_obd_ecu(std::string_view name);

}  // namespace ecusim
