// The function menus of the ten ECUs, as data.
#include "session/menu_model.h"

namespace vaz::menu {
namespace {

constexpr Routine kAllcal = CurrentData_SingleCom_Allcal;
constexpr Routine kSingleCalc = CurrentData_SingleCom_SingleCalc;
constexpr Routine kDisplayAll = CurrentData_SingleCom_Allcal_DisplayAll;

constexpr Entry kGmIsfi[] = {
    codes(FC_CODES, CalDtc_GM_ISFI_ENG_CUR, 0x58300000),
    codes(FC_CODES, CalDtc_GM_ISFI_ENG_STORE, 0x58300000),
    erase(),
    data_list(FC_STREAM, CalCd_GM_ISFI_ENG, 0x58200000, kAllcal),
    data_list(FC_STREAM, CalCd_GM_ISFI_ENG_WORKFLAGS, 0x58200100, kAllcal),
    test(ACT_GM_ISFI),
};

constexpr Entry kGmEfi[] = {
    codes(FC_CODES, CalDtc_GM_EFI, 0x58400000),
    erase(),
    data_list(FC_STREAM, CalCd_GM_EFI_ENG, 0x58200200, kAllcal),
    data_list(FC_STREAM, CalCd_GM_EFI_ENG_WORKFLAGS, 0x58200300, kAllcal),
    test(ACT_GM_EFI),
};

constexpr Entry kM154[] = {
    identification(CalcInfo_BOSCH_M154_ENG, VAZ_NAMES_IDENT_M154, 0x58300300),
    codes(FC_CURCODES, CalDtc_BOSCH_M154_ENG_CURRENT, 0x58600000),
    codes(FC_CODES, CalDtc_BOSCH_M154_ENG, 0x58200000),
    erase(),
    data_list(FC_STREAM, CalCd_BOSCH_M154_ENG, 0x58200400, kAllcal),
    test(BOSCH_M154_MISC_TEST),
    test(ACT_BOSCH_M154_ENG_X),
    data_list(FC_ADC, CalCd_BOSCH_M154N_ADC_ENG, 0x58200700, kAllcal),
};

constexpr Entry kM154Add[] = {
    identification(CalcInfo_BOSCH_M154_ENG, VAZ_NAMES_IDENT_M154, 0x58300300),
    codes(FC_CURCODES, CalDtc_BOSCH_M154_ENG_CURRENT, 0x58600000),
    codes(FC_CODES, CalDtc_BOSCH_M154_ENG, 0x58200000),
    erase(),
    data_list(FC_STREAM, CalCd_BOSCH_M154_ENG, 0x58200400, kAllcal),
    data_list(FC_ADC, CalCd_BOSCH_M154_ADD_ADC_ENG, 0x58200600, kAllcal),
    test(BOSCH_M154_MISC_TEST),
    test(ACT_BOSCH_M154_ENG),
};

constexpr Entry kM154N[] = {
    identification(CalcInfo_BOSCH_M154_ENG, VAZ_NAMES_IDENT_M154, 0x58300300),
    codes(FC_CURCODES, CalDtc_BOSCH_M154_ENG_CURRENT, 0x58600000),
    codes(FC_CODES, CalDtc_BOSCH_M154_ENG, 0x58200000),
    erase(),
    data_list(FC_STREAM, CalCd_BOSCH_M154N_ENG, 0x58200500, kAllcal),
    data_list(FC_ADC, CalCd_BOSCH_M154N_ADC_ENG, 0x58200700, kAllcal),
    test(BOSCH_M154_MISC_TEST),
    test(ACT_BOSCH_M154_ENG),
};

constexpr Entry kM72[] = {
    identification(CalcInfo_BOSCH_M154_ENG, VAZ_NAMES_IDENT_M154, 0x58300300),
    codes(FC_CURCODES, CalDtc_BOSCH_M72_ENG_CURRENT, 0x58C00000),
    codes(FC_CODES, CalDtc_BOSCH_M154_ENG, 0x58B00000),
    erase(),
    data_list(FC_STREAM, CalCd_BOSCH_M72_ENG_1, 0x58201128, kAllcal),
    data_list(FC_ADC, CalCd_BOSCH_M72_ADC_ENG, 0x58201150, kAllcal),
    test(BOSCH_M72_MISC_TEST),
    test(ACT_BOSCH_M72_ENG),
};

// Entries 1 and 2 of the M7.0 menus make the same read.
constexpr Entry kM70E2[] = {
    identification(CalcInfo_BOSCH_M70_ENG, VAZ_NAMES_IDENT_M70_E2, 0x58300400),
    codes(FC_CODES, CalDtc_BOSCH_M70_ENG, 0x58700000),
    codes(FC_CODES, CalDtc_BOSCH_M70_ENG, 0x58700000),
    erase(),
    data_list(FC_STREAM, CalCd_BOSCH_M70_ENG, 0x58200800, kAllcal),
    data_list(FC_ADC, CalCd_BOSCHM70_ADC_ENG, 0x58200900, kAllcal, 0x58300100),
    test(ACT_BOSCH_M70_ENG),
};

constexpr Entry kM70E3[] = {
    identification(CalcInfo_BOSCH_M70_ENG, VAZ_NAMES_IDENT_M70_E3, 0x58300500),
    codes(FC_CODES, CalDtc_BOSCH_M70_ENG, 0x58800000),
    codes(FC_CODES, CalDtc_BOSCH_M70_ENG, 0x58800000),
    erase(),
    data_list(FC_STREAM, CalCd_BOSCH_M70_E3_ENG, 0x58200D00, kAllcal),
    data_list(FC_ADC, CalCd_BOSCHM70_ADC_ENG, 0x58200900, kSingleCalc, 0x58300100),
    test(ACT_BOSCH_M70_ENG),
};

constexpr Entry kM797E2[] = {
    identification(CalcInfo_BOSCH_M797_E2_ENG, VAZ_NAMES_IDENT_M797, 0x58300600),
    codes(FC_CODES, CalDtc_BOSCH_M797_E2_ENG, 0x58900000),
    erase(),
    data_list(FC_STREAM, CalCd_BOSCH_M797_E2_ENG, 0x58200F00, kAllcal),
    data_list(FC_ADC, CalCd_BOSCH_M797_E2_E3_ADC_ENG, 0x58200F50, kAllcal),
    data_list(FC_IMMO, CalCd_BOSCH_M797_E2_E3_IMM_ENG, 0x58200F64, kDisplayAll),
    test(BOSCH_M797_MISC_TEST),
    test(ACT_BOSCH_M797_ENG),
};

constexpr Entry kM797E3[] = {
    identification(CalcInfo_BOSCH_M797_E2_ENG, VAZ_NAMES_IDENT_M797, 0x58300600),
    codes(FC_CODES, CalDtc_BOSCH_M797_E2_ENG, 0x58900000),
    erase(),
    data_list(FC_STREAM, CalCd_BOSCH_M797_E3_ENG, 0x58201000, kAllcal),
    data_list(FC_ADC, CalCd_BOSCH_M797_E2_E3_ADC_ENG, 0x58200F50, kAllcal),
    data_list(FC_IMMO, CalCd_BOSCH_M797_E2_E3_IMM_ENG, 0x58200F64, kDisplayAll),
    test(BOSCH_M797_MISC_TEST),
    test(ACT_BOSCH_M797_ENG),
};

// ECU variant code, comm routine, menu text, entries.
constexpr Menu kIsfi{VAZ_VARIANT_GM_ISFI, Comm_GM_ISFI_ENG, VAZ_MENU_GM_ISFI, kGmIsfi};
constexpr Menu kEfi{VAZ_VARIANT_GM_EFI, Comm_GM_EFI_ENG, VAZ_MENU_GM_EFI, kGmEfi};
constexpr Menu kBoschM154{VAZ_VARIANT_M154, Comm_BOSCH_M154_ENG, VAZ_MENU_M154, kM154};
constexpr Menu kBoschM154Add{VAZ_VARIANT_M154_ADD, Comm_BOSCH_M154_ENG, VAZ_MENU_M154_FAMILY, kM154Add};
constexpr Menu kBoschM154N{VAZ_VARIANT_M154N, Comm_BOSCH_M154_ENG, VAZ_MENU_M154_FAMILY, kM154N};
constexpr Menu kBoschM72{VAZ_VARIANT_M154N, Comm_BOSCH_M154_ENG, VAZ_MENU_M154_FAMILY, kM72};
constexpr Menu kBoschM70E2{VAZ_VARIANT_M70_E2, Comm_BOSCH_M70_ENG, VAZ_MENU_M70, kM70E2};
constexpr Menu kBoschM70E3{VAZ_VARIANT_M70_E3, Comm_BOSCH_M70_ENG, VAZ_MENU_M70, kM70E3};
constexpr Menu kBoschM797E2{VAZ_VARIANT_M797_E2, Comm_BOSCH_M797_E2_ENG, VAZ_MENU_M797, kM797E2};
constexpr Menu kBoschM797E3{VAZ_VARIANT_M797_E3, Comm_BOSCH_M797_E3_ENG, VAZ_MENU_M797, kM797E3};

}  // namespace
}  // namespace vaz::menu

