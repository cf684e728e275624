// Calls into the host slots that survive an unbound slot: a slot the loader
// could not fill yields the caller's failure value instead of a jump to null.
#ifndef VAZ_CORE_HOST_CALL_H
#define VAZ_CORE_HOST_CALL_H

#include <unistd.h>

#include "vaz_old.h"

namespace vaz {

// Call `slot` with `args`, or give `fallback` when the slot is empty.
template <typename Fn, typename R, typename... Args>
inline R call_or(Fn slot, R fallback, Args... args) {
  return slot ? static_cast<R>(slot(args...)) : fallback;
}

// Message boxes of report and notice styles: an absent display just skips them.
inline int show_box(u32 text, u32 title, int style) { return call_or(ShowMessageBoxID, 0, text, title, style); }

// The current comm routine; no routine installed is a failed request.
inline int comm(u8 code, u16 index) { return pFComm ? pFComm(code, index, nullptr) : -1; }

// Stop the vehicle interface's keep-alive (arguments as the interface expects).
inline void stop_keep_alive(int last = 0) { call_or(SetLinkKeep, 0, static_cast<u8 *>(nullptr), 0, 0, last); }

// The pause after each item handed to the display.
inline void item_pause() { usleep(1000); }

// The host's command library of request frames, an ID file in its data folder.
inline constexpr const char *kCommandLibrary = "COMMAND.GAG";

// Message and title texts that several layers show.
inline constexpr u32 kFailureText = VAZ_TEXT_COMM_FAILED;
inline constexpr u32 kFailureTitle = 0xFE551003;
// "The function was stopped": a value could not be shown or a request failed.
inline constexpr u32 kFunctionStoppedText = 0xFE551005;
inline constexpr u32 kIdentificationTitle = 0xFE551011;
inline constexpr u32 kMenuTitle = 0xFE551020;

}  // namespace vaz

#endif
