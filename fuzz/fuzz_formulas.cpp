// Fuzz target of the data and identification formulas: every CalCd_* and
// CalcInfo_* routine over an arbitrary 344-byte answer and item number.
//
// Input: bytes 0-1 the item number (byte 1 below 0x80: byte 0 alone; else
// both bytes little-endian), byte 2 the item type, the rest the answer
// (zero-filled to 344 bytes).
#include <algorithm>
#include <cstdint>
#include <cstring>
#include <iterator>
#include <memory>

#include "vaz_old.h"

namespace {

constexpr CALC_CD_FN kRoutines[] = {
    CalCd_BOSCH_M154_ENG,
    CalCd_BOSCH_M154N_ENG,
    CalCd_BOSCH_M154N_ADC_ENG,
    CalCd_BOSCH_M154_ADD_ADC_ENG,
    CalCd_BOSCH_M70_ENG,
    CalCd_BOSCHM70_ADC_ENG,
    CalCd_BOSCH_M70_E3_ENG,
    CalCd_BOSCH_M797_E2_ENG,
    CalCd_BOSCH_M797_E3_ENG,
    CalCd_BOSCH_M797_E2_E3_ADC_ENG,
    CalCd_BOSCH_M797_E2_E3_IMM_ENG,
    CalCd_BOSCH_M72_ENG_1,
    CalCd_BOSCH_M72_ADC_ENG,
    CalCd_BOSCH_M72_ENG,
    CalCd_GM_ISFI_ENG,
    CalCd_GM_ISFI_ENG_WORKFLAGS,
    CalCd_GM_EFI_ENG,
    CalCd_GM_EFI_ENG_WORKFLAGS,
    CalcInfo_BOSCH_M154_ENG,
    CalcInfo_BOSCH_M70_ENG,
    CalcInfo_BOSCH_M797_E2_ENG,
};

// The display host's text service as the plug-in calls it: at most size - 1
// characters and the terminator.
int fake_text(u32 textId, char *out, int size) {
  if (out == nullptr || size <= 0) return 0;
  const char *text = (textId & 1) ? "ON" : "a state text of some length";
  const std::size_t n = std::min<std::size_t>(std::strlen(text), static_cast<std::size_t>(size) - 1);
  std::memcpy(out, text, n);
  out[n] = '\0';
  return static_cast<int>(n);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size) {
  if (size < 3) return 0;
  GetTextFromTextLib = fake_text;
  // Small item numbers (in and just past every list) are the common case;
  // with the top bit of byte 1 set any 16-bit number is tried.
  const u16 item = (data[1] & 0x80) ? static_cast<u16>(data[0] | data[1] << 8) : data[0];
  const u8 itemType = data[2];

  // Exact-size heap blocks: the answer buffer of the session record and the
  // 256-byte result string.
  auto answer = std::make_unique<u8[]>(VAZ_ANS_SIZE);
  std::memcpy(answer.get(), data + 3, std::min<std::size_t>(size - 3, VAZ_ANS_SIZE));
  auto out = std::make_unique<char[]>(sizeof CSTRING);
  for (CALC_CD_FN routine : kRoutines) {
    out[0] = '\0';
    routine(item, answer.get(), out.get(), itemType, 0);
    // The result must be a terminated string within its buffer.
    if (std::memchr(out.get(), '\0', sizeof CSTRING) == nullptr) __builtin_trap();
  }
  return 0;
}
