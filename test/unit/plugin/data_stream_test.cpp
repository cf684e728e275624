// The item-list fetch, the picker and the three data-stream engines.
#include <gmock/gmock.h>

#include <string>
#include <vector>

#include "fake_host.h"

using ::testing::ElementsAre;
using ::testing::ElementsAreArray;
using Calls = std::vector<std::string>;

namespace {

class DataStream : public PluginTest {
 protected:
  void SetUp() override {
    PluginTest::SetUp();
    pFComm = fake_comm;
    pFCalcCD = fake_calc;
    TOKEN_OLD.cFuncCode = FC_STREAM;
  }
  static void set_items(int count) {
    TOKEN_OLD.wCdNum = static_cast<u16>(count);
    for (int n = 0; n < count; ++n) TOKEN_OLD.CdItem[n].dwTextId = 0x58200401 + static_cast<u32>(n);
  }
  static Calls without_picker(const Calls &calls) {
    Calls out;
    for (const auto &c : calls)
      if (c.rfind("AddSelect", 0) != 0 && c != "InitSelect") out.push_back(c);
    return out;
  }
};

TEST_F(DataStream, ItemListNamesAndCommandsComeFromTheirRecords) {
  fake.records[0x58200B00] = {'3', 0};
  fake.records[0x58300400] = {3};
  TOKEN_OLD.CdItem[0].dwCmdId = 7;
  EXPECT_EQ(GetData_ECU_CD(0x58200B00, 0x58300400), 1);
  EXPECT_EQ(TOKEN_OLD.wCdNum, 3);
  EXPECT_EQ(TOKEN_OLD.CdItem[2].dwTextId, 0x58200B03u);
  EXPECT_EQ(TOKEN_OLD.CdItem[0].dwCmdId, 0x58300401u);
  EXPECT_EQ(TOKEN_OLD.CdItem[2].dwCmdId, 0x58300403u);
  EXPECT_THAT(fake.calls, ElementsAre("FileName 3", "Open DS.TXT", "Search 58200B00 40", "Close", "Open COMMAND.GAG",
                                      "Search 58300400 1", "Close"));
}

TEST_F(DataStream, ItemListWithoutCommandsNeverOpensTheCommandLibrary) {
  fake.records[0x58200400] = {'2', '5', 0};
  EXPECT_EQ(GetData_ECU_CD(0x58200400, VAZ_NO_LIST), 1);
  EXPECT_EQ(TOKEN_OLD.wCdNum, 25);
  EXPECT_EQ(std::count(fake.calls.begin(), fake.calls.end(), "Open COMMAND.GAG"), 0);
}

TEST_F(DataStream, ItemListCountMismatchKeepsEarlierCommandsAndMissingRecordsFail) {
  fake.records[0x58200900] = {'4', 0};
  fake.records[0x58300100] = {3};
  TOKEN_OLD.CdItem[0].dwCmdId = 0x1234;
  EXPECT_EQ(GetData_ECU_CD(0x58200900, 0x58300100), 0);
  EXPECT_EQ(TOKEN_OLD.wCdNum, 4);
  EXPECT_EQ(TOKEN_OLD.CdItem[0].dwCmdId, 0x1234u);
  EXPECT_EQ(GetData_ECU_CD(0x58200900, 0x58300999), -1);
  EXPECT_EQ(GetData_ECU_CD(0x58200999, VAZ_NO_LIST), -1);
}

TEST_F(DataStream, ItemListRefusesLongPathsAndCapsTheCountAtTheTable) {
  fake.records[0x58200400] = {'9', '9', '9', 0};
  EXPECT_EQ(GetData_ECU_CD(0x58200400, VAZ_NO_LIST), 1);
  EXPECT_EQ(TOKEN_OLD.wCdNum, VAZ_CD_MAX);
  fake.dataStreamPath = std::string(80, 'x');
  fake.calls.clear();
  EXPECT_EQ(GetData_ECU_CD(0x58200400, VAZ_NO_LIST), -1);
  EXPECT_THAT(fake.calls, ElementsAre("FileName 3"));
  fake.dataStreamPath = std::string(79, 'x');
  EXPECT_EQ(GetData_ECU_CD(0x58200400, VAZ_NO_LIST), 1);
}

TEST_F(DataStream, SelectedIndicesFollowTheBitmapMostSignificantBitFirst) {
  u8 bitmap[40] = {0x81, 0x00, 0x40};
  u16 indices[24] = {};
  EXPECT_EQ(Get_CurrentData_OneToOne_Selected(24, bitmap, indices), 3);
  EXPECT_EQ(indices[0], 0);
  EXPECT_EQ(indices[1], 7);
  EXPECT_EQ(indices[2], 17);
  EXPECT_EQ(Get_CurrentData_OneToOne_Selected(17, bitmap, indices), 2);
}

TEST_F(DataStream, AllcalMakesOneRequestPerPassAndComputesEveryShownItem) {
  set_items(5);
  fake.selections = {{1, 3}};
  fake.streamShows = {0, 1};
  EXPECT_EQ(CurrentData_SingleCom_Allcal(), 0);
  EXPECT_THAT(without_picker(fake.calls),
              ElementsAre("ShowSelect", "InitStream", "Comm 53 1", "AddItem 58200402 v2", "AddItem 58200404 v4",
                          "ShowStream", "InitStream", "Comm 53 0", "AddItem 58200402 v2", "AddItem 58200404 v4",
                          "ShowStream", "Comm 21 0", "ShowSelect", "Comm 21 0"));
}

TEST_F(DataStream, FiftySelectedShowsTheBoxOnceAndTheFirstForty) {
  set_items(60);
  std::vector<int> all;
  for (int n = 5; n < 55; ++n) all.push_back(n);
  fake.selections = {all};
  fake.streamShows = {0, 1};
  EXPECT_EQ(CurrentData_SingleCom_Allcal(), 0);
  EXPECT_EQ(std::count(fake.calls.begin(), fake.calls.end(), "Box FE55101F FE55100F 1"), 1);
  Calls items;
  for (const auto &c : fake.calls)
    if (c.rfind("AddItem", 0) == 0) items.push_back(c);
  ASSERT_EQ(items.size(), 80u);
  EXPECT_EQ(items.front(), "AddItem 58200406 v6");
  EXPECT_EQ(items[39], "AddItem 5820042D v45");
  // the second pass asks with the 41st selected index
  EXPECT_THAT(fake.calls, ::testing::Contains("Comm 53 45"));
  EXPECT_THAT(fake.calls, ::testing::Contains("Comm 53 5"));
}

TEST_F(DataStream, EmptySelectionStillRequestsOnEveryPass) {
  set_items(3);
  fake.selections = {{}};
  fake.streamShows = {0, 1};
  EXPECT_EQ(CurrentData_SingleCom_Allcal(), 0);
  EXPECT_THAT(without_picker(fake.calls),
              ElementsAre("ShowSelect", "InitStream", "Comm 53 0", "ShowStream", "InitStream", "Comm 53 0",
                          "ShowStream", "Comm 21 0", "ShowSelect", "Comm 21 0"));
}

TEST_F(DataStream, BackInThePickerSendsDoneOnce) {
  set_items(2);
  EXPECT_EQ(CurrentData_SingleCom_Allcal(), 0);
  EXPECT_THAT(fake.calls,
              ElementsAre("InitSelect", "AddSelect 58200401", "AddSelect 58200402", "ShowSelect", "Comm 21 0"));
}

TEST_F(DataStream, FailedRequestEndsWithoutDone) {
  set_items(2);
  fake.selections = {{0}};
  fake.commResults = {0};
  EXPECT_EQ(CurrentData_SingleCom_Allcal(), -1);
  EXPECT_EQ(fake.calls.back(), "Comm 53 0");
}

TEST_F(DataStream, RefusedItemShowsTheBoxAndEndsWithMinusTwo) {
  set_items(3);
  fake.selections = {{0, 1, 2}};
  fake.refuseItemAt = 1;
  EXPECT_EQ(CurrentData_SingleCom_Allcal(), -2);
  EXPECT_EQ(fake.calls.back(), "Box FE551005 FE551003 1");
  EXPECT_EQ(std::count(fake.calls.begin(), fake.calls.end(), "Comm 21 0"), 0);
}

TEST_F(DataStream, SingleCalcRequestsPerItemAndOffersTheLastSelectionAgain) {
  set_items(4);
  TOKEN_OLD.cFuncCode = FC_ADC;
  fake.selections = {{0, 2}, {}};
  fake.streamShows = {1, 1};
  ShowStreamSelectBox = [](int, u8 *bitmap) {
    fake.calls.push_back("ShowSelect " + hex(bitmap, 1));
    if (fake.selections.empty()) return 1;
    for (int n : fake.selections.front()) bitmap[n / 8] |= static_cast<u8>(0x80 >> (n % 8));
    fake.selections.pop_front();
    return 0;
  };
  EXPECT_EQ(CurrentData_SingleCom_SingleCalc(), 0);
  EXPECT_THAT(
      without_picker(fake.calls),
      ElementsAre("ShowSelect 00", "InitStream", "Comm 56 0", "AddItem 58200401 v1", "Comm 56 2", "AddItem 58200403 v3",
                  "ShowStream", "Comm 21 0", "ShowSelect A0", "InitStream", "Comm 56 0", "AddItem 58200401 v1",
                  "Comm 56 2", "AddItem 58200403 v3", "ShowStream", "Comm 21 0", "ShowSelect A0", "Comm 21 0"));
}

TEST_F(DataStream, SingleCalcFailureMidPassEndsAtOnce) {
  set_items(3);
  fake.selections = {{0, 1, 2}};
  fake.commResults = {1, -1};
  EXPECT_EQ(CurrentData_SingleCom_SingleCalc(), -1);
  EXPECT_THAT(without_picker(fake.calls),
              ElementsAre("ShowSelect", "InitStream", "Comm 53 0", "AddItem 58200401 v1", "Comm 53 1"));
}

TEST_F(DataStream, DisplayAllShowsEveryItemWithoutPickingOrCap) {
  set_items(45);
  fake.streamShows = {0, 1};
  EXPECT_EQ(CurrentData_SingleCom_Allcal_DisplayAll(), 0);
  EXPECT_EQ(std::count_if(fake.calls.begin(), fake.calls.end(),
                          [](const std::string &c) { return c.rfind("AddItem", 0) == 0; }),
            90);
  EXPECT_EQ(std::count(fake.calls.begin(), fake.calls.end(), "Comm 53 0"), 2);
  EXPECT_EQ(fake.calls.back(), "Comm 21 0");
  EXPECT_EQ(std::count(fake.calls.begin(), fake.calls.end(), "ShowSelect"), 0);
}

TEST_F(DataStream, DisplayAllWithAnEmptyListShowsAnEmptyList) {
  EXPECT_EQ(CurrentData_SingleCom_Allcal_DisplayAll(), 0);
  EXPECT_THAT(fake.calls, ElementsAre("InitStream", "Comm 53 0", "ShowStream", "Comm 21 0"));
}

}  // namespace
