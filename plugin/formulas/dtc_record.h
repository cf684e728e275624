// The part of the session record the trouble-code decoders fill: the codes of
// the last read with their states, and the text ID base they count from.
#ifndef VAZ_FORMULAS_DTC_RECORD_H
#define VAZ_FORMULAS_DTC_RECORD_H

#include "vaz_old.h"

namespace vaz {

// The current menu entry's code-text list; a code's text is base + its number.
inline u32 &dtc_base() { return TOKEN_OLD.dwDtcBase; }
inline u8 &dtc_count() { return TOKEN_OLD.cDtcNum; }
inline u32 (&dtc_codes())[VAZ_DTC_MAX] { return TOKEN_OLD.dwDtcCode; }
inline u32 (&dtc_states())[VAZ_DTC_MAX] { return TOKEN_OLD.dwDtcState; }

}  // namespace vaz

#endif
