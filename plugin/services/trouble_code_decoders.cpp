// The exported trouble-code decoders: the formula layer's engines, wired to
// the host's trouble-code text file so that a bit-mapped answer lists only
// codes it knows.
#include "formulas/dtc_decoders.h"

namespace {

using namespace vaz::formulas;

bool code_known(u32 textId) { return Find_dtc_in_libfile(textId) == VAZ_LOOKUP_FOUND; }

}  // namespace

extern "C" {

VAZ_EXPORT int CalDtc_GM_ISFI_ENG_CUR(void) { return decode_bits(kGmIsfiCurrent, code_known); }
VAZ_EXPORT int CalDtc_GM_ISFI_ENG_STORE(void) { return decode_bits(kGmIsfiStored, code_known); }
VAZ_EXPORT int CalDtc_GM_EFI(void) { return decode_bits(kGmEfi, code_known); }
VAZ_EXPORT int CalDtc_BOSCH_M154_ENG_CURRENT(void) { return decode_bits(kM154Current, code_known); }
VAZ_EXPORT int CalDtc_BOSCH_M72_ENG_CURRENT(void) { return decode_bits(kM72Current, code_known); }
VAZ_EXPORT int CalDtc_BOSCH_M154_ENG(void) { return decode_records(); }
VAZ_EXPORT int CalDtc_BOSCH_M70_ENG(void) { return decode_records(); }
VAZ_EXPORT int CalDtc_BOSCH_M797_E2_ENG(void) { return decode_records(); }

}  // extern "C"
