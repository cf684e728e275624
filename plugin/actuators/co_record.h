// The part of the session record the CO adjustment keeps between its steps:
// the write and restore frames, where the value byte sits and its value.
#ifndef VAZ_ACTUATORS_CO_RECORD_H
#define VAZ_ACTUATORS_CO_RECORD_H

#include "vaz_old.h"

namespace vaz {

inline u8 (&co_frame())[sizeof TOKEN_OLD.bCoFrame] { return TOKEN_OLD.bCoFrame; }
inline u8 (&co_restore_frame())[sizeof TOKEN_OLD.bCoRestore] { return TOKEN_OLD.bCoRestore; }
inline u32 &co_value_at() { return TOKEN_OLD.dwCoPos; }
inline u8 &co_value() { return TOKEN_OLD.cCoValue; }

}  // namespace vaz

#endif
