// The part of the session record every layer works with: the answer buffer, the
// current function code and ECU variant, the simulation mode and the value text.
// The other parts belong to the layer that fills them (link/item_record.h,
// formulas/dtc_record.h, actuators/co_record.h); nothing else names the record.
#ifndef VAZ_CORE_SESSION_RECORD_H
#define VAZ_CORE_SESSION_RECORD_H

#include <cstring>

#include "vaz_old.h"

namespace vaz {

// The answers of the last exchange: frame count, then length byte and frame per answer.
inline u8 (&answer_buffer())[VAZ_ANS_SIZE] { return TOKEN_OLD.bAnsBuf; }
// What the current comm routine is asked to do (FC_*).
inline u8 &function_code() { return TOKEN_OLD.cFuncCode; }
// VAZ_VARIANT_*: picks parameter-file records and live-data lists.
inline u16 &ecu_variant() { return TOKEN_OLD.wEcuVariant; }
// VAZ_SIMULATE_*: the first byte of the simulation word, whatever the byte order.
inline u8 simulation_mode() {
  u8 first = 0;
  std::memcpy(&first, &TOKEN_OLD.wSimulate, 1);
  return first;
}
// One formatted value, handed to the display.
inline char (&value_text())[VAZ_CSTRING_SIZE] { return CSTRING; }
// A new session starts from a zeroed record.
inline void clear_session_record() { std::memset(&TOKEN_OLD, 0, sizeof TOKEN_OLD); }

}  // namespace vaz

#endif
