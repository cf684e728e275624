// ECU type names for the header of every screen, and the unit the automatic
// detection reports finding.
#include "ecu_title.h"

#include "vaz_contracts.h"
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
      {VAZ_TEXT_FOUND_M797_E3, VAZ_ECU_TYPE_M797_E3}, {VAZ_TEXT_FOUND_M797_E2, VAZ_ECU_TYPE_M797_E2},
      {VAZ_TEXT_FOUND_M154N, VAZ_ECU_TYPE_M154N},     {VAZ_TEXT_FOUND_M154, VAZ_ECU_TYPE_M154},
      {VAZ_TEXT_FOUND_M70_E3, VAZ_ECU_TYPE_M70_E3},   {VAZ_TEXT_FOUND_M70_E2, VAZ_ECU_TYPE_M70_E2},
      {VAZ_TEXT_FOUND_M72, VAZ_ECU_TYPE_M72},
  };
  for (const auto &f : kFound)
    if (f.text == textId) return f.type;
  return 0;
}

}  // namespace vazdiag
