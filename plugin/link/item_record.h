// The part of the session record the ECU parameter file fills: the directory's
// table addresses, the item list with its request head and the actuator list.
// The services and the actuator tests read the item list through here.
#ifndef VAZ_LINK_ITEM_RECORD_H
#define VAZ_LINK_ITEM_RECORD_H

#include "vaz_old.h"

namespace vaz {

inline u16 &library_parameter() { return TOKEN_OLD.wLibParam; }
// Where the directory record puts each table in the parameter file (0 = none).
inline u32 &dtc_table_at() { return TOKEN_OLD.dwLibDtcAddr; }
inline u32 &item_table_at() { return TOKEN_OLD.dwLibCdAddr; }
inline u32 &second_table_at() { return TOKEN_OLD.dwLibAddr2; }
inline u32 &third_table_at() { return TOKEN_OLD.dwLibAddr3; }
inline u32 &actuator_table_at() { return TOKEN_OLD.dwLibActAddr; }

// The current item list (data stream or identification), at most VAZ_CD_MAX.
inline u16 &item_count() { return TOKEN_OLD.wCdNum; }
inline CD_ITEM (&items())[VAZ_CD_MAX] { return TOKEN_OLD.CdItem; }
inline u8 &item_head_length() { return TOKEN_OLD.cCdHeadLen; }
inline u8 (&item_head())[sizeof TOKEN_OLD.bCdHead] { return TOKEN_OLD.bCdHead; }

inline u8 &actuator_count() { return TOKEN_OLD.cActNum; }
inline ACT_ITEM (&actuator_items())[VAZ_ACT_MAX] { return TOKEN_OLD.ActItem; }

}  // namespace vaz

#endif
