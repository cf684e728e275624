// Pieces shared by the screens that show name/value lists: the data-stream
// engines and the identification service.
#ifndef VAZ_SERVICES_STREAM_DISPLAY_H
#define VAZ_SERVICES_STREAM_DISPLAY_H

#include "core/host_call.h"

namespace vaz::services {

// Computes item n with the current formula routine and hands it to the
// display; false (after the refusal box) when the display refused it.
inline bool show_item(u16 n) {
  const CD_ITEM &item = TOKEN_OLD.CdItem[n];
  CSTRING[0] = '\0';
  if (pFCalcCD) pFCalcCD(static_cast<u16>(n + 1), TOKEN_OLD.bAnsBuf, CSTRING, item.cItemType, item.wItemParam);
  if (call_or(AddDataStreamItem, 1, item.dwTextId, static_cast<const char *>(CSTRING)) != 0) {
    show_box(kFunctionStoppedText, kFailureTitle, VAZ_BOX_REPORT);
    return false;
  }
  item_pause();
  return true;
}

inline void begin_pass() { call_or(InitDataStream, 0); }

// Draws the list; true when the user pressed Back. Without a display the user
// is taken to have left, so no screen loop runs blind.
inline bool user_left() { return call_or(ShowDataStream, 1) == 1; }

}  // namespace vaz::services

#endif
