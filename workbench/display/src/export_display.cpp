// The display services of list A that the plug-in calls: each Init/Add call
// builds a screen, each Show call hands it to the front end.
#include "display_session.h"
#include "screen_observer.h"
#include "std_export.h"
#include "ui_words.h"
#include "vaz_text_ids.h"

#include <cstdarg>

using stdhost::session;

namespace {

// Bounds that keep a misbehaving caller from growing a screen without end.
constexpr std::size_t kMaxMenuEntries = 256;
constexpr std::size_t kMaxSelectItems = 40 * 8;  // the selection bitmap's 40 bytes
constexpr std::size_t kMaxStreamLines = 1024;
constexpr std::size_t kMaxCodes = 256;
constexpr std::size_t kMaxPanelLines = 64;
constexpr int kMaxButtons = 16;

bool bitOf(const u8 *bitmap, std::size_t i) { return (bitmap[i / 8] >> (7 - i % 8)) & 1; }

// Messages that say no control unit could be talked to (connection, detection,
// a line that stopped answering, a failed reset that ends the session).
constexpr u32 kCommFailureTexts[] = {VAZ_TEXT_COMM_FAILED, VAZ_TEXT_NO_ECU_FOUND, VAZ_TEXT_NOT_RECOGNISED,
                                     VAZ_TEXT_SEND_FAILED};
// Messages that say the interface itself refused the line: the car was never asked.
constexpr u32 kInterfaceFailureTexts[] = {VAZ_TEXT_NO_LINE};
int failureOf(u32 id) {
  for (u32 t : kCommFailureTexts)
    if (t == id) return stdhost::kEndedOnEcuFailure;
  for (u32 t : kInterfaceFailureTexts)
    if (t == id) return stdhost::kEndedOnInterfaceFailure;
  return 0;
}

// Name lists of the identification fields, in DSNAMES.TXT.
constexpr u32 kIdentificationLists[] = {VAZ_NAMES_IDENT_M154, VAZ_NAMES_IDENT_M70_E2, VAZ_NAMES_IDENT_M70_E3,
                                        VAZ_NAMES_IDENT_M797};
bool isIdentificationName(u32 id) {
  for (u32 list : kIdentificationLists)
    if (VAZ_NAME_LIST_OF(id) == list) return true;
  return false;
}

}  // namespace

STD_EXPORT int ShowMessageBoxID(u32 textId, u32 titleId, int style) {
  auto &s = session();
  s.otherScreen();
  s.endedOnFailure = failureOf(textId);
  const stdhost::MessageScreen box{style, s.messageText(titleId), s.messageText(textId),
                                   s.endedOnFailure == stdhost::kEndedOnEcuFailure};
  const int answer = s.frontEnd().message(box);
  stdhost::observeMessage(box, answer, textId);
  return answer;
}

STD_EXPORT int InitMenuID(u32 titleId) {
  auto &s = session();
  s.menu = {};
  s.menu.title = s.messageText(titleId);
  return 0;
}

STD_EXPORT int AddMenuTextID(u32 textId) {
  auto &s = session();
  if (s.menu.entries.size() >= kMaxMenuEntries) return -1;
  s.menu.entries.push_back(s.messageText(textId));
  return 0;
}

STD_EXPORT int ShowMenuGetSelectedItem(short preselect, int, int) {
  auto &s = session();
  s.endedOnFailure = false;
  s.otherScreen();
  s.menu.preselect = preselect;
  s.path().menuShown(s.menu);
  int chosen = s.frontEnd().menu(s.menu);
  stdhost::observeMenu(s.menu, chosen);
  s.path().menuAnswered(s.menu, chosen);
  return chosen < 0 ? -1 : chosen;
}

STD_EXPORT int InitStreamSelectedBox(u8 *bitmap) {
  auto &s = session();
  s.select = {};
  s.selectBitmap = bitmap;
  return 0;
}

STD_EXPORT int AddStreamSelectBox(u32 nameId) {
  auto &s = session();
  if (s.select.items.size() >= kMaxSelectItems) return -1;
  s.select.items.push_back(s.itemName(nameId));
  return 0;
}