extern "C" {

VAZ_EXPORT int DIAG_GM_ISFI(void) { return vaz::menu::run_menu(vaz::menu::kIsfi); }
VAZ_EXPORT int DIAG_GM_EFI(void) { return vaz::menu::run_menu(vaz::menu::kEfi); }
VAZ_EXPORT int DIAG_BOSCH_M154(void) { return vaz::menu::run_menu(vaz::menu::kBoschM154); }
VAZ_EXPORT int DIAG_BOSCH_M154_ADD(void) { return vaz::menu::run_menu(vaz::menu::kBoschM154Add); }
VAZ_EXPORT int DIAG_BOSCH_M154N(void) { return vaz::menu::run_menu(vaz::menu::kBoschM154N); }
VAZ_EXPORT int DIAG_BOSCH_M72(void) { return vaz::menu::run_menu(vaz::menu::kBoschM72); }
VAZ_EXPORT int DIAG_BOSCH_M70_E2(void) { return vaz::menu::run_menu(vaz::menu::kBoschM70E2); }
VAZ_EXPORT int DIAG_BOSCH_M70_E3(void) { return vaz::menu::run_menu(vaz::menu::kBoschM70E3); }
VAZ_EXPORT int DIAG_BOSCH_M797_E2(void) { return vaz::menu::run_menu(vaz::menu::kBoschM797E2); }
VAZ_EXPORT int DIAG_BOSCH_M797_E3(void) { return vaz::menu::run_menu(vaz::menu::kBoschM797E3); }

}  // extern "C"
