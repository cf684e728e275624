// ECU type names for the header of every screen, and the unit the automatic
// detection reports finding.
#include "ecu_title.h"

#include "workbench/ecu_names.h"

namespace vazdiag {

std::string ecu_title(int ecuType) {
  const workbench::EcuName *e = workbench::ecu_by_type(ecuType);
  return e ? e->title : "";
}

int detected_ecu_type(unsigned textId) {
  // The detection's "Control unit found: ..." messages and the types they name.
  static constexpr struct {
    unsigned text;
    int type;
  } kFound[] = {
      {0xFE55102C, 8}, {0xFE55102D, 7}, {0xFE55102E, 3}, {0xFE55102F, 1},
      {0xFE551030, 5}, {0xFE551031, 4}, {0xFE551032, 6},
  };
  for (const auto &f : kFound)
    if (f.text == textId) return f.type;
  return 0;
}

}  // namespace vazdiag
