// A scripted display host and vehicle interface for the plug-in's slots, shared by every
// unit test that runs plug-in routines: every call is logged as a short line, answers come
// from queues, and what the plug-in sent and showed is also kept as records.
#ifndef VAZ_TEST_FAKE_HOST_H
#define VAZ_TEST_FAKE_HOST_H

#include <gtest/gtest.h>

#include <deque>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "vaz_old.h"

using Bytes = std::vector<u8>;

struct Box {
  u32 text;
  u32 title;
  int style;
  bool operator==(const Box &) const = default;
};

struct Menu {
  u32 title;               // last InitMenuID before the menu was shown
  std::vector<u32> items;  // AddMenuTextID calls since then
  int preselect;
};

struct FakeHost {
  std::vector<std::string> calls;  // every call in order

  // display host
  std::deque<int> confirmAnswers;   // ShowMessageBoxID style 3; empty: 0 (confirmed)
  std::deque<int> questionAnswers;  // ShowMessageBoxID style 2; empty: 0 (no); other styles answer 0
  std::deque<int> menuChoices;      // ShowMenuGetSelectedItem; empty: -1
  int initMenuResult = 0;
  int addMenuResult = 0;
  std::map<u32, std::string> texts;         // GetTextFromTextLib
  std::string otherText;                    // the text of an ID not in texts
  std::deque<std::vector<int>> selections;  // ShowStreamSelectBox ticks; empty: Back
  std::deque<int> streamShows;              // ShowDataStream; empty: 1 (Back)
  int refuseItemAt = -1;                    // AddDataStreamItem call number refused
  int itemsAdded = 0;
  std::map<u32, std::vector<u8>> records;  // IdSearch records by text ID
  std::optional<Bytes> otherRecord;        // IdSearch of an ID not in records; none: not found
  std::string dataStreamPath = "DS.TXT";
  std::deque<int> inputs;        // InputIntegerID; empty: 0
  std::deque<int> panelButtons;  // ShowActiveTestItem; empty: 2 (finish)
  int addPanelItemResult = 0;

  // vehicle interface
  int selectPinResult = 0;
  std::deque<int> kwpResults;    // empty: 1
  std::deque<Bytes> kwpAnswers;  // copied into the answer buffer
  std::deque<int> gmResults;     // empty: 1
  std::deque<Bytes> gmAnswers;
  int micasResult = 1;
  Bytes micasAnswer;
  // With no answer queued, a request that succeeds is answered as a data read: bytes 0 and
  // 1 of the buffer the frame's start and length, byte 12 the guard (the permission byte).
  bool dataReadAnswers = false;
  u8 answerLength = 16;
  u8 guardByte = 1;

  // scripted comm routine and formulas for the service engines
  std::deque<int> commResults;  // empty: 1

  // Records.
  std::vector<Bytes> frames;  // every request as sent, checksum included
  std::vector<Box> boxes;
  std::vector<Menu> menus;
  std::vector<int> inputCalls;  // InputIntegerID prompts
  std::vector<u8> commCodes;
  std::vector<u32> nameListsLoaded;      // IdSearch keys
  std::vector<std::vector<u32>> panels;  // InitActiveTest button texts
  std::vector<std::pair<u32, std::string>> panelItems;
  std::vector<unsigned> sleeps;  // where the test program counts the plug-in's waits
  int usleeps = 0;

  // Working state.
  u32 lastTitle = 0;
  std::vector<u32> pendingItems;
  int menuShows = 0;
  int panelShows = 0;
};

extern FakeHost fake;

// Puts the fake functions into every slot the plug-in calls.
void install_fake_host();
// Empties every slot the plug-in calls.
void clear_host_slots();

std::string hex(const u8 *bytes, int n);
std::string hex(const Bytes &b);
// Frames from the format byte (or ALDL device identifier) with the line's checksum appended.
Bytes kwp(Bytes b);
Bytes gm(Bytes b);

int fake_comm(u8 code, u16 index, void *scratch);
int fake_calc(u16 item, u8 *answer, char *out, u8 itemType, u16 itemParam);

// Fresh session record, fake host in the slots, every menu entry offered.
class PluginTest : public ::testing::Test {
 protected:
  void SetUp() override;
  void TearDown() override;
};

#endif
