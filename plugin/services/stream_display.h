// Pieces shared by the screens that show name/value lists: the data-stream
// engines and the identification service.
#ifndef VAZ_SERVICES_STREAM_DISPLAY_H
#define VAZ_SERVICES_STREAM_DISPLAY_H

#include <cassert>
#include <cstring>

#include "core/host_call.h"
#include "core/session_record.h"
#include "link/item_record.h"

namespace vaz::services {

// Computes item n with the current formula routine and hands it to the
// display; false (after the refusal box) when the display refused it.
inline bool show_item(u16 n) {
  assert(n < VAZ_CD_MAX);
  const CD_ITEM &item = vaz::items()[n];
  vaz::value_text()[0] = '\0';
  if (pFCalcCD)
    pFCalcCD(static_cast<u16>(n + 1), vaz::answer_buffer(), vaz::value_text(), item.cItemType, item.wItemParam);
  // A formula that wrote past the value text has overrun the record.
  assert(std::memchr(vaz::value_text(), '\0', VAZ_CSTRING_SIZE) != nullptr);
  if (call_or(AddDataStreamItem, 1, item.dwTextId, static_cast<const char *>(vaz::value_text())) != 0) {
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
