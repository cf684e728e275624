// act_cd_function: after a value test, shows the live data of the current ECU
// so that the user can watch its reaction to the value just set.
#include <array>

#include "actuators/act_host.h"
#include "core/session_record.h"

namespace {

struct LiveData {
  u32 nameList;
  CALC_CD_FN formula;
  bool userSelects;  // pick items first instead of showing the whole list
};

// Indexed by wEcuVariant; M7.2 runs as VAZ_VARIANT_M154N and so shows the M1.5.4N list.
constexpr std::array<LiveData, 9> kLiveData{{
    {0x58200000, CalCd_GM_ISFI_ENG, false},
    {0x58200200, CalCd_GM_EFI_ENG, false},
    {0x58200400, CalCd_BOSCH_M154_ENG, false},
    {0x58200400, CalCd_BOSCH_M154_ENG, true},
    {0x58200500, CalCd_BOSCH_M154N_ENG, false},
    {0x58200800, CalCd_BOSCH_M70_ENG, false},
    {0x58200D00, CalCd_BOSCH_M70_E3_ENG, false},
    {0x58200F00, CalCd_BOSCH_M797_E2_ENG, false},
    {0x58201000, CalCd_BOSCH_M797_E3_ENG, false},
}};
static_assert(kLiveData.size() == VAZ_VARIANT_M797_E3 + 1);

}  // namespace

extern "C" {

VAZ_EXPORT int act_cd_function(void) {
  const u16 variant = vaz::ecu_variant();
  if (variant >= kLiveData.size()) return 1;
  const LiveData &d = kLiveData[variant];
  vaz::function_code() = FC_STREAM;
  pFCalcCD = d.formula;
  if (GetData_ECU_CD(d.nameList, VAZ_NO_LIST) == -1) return -1;
  const int r = d.userSelects ? CurrentData_SingleCom_Allcal() : CurrentData_SingleCom_Allcal_DisplayAll();
  return r != 0 ? -1 : 1;
}

}  // extern "C"
