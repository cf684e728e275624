// The host's ECU types under their two names: the short one of the command line
// and the history ("m154"), and the one a mechanic knows, shown in screen headers
// and reports ("Bosch M1.5.4"). The units' own names read the same in both
// languages. Shared by vazdiag and the history's report.
#pragma once

#include <string_view>

namespace workbench {

struct EcuName {
  int type;
  const char *name;
  const char *title;
};

// "auto" runs the Bosch detection; the unit found then takes its place.
inline constexpr EcuName kEcuNames[] = {
    {1, "m154", "Bosch M1.5.4"},       {2, "m154-add", "Bosch M1.5.4 (additional functions)"},
    {3, "m154n", "Bosch M1.5.4N"},     {4, "m70-e2", "Bosch M7.0 E2"},
    {5, "m70-e3", "Bosch M7.0 E3"},    {6, "m72", "Bosch M7.2"},
    {7, "m797-e2", "Bosch M7.9.7 E2"}, {8, "m797-e3", "Bosch M7.9.7 E3"},
    {9, "gm-efi", "GM EFI"},           {10, "gm-isfi", "GM ISFI"},
    {11, "auto", "Bosch (detected)"},
};

inline const EcuName *ecu_by_type(int type) {
  for (const EcuName &e : kEcuNames)
    if (e.type == type) return &e;
  return nullptr;
}

inline const EcuName *ecu_by_name(std::string_view name) {
  for (const EcuName &e : kEcuNames)
    if (name == e.name) return &e;
  return nullptr;
}

}  // namespace workbench
