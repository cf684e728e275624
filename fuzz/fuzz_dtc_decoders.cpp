// Fuzz target of the trouble-code decoders: every CalDtc_* routine over an
// arbitrary answer in the session record, with a fake trouble-code text file
// that knows some codes and not others.
//
// Input: bytes 0-3 the code base (dwDtcBase), byte 4 which codes the text file
// knows (a code is known when bit (code & 7) of it is set), the rest the
// answer (zero-filled to 344 bytes).
#include <algorithm>
#include <cstdint>
#include <cstring>

#include "vaz_old.h"

namespace {

constexpr CALC_DTC_FN kDecoders[] = {
    CalDtc_GM_ISFI_ENG_CUR,       CalDtc_GM_ISFI_ENG_STORE, CalDtc_GM_EFI,        CalDtc_BOSCH_M154_ENG_CURRENT,
    CalDtc_BOSCH_M72_ENG_CURRENT, CalDtc_BOSCH_M154_ENG,    CalDtc_BOSCH_M70_ENG, CalDtc_BOSCH_M797_E2_ENG,
};

u8 gKnown = 0;
char gFileName[] = "DTCTEXT.TXT";
int gHandle = 0;

char *fake_file_name(int) { return gFileName; }
void *fake_open(const char *path) { return path != nullptr ? &gHandle : nullptr; }
int fake_close(void *) { return 0; }
int fake_search(const u8 *key, u8 *out, int maxLength, void *handle) {
  if (key == nullptr || handle != &gHandle) __builtin_trap();  // the decoder passes what it opened
  if (((gKnown >> (key[3] & 7)) & 1) == 0) return 0;
  if (out != nullptr && maxLength > 0) out[0] = 0x20;
  return 1;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size) {
  if (size < 5) return 0;
  GetFileNameText = fake_file_name;
  SearchIdOpenFile = fake_open;
  SearchIdCloseFile = fake_close;
  IdSearch = fake_search;
  gKnown = data[4];
  const u32 base =
      static_cast<u32>(data[0]) << 24 | static_cast<u32>(data[1]) << 16 | static_cast<u32>(data[2]) << 8 | data[3];
  const std::size_t answerBytes = std::min<std::size_t>(size - 5, VAZ_ANS_SIZE);

  for (CALC_DTC_FN decode : kDecoders) {
    // Each decoder sees the answer as received (the shifting ones move it).
    std::memset(TOKEN_OLD.bAnsBuf, 0, VAZ_ANS_SIZE);
    std::memcpy(TOKEN_OLD.bAnsBuf, data + 5, answerBytes);
    TOKEN_OLD.dwDtcBase = base;
    TOKEN_OLD.cDtcNum = 0xFF;  // left over from an earlier read
    const int count = decode();
    if (count < 0 || count > VAZ_DTC_MAX || count != TOKEN_OLD.cDtcNum) __builtin_trap();
  }
  return 0;
}
