// A scripted display host and a recording vehicle interface for the actuator
// tests: the fixture puts these functions into the plug-in's host slots.
#ifndef VAZ_TEST_ACTUATORS_FAKE_HOST_H
#define VAZ_TEST_ACTUATORS_FAKE_HOST_H

#include <gtest/gtest.h>

#include <deque>
#include <string>
#include <vector>

#include "vaz_old.h"

namespace fake {

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

struct Host {
  // Scripts; an empty script answers Back / success / 0.
  std::deque<int> menuChoices;
  std::deque<int> confirmAnswers;   // style-3 boxes (3 = declined)
  std::deque<int> questionAnswers;  // style-2 boxes
  std::deque<int> inputs;
  std::deque<int> sendResults;   // vehicle-interface result per request
  std::deque<int> commResults;   // pFComm results
  std::deque<int> panelButtons;  // ShowActiveTestItem; empty = finish
  int initMenuResult = 0;
  int addMenuResult = 0;
  int addPanelItemResult = 0;
  u8 guardByte = 1;           // byte 12 of the answer to a data read
  u8 answerLength = 16;       // length of that answer frame (byte 1 of the buffer)
  std::string menuCountText;  // overrides the item count of every menu when set

  // Records.
  std::vector<Bytes> frames;  // every request as sent, checksum included
  std::vector<Box> boxes;
  std::vector<Menu> menus;
  std::vector<int> inputCalls;
  std::vector<u8> commCodes;
  std::vector<u32> nameListsLoaded;
  std::vector<std::vector<u32>> panels;  // InitActiveTest button texts
  std::vector<std::pair<u32, std::string>> panelItems;
  std::vector<unsigned> sleeps;
  int usleeps = 0;
  std::vector<std::string> log;  // every event in order

  // Working state.
  u32 lastTitle = 0;
  std::vector<u32> pendingItems;
  int menuShows = 0;
  int panelShows = 0;
};

Host &host();

// Frame helpers: bytes from the format byte (or ALDL device identifier) with
// the checksum of the line appended.
Bytes kwp(Bytes b);
Bytes gm(Bytes b);
std::string hex(const Bytes &b);

// Fresh session record, fresh host, every slot the tests use filled.
class Fixture : public ::testing::Test {
 protected:
  void SetUp() override;
  void TearDown() override;
  Host &h = host();
  std::vector<Bytes> &frames = h.frames;
};

}  // namespace fake

#endif
