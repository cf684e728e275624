// The session record and the session globals. Their layout is shared with the
// host and the tests, so every offset is pinned here at compile time.
#include <cstddef>

#include "vaz_old.h"

extern "C" {

VAZ_EXPORT TOKEN_OLD_T TOKEN_OLD;
VAZ_EXPORT COMM_FN pFComm = nullptr;
VAZ_EXPORT CALC_CD_FN pFCalcCD = nullptr;
VAZ_EXPORT CALC_DTC_FN pFCalcDTC = nullptr;
VAZ_EXPORT char CSTRING[VAZ_CSTRING_SIZE];
VAZ_EXPORT unsigned char OldConnectType = 0;
VAZ_EXPORT int iFuncConfig_vaz = 0;

}  // extern "C"

static_assert(offsetof(TOKEN_OLD_T, wSimulate) == 0);
static_assert(offsetof(TOKEN_OLD_T, wEcuVariant) == 2);
static_assert(offsetof(TOKEN_OLD_T, wLibParam) == 4);
static_assert(offsetof(TOKEN_OLD_T, cFuncCode) == 6);
static_assert(offsetof(TOKEN_OLD_T, bAnsBuf) == 7);
static_assert(offsetof(TOKEN_OLD_T, dwLibDtcAddr) == 352);
static_assert(offsetof(TOKEN_OLD_T, dwDtcBase) == 356);
static_assert(offsetof(TOKEN_OLD_T, cDtcNum) == 360);
static_assert(offsetof(TOKEN_OLD_T, dwDtcCode) == 364);
static_assert(offsetof(TOKEN_OLD_T, dwDtcState) == 492);
static_assert(offsetof(TOKEN_OLD_T, dwLibCdAddr) == 620);
static_assert(offsetof(TOKEN_OLD_T, dwLibAddr2) == 624);
static_assert(offsetof(TOKEN_OLD_T, dwLibAddr3) == 628);
static_assert(offsetof(TOKEN_OLD_T, cCdHeadLen) == 632);
static_assert(offsetof(TOKEN_OLD_T, bCdHead) == 633);
static_assert(offsetof(TOKEN_OLD_T, wCdNum) == 888);
static_assert(offsetof(TOKEN_OLD_T, CdItem) == 892);
static_assert(offsetof(TOKEN_OLD_T, dwLibActAddr) == 5692);
static_assert(offsetof(TOKEN_OLD_T, cActNum) == 5696);
static_assert(offsetof(TOKEN_OLD_T, ActItem) == 5700);
static_assert(offsetof(TOKEN_OLD_T, dwCoPos) == 6084);
static_assert(offsetof(TOKEN_OLD_T, bCoFrame) == 6088);
static_assert(offsetof(TOKEN_OLD_T, bCoRestore) == 6103);
static_assert(offsetof(TOKEN_OLD_T, cCoValue) == 6118);
static_assert(sizeof(TOKEN_OLD_T) == 6120);

static_assert(offsetof(CD_ITEM, dwTextId) == 0);
static_assert(offsetof(CD_ITEM, cItemType) == 4);
static_assert(offsetof(CD_ITEM, wItemParam) == 6);
static_assert(offsetof(CD_ITEM, cItemParam2) == 8);
static_assert(offsetof(CD_ITEM, dwCmdId) == 12);
static_assert(sizeof(CD_ITEM) == 16);
static_assert(offsetof(ACT_ITEM, bParam) == 4);
static_assert(sizeof(ACT_ITEM) == 12);
