// Display-host calls of the actuator and special tests. A slot the loader left
// empty counts as that service failing, with the failure chosen so that no
// request goes out unconfirmed and no screen loop runs blind.
#ifndef VAZ_ACTUATORS_ACT_HOST_H
#define VAZ_ACTUATORS_ACT_HOST_H

#include "core/host_call.h"

namespace vaz::act {

inline constexpr u32 kTestTitle = 0xFE551010;
inline constexpr u32 kSendingText = 0xFE55101A;
inline constexpr u32 kDoneText = 0xFE55101E;
inline constexpr u32 kSendFailedText = VAZ_TEXT_SEND_FAILED;
inline constexpr u32 kNumberPrompt = 0xFE551021;
inline constexpr u32 kRefusedText = 0xFE551033;     // the ECU answered 7F to a command
inline constexpr u32 kOutOfRangeText = 0xFE551035;  // the value byte cannot carry the entry
inline constexpr u32 kNotAvailableText = 0xFE55103A;
inline constexpr u32 kAskResetText = 0xFE551038;
inline constexpr u32 kAskAdaptationText = 0xFE551039;
inline constexpr u32 kCoBaseStoredText = 0xFE55103B;
inline constexpr u32 kCoKeptText = 0xFE55103C;
// What a cancelled number box returns: no entry can be this number.
inline constexpr int kInputCancelled = VAZ_INPUT_CANCELLED;
inline constexpr u32 kSwitchMenu = VAZ_MENU_ACT_SWITCH;

inline constexpr int kStyleReport = VAZ_BOX_REPORT;
inline constexpr int kStyleQuestion = VAZ_BOX_QUESTION;
inline constexpr int kStyleConfirm = VAZ_BOX_CONFIRM;
inline constexpr int kStyleNotice = VAZ_BOX_NOTICE;
inline constexpr int kDeclined = VAZ_BOX_DECLINED;

// Menu results besides an item index.
inline constexpr int kMenuBack = VAZ_SELECT_BACK;
inline constexpr int kMenuRefused = VAZ_SELECT_REFUSED;

// 0 when the menu is open; a missing display cannot open one.
inline int open_menu(u32 title) { return call_or(InitMenuID, -1, title); }

inline void report(u32 text, u32 title = kTestTitle) { show_box(text, title, kStyleReport); }
inline void notice(u32 text) { show_box(text, kTestTitle, kStyleNotice); }
// The refusal message naming the reason the ECU gave for the last command
// (its answer in bAnsBuf): "conditions not correct", "out of range", ...
u32 refusal_text();
inline void report_refusal() { report(refusal_text()); }

// A caution nobody could see is a caution declined.
inline bool caution_accepted(u32 text) {
  return call_or(ShowMessageBoxID, kDeclined, text, kTestTitle, kStyleConfirm) != kDeclined;
}

}  // namespace vaz::act

#endif
