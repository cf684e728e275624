// A scripted display host and vehicle interface for the plug-in's slots:
// every call is logged as a short line, answers come from queues.
#ifndef VAZ_TEST_FAKE_HOST_H
#define VAZ_TEST_FAKE_HOST_H

#include <gtest/gtest.h>

#include <deque>
#include <map>
#include <string>
#include <vector>

#include "vaz_old.h"

struct FakeHost {
  std::vector<std::string> calls;

  // display host
  std::deque<int> boxAnswers;   // ShowMessageBoxID; empty: 0
  std::deque<int> menuChoices;  // ShowMenuGetSelectedItem; empty: -1
  int initMenuResult = 0;
  int addMenuResult = 0;
  std::map<u32, std::string> texts;         // GetTextFromTextLib
  std::deque<std::vector<int>> selections;  // ShowStreamSelectBox ticks; empty: Back
  std::deque<int> streamShows;              // ShowDataStream; empty: 1 (Back)
  int refuseItemAt = -1;                    // AddDataStreamItem call number refused
  int itemsAdded = 0;
  std::map<u32, std::vector<u8>> records;  // IdSearch records by text ID
  std::string dataStreamPath = "DS.TXT";

  // vehicle interface
  int selectPinResult = 0;
  std::deque<int> kwpResults;              // empty: 1
  std::deque<std::vector<u8>> kwpAnswers;  // copied into the answer buffer
  std::deque<int> gmResults;               // empty: 1
  std::deque<std::vector<u8>> gmAnswers;
  int micasResult = 1;
  std::vector<u8> micasAnswer;

  // scripted comm routine and formulas for the service engines
  std::deque<int> commResults;  // empty: 1
};

extern FakeHost fake;

// Puts the fake functions into every slot the plug-in calls.
void install_fake_host();
// Empties every slot the plug-in calls.
void clear_host_slots();

std::string hex(const u8 *bytes, int n);

int fake_comm(u8 code, u16 index, void *scratch);
int fake_calc(u16 item, u8 *answer, char *out, u8 itemType, u16 itemParam);

// Fresh session record, fake host in the slots, every menu entry offered.
class PluginTest : public ::testing::Test {
 protected:
  void SetUp() override;
  void TearDown() override;
};

#endif
