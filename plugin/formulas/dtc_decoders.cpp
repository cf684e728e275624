// Trouble-code decoders: turn the ECU's code answer in the session record into
// the list of code text IDs. Two engines serve all eight routines: one for
// bit-mapped answers, one for the count-and-records answer of KWP2000 0x18.
#include <algorithm>
#include <cstring>

#include "vaz_old.h"

namespace {

constexpr u32 kNoStatus = 0xFFFFFFFFu;

// One bit-mapped answer: the loop positions k, where byte k + offset holds the
// bits of position k, and whether the answer must first be moved to the
// buffer start.
struct BitMap {
  u8 first;
  u8 last;
  u8 offset;
  bool shifted;
};

constexpr BitMap kGmIsfiCurrent{5, 10, 0, false};
constexpr BitMap kGmIsfiStored{5, 10, 7, false};
constexpr BitMap kGmEfi{5, 7, 0, false};
constexpr BitMap kM154Current{9, 11, 0, true};
constexpr BitMap kM72Current{9, 12, 0, true};

// Move the first answer frame to the buffer start, dropping the interface's
// count and length bytes and a long-form format byte, so that the service
// identifier stands at byte 3 in both forms.
void shift_first_frame(u8 *a) {
  const std::size_t from = a[2] == 0x80 ? 3 : 2;
  const std::size_t length = std::min<std::size_t>(a[1], VAZ_ANS_SIZE - from);
  std::memmove(a, a + from, length);
}

bool add_code(u32 id) {
  if (TOKEN_OLD.cDtcNum >= VAZ_DTC_MAX) return false;
  TOKEN_OLD.dwDtcCode[TOKEN_OLD.cDtcNum] = id;
  TOKEN_OLD.dwDtcState[TOKEN_OLD.cDtcNum] = kNoStatus;
  ++TOKEN_OLD.cDtcNum;
  return true;
}

int decode_bits(const BitMap &map) {
  u8 *a = TOKEN_OLD.bAnsBuf;
  if (map.shifted) shift_first_frame(a);
  TOKEN_OLD.cDtcNum = 0;
  for (unsigned k = map.first; k <= map.last; ++k) {
    const u8 bits = a[k + map.offset];
    for (unsigned mask = 1; mask <= 0x80; mask <<= 1) {
      if ((bits & mask) == 0) continue;
      const u32 id = TOKEN_OLD.dwDtcBase + k * 256u + mask;
      // An unknown code also hides the higher bits of its byte.
      if (Find_dtc_in_libfile(id) < 0) break;
      // The list is full: the first 32 codes are kept, the rest dropped.
      if (!add_code(id)) return TOKEN_OLD.cDtcNum;
    }
  }
  return TOKEN_OLD.cDtcNum;
}

// KWP2000 0x18 answer moved to the buffer start: A[4] the count, then three
// bytes per code (high, low, status).
constexpr std::size_t kCountPos = 4;
constexpr std::size_t kFirstRecord = 5;
static_assert(kFirstRecord + 3 * VAZ_DTC_MAX <= VAZ_ANS_SIZE,
              "32 records fit in the answer buffer");

int decode_records() {
  const u8 *a = TOKEN_OLD.bAnsBuf;
  const unsigned count = std::min<unsigned>(a[kCountPos], VAZ_DTC_MAX);
  TOKEN_OLD.cDtcNum = 0;
  for (unsigned i = 0; i < count; ++i) {
    const u8 *record = a + kFirstRecord + 3 * i;
    add_code(TOKEN_OLD.dwDtcBase + record[0] * 256u + record[1]);
  }
  return TOKEN_OLD.cDtcNum;
}

}  // namespace

extern "C" {

VAZ_EXPORT int CalDtc_GM_ISFI_ENG_CUR(void) { return decode_bits(kGmIsfiCurrent); }
VAZ_EXPORT int CalDtc_GM_ISFI_ENG_STORE(void) { return decode_bits(kGmIsfiStored); }
VAZ_EXPORT int CalDtc_GM_EFI(void) { return decode_bits(kGmEfi); }
VAZ_EXPORT int CalDtc_BOSCH_M154_ENG_CURRENT(void) { return decode_bits(kM154Current); }
VAZ_EXPORT int CalDtc_BOSCH_M72_ENG_CURRENT(void) { return decode_bits(kM72Current); }
VAZ_EXPORT int CalDtc_BOSCH_M154_ENG(void) { return decode_records(); }
VAZ_EXPORT int CalDtc_BOSCH_M70_ENG(void) { return decode_records(); }
VAZ_EXPORT int CalDtc_BOSCH_M797_E2_ENG(void) { return decode_records(); }

}  // extern "C"
