// The lists of the golden file and the runner of one golden answer.
#include "golden_lists.h"

#include <array>
#include <cstdio>

namespace vaz::test {
namespace {

// M1.5.4 and its add-on variant share the data list; M7.2's older list repeats
// the M1.5.4N rows and has no names of its own.
constexpr std::array kLists{
    GoldenList{"m154", "CalCd_BOSCH_M154_ENG", CalCd_BOSCH_M154_ENG, 34, 'D', false, 0x58200400},
    GoldenList{"m154add", "CalCd_BOSCH_M154_ADD_ADC_ENG", CalCd_BOSCH_M154_ADD_ADC_ENG, 5, 'D', false, 0x58200600},
    GoldenList{"m154n", "CalCd_BOSCH_M154N_ENG", CalCd_BOSCH_M154N_ENG, 37, 'D', false, 0x58200500},
    GoldenList{"m154n", "CalCd_BOSCH_M154N_ADC_ENG", CalCd_BOSCH_M154N_ADC_ENG, 6, 'D', false, 0x58200700},
    GoldenList{"m154", "CalcInfo_BOSCH_M154_ENG", CalcInfo_BOSCH_M154_ENG, 11, 'D', true, 0x58200A00},
    GoldenList{"m72", "CalCd_BOSCH_M72_ENG_1", CalCd_BOSCH_M72_ENG_1, 39, 'D', false, 0x58201128},
    GoldenList{"m72", "CalCd_BOSCH_M72_ADC_ENG", CalCd_BOSCH_M72_ADC_ENG, 7, 'D', false, 0x58201150},
    GoldenList{"m72", "CalCd_BOSCH_M72_ENG", CalCd_BOSCH_M72_ENG, 38, 'D', false, 0},
    GoldenList{"m70", "CalCd_BOSCH_M70_ENG", CalCd_BOSCH_M70_ENG, 34, 'D', false, 0x58200800},
    GoldenList{"m70", "CalCd_BOSCHM70_ADC_ENG", CalCd_BOSCHM70_ADC_ENG, 6, 'D', false, 0x58200900},
    GoldenList{"m70", "CalCd_BOSCH_M70_E3_ENG", CalCd_BOSCH_M70_E3_ENG, 95, 'D', false, 0x58200D00},
    GoldenList{"m70", "CalcInfo_BOSCH_M70_ENG", CalcInfo_BOSCH_M70_ENG, 7, 'D', true, 0x58200B00},
    GoldenList{"m797", "CalCd_BOSCH_M797_E2_ENG", CalCd_BOSCH_M797_E2_ENG, 56, 'D', false, 0x58200F00},
    GoldenList{"m797", "CalCd_BOSCH_M797_E3_ENG", CalCd_BOSCH_M797_E3_ENG, 65, 'D', false, 0x58201000},
    GoldenList{"m797", "CalCd_BOSCH_M797_E2_E3_ADC_ENG", CalCd_BOSCH_M797_E2_E3_ADC_ENG, 10, 'D', false, 0x58200F50},
    GoldenList{"m797", "CalCd_BOSCH_M797_E2_E3_IMM_ENG", CalCd_BOSCH_M797_E2_E3_IMM_ENG, 7, 'D', false, 0x58200F64},
    GoldenList{"m797", "CalcInfo_BOSCH_M797_E2_ENG", CalcInfo_BOSCH_M797_E2_ENG, 11, 'D', true, 0x58200E00},
    GoldenList{"gm_isfi", "CalCd_GM_ISFI_ENG", CalCd_GM_ISFI_ENG, 28, 'A', false, 0x58200000},
    GoldenList{"gm_isfi", "CalCd_GM_ISFI_ENG_WORKFLAGS", CalCd_GM_ISFI_ENG_WORKFLAGS, 58, 'A', false, 0x58200100},
    GoldenList{"gm_efi", "CalCd_GM_EFI_ENG", CalCd_GM_EFI_ENG, 40, 'A', false, 0x58200200},
    GoldenList{"gm_efi", "CalCd_GM_EFI_ENG_WORKFLAGS", CalCd_GM_EFI_ENG_WORKFLAGS, 31, 'A', false, 0x58200300},
};

}  // namespace

std::span<const GoldenList> golden_lists() { return kLists; }

const GoldenList *find_golden_list(std::string_view name) {
  for (const GoldenList &l : kLists) {
    if (name == l.name) return &l;
  }
  return nullptr;
}

std::string run_golden(const GoldenList &list, u16 item, const GoldenBytes &bytes) {
  const auto saved = GetTextFromTextLib;
  GetTextFromTextLib = fake_text;
  std::string out;
  if (list.where == 'D') {
    Bytes d;
    for (const auto &[pos, value] : bytes) d.emplace_back(pos, value);
    out = run_item(list.fn, item, d);
  } else {
    AnswerBuf a{};
    for (const auto &[pos, value] : bytes) a[static_cast<std::size_t>(pos)] = value;
    char text[256];
    std::snprintf(text, sizeof text, "%s", kUntouched);
    list.fn(item, a.data(), text, 0, 0);
    out = text;
  }
  GetTextFromTextLib = saved;
  return out;
}

std::string format_bytes(char where, const GoldenBytes &bytes) {
  std::string s;
  for (const auto &[pos, value] : bytes) {
    char token[16];
    std::snprintf(token, sizeof token, "%s%c%d=%02X", s.empty() ? "" : " ", where, pos, value);
    s += token;
  }
  return s;
}

}  // namespace vaz::test
