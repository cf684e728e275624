// The host's ECU types under their two names: the short one of the command line
// and the history ("m154"), and the one a mechanic knows, shown in screen headers
// and reports ("Bosch M1.5.4"), with the simulated car that stands for each and the
// words of vazdiag's --help. The units' own names read the same in both languages.
// Shared by vazdiag's options, its screen headers and the history's report.
#pragma once

#include <string_view>

namespace workbench {

struct EcuName {
  int type;
  const char *name;
  const char *title;
  const char *car;      // the simulated car that stands for it
  const char *help;     // what it is, as vazdiag's --help and list of names say
  bool family = false;  // a family's bare name, standing in for its detected variant
};

// The names vazdiag's --ecu takes, in the order its --help lists them. A family with two
// variants (E2 and E3) by its bare name runs the Bosch detection, which tells the variants
// apart; "auto" runs it for any Bosch unit. The unit found then takes its place, so a
// family's name is never looked up by type nor stored.
inline constexpr EcuName kEcuNames[] = {
    {1, "m154", "Bosch M1.5.4", "m154", "Bosch M1.5.4"},
    {2, "m154-add", "Bosch M1.5.4 (additional functions)", "m154-add", "Bosch M1.5.4 with additional functions"},
    {3, "m154n", "Bosch M1.5.4N", "m154n", "Bosch M1.5.4N"},
    {4, "m70-e2", "Bosch M7.0 E2", "m70-e2", "Bosch M7.0 E2"},
    {5, "m70-e3", "Bosch M7.0 E3", "m70-e3", "Bosch M7.0 E3"},
    {11, "m70", "", "m70-e3", "Bosch M7.0, E2 or E3 as detected on the line", true},
    {6, "m72", "Bosch M7.2", "m72", "Bosch M7.2"},
    {7, "m797-e2", "Bosch M7.9.7 E2", "m797-e2", "Bosch M7.9.7 E2"},
    {8, "m797-e3", "Bosch M7.9.7 E3", "m797-e3", "Bosch M7.9.7 E3"},
    {11, "m797", "", "m797-e3", "Bosch M7.9.7, E2 or E3 as detected on the line", true},
    {9, "gm-efi", "GM EFI", "gm-efi", "GM EFI (ALDL)"},
    {10, "gm-isfi", "GM ISFI", "gm-isfi", "GM ISFI (ALDL)"},
    {11, "auto", "Bosch (detected)", "m154", "whichever Bosch ECU the detection finds on the K line"},
};

inline const EcuName *ecu_by_type(int type) {
  for (const EcuName &e : kEcuNames)
    if (e.type == type && !e.family) return &e;
  return nullptr;
}

inline const EcuName *ecu_by_name(std::string_view name) {
  for (const EcuName &e : kEcuNames)
    if (name == e.name && !e.family) return &e;
  return nullptr;
}

}  // namespace workbench