STD_EXPORT int ShowStreamSelectBox(int, u8 *bitmap) {
  auto &s = session();
  s.endedOnFailure = false;
  s.otherScreen();
  u8 *map = bitmap ? bitmap : s.selectBitmap;
  const std::size_t n = s.select.items.size();
  s.select.ticked.assign(n, false);
  if (map)
    for (std::size_t i = 0; i < n; ++i) s.select.ticked[i] = bitOf(map, i);
  auto ticks = s.frontEnd().select(s.select);
  stdhost::observeSelect(s.select, ticks);
  if (!ticks) return 1;
  if (map) {
    for (std::size_t i = 0; i < n; ++i) {
      u8 mask = static_cast<u8>(0x80u >> (i % 8));
      if (i < ticks->size() && (*ticks)[i])
        map[i / 8] |= mask;
      else
        map[i / 8] &= static_cast<u8>(~mask);
    }
  }
  return 0;
}

STD_EXPORT int InitDataStream(void) {
  session().beginStream();
  return 0;
}

STD_EXPORT int AddDataStreamItem(u32 nameId, const char *value) {
  auto &s = session();
  // The first name of a pass decides; every later one must agree.
  s.stream.identification = (s.streamLines() == 0 || s.stream.identification) && isIdentificationName(nameId);
  return s.addStreamLine(s.itemName(nameId), value, kMaxStreamLines) ? 0 : -1;
}

STD_EXPORT int ShowDataStream(void) {
  auto &s = session();
  s.endedOnFailure = false;
  s.endStream();
  s.stream.pass = s.nextStreamPass();
  // The observer hears of the pass first: a history never holds fewer passes than the CSV.
  stdhost::observeStream(s.stream, s.streamLog().active());
  // Identification fields are no live data: nothing to record. A row that cannot be written
  // stops the recording, and the user is told at once by a notice that waits for nothing
  // (style 5): the live data itself goes on.
  if (!s.stream.identification && !s.streamLog().record(s.stream))
    s.frontEnd().message({5, stdhost::say(stdhost::Word::RecordingStopped), s.streamLog().lastError()});
  return s.frontEnd().stream(s.stream) ? 1 : 0;
}

STD_EXPORT int InitTroubleCode(void) {
  session().codes = {};
  return 0;
}

STD_EXPORT int AddTroubleCode(u32 codeId, u32 statusId) {
  auto &s = session();
  if (s.codes.codes.size() >= kMaxCodes) return -1;
  s.codes.codes.push_back({s.troubleCode(codeId), statusId == 0xFFFFFFFFu ? "" : s.messageText(statusId)});
  return 0;
}

STD_EXPORT int ShowTroubleCode(void) {
  auto &s = session();
  s.endedOnFailure = false;
  s.otherScreen();
  stdhost::observeCodes(s.codes);
  s.frontEnd().codes(s.codes);
  return 0;
}

STD_EXPORT int InitActiveTest(int buttonCount, ...) {
  auto &s = session();
  s.panel = {};
  if (buttonCount < 0) buttonCount = 0;
  if (buttonCount > kMaxButtons) buttonCount = kMaxButtons;
  va_list args;
  va_start(args, buttonCount);
  for (int i = 0; i < buttonCount; ++i) s.panel.buttons.push_back(s.messageText(va_arg(args, u32)));
  va_end(args);
  return 0;
}

STD_EXPORT int AddActiveTestItem(u32 nameId, const char *value) {
  auto &s = session();
  if (s.panel.lines.size() >= kMaxPanelLines) return -1;
  s.panel.lines.push_back({s.itemName(nameId), value ? value : ""});
  return 0;
}

STD_EXPORT int ShowActiveTestItem(void) {
  auto &s = session();
  s.endedOnFailure = false;
  s.panel.pass = s.nextPanelPass();
  const int button = s.frontEnd().panel(s.panel);
  stdhost::observePanel(s.panel, button);
  return button;
}

STD_EXPORT int InputIntegerID(u32 titleId, u32 promptId) {
  auto &s = session();
  s.endedOnFailure = false;
  s.otherScreen();
  const stdhost::InputScreen field{s.messageText(titleId), s.messageText(promptId)};
  const int value = s.frontEnd().input(field);
  stdhost::observeInput(field, value);
  return value;
}
