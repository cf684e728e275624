// The availability filter, menu building and the menu engine behind the
// DIAG_* routines.
#include <gmock/gmock.h>

#include <string>
#include <vector>

#include "fake_host.h"

using ::testing::Contains;
using ::testing::ElementsAre;
using ::testing::Not;

namespace {

class Menus : public PluginTest {
 protected:
  void SetUp() override {
    PluginTest::SetUp();
    for (u32 id : {0x58025000u, 0x58026000u, 0x58023000u, 0x58028000u}) fake.texts[id] = "8";
    fake.texts[0x58021000] = "6";
    fake.texts[0x58022000] = "5";
  }
  static std::vector<int> offered(int bits, u32 menu) {
    iFuncConfig_vaz = bits;
    int entries[20] = {};
    const int n = FuncConfig(entries, menu);
    return {entries, entries + n};
  }
  std::vector<std::string> calls_starting(const char *prefix) const {
    std::vector<std::string> out;
    for (const auto &c : fake.calls)
      if (c.rfind(prefix, 0) == 0) out.push_back(c);
    return out;
  }
};

TEST_F(Menus, AvailabilityBitsOfferEntriesInScreenOrder) {
  EXPECT_THAT(offered(0x020, 0x58025000), ElementsAre(0));
  EXPECT_THAT(offered(0x00F, 0x58028000), ElementsAre(1, 2, 3, 7));
  EXPECT_THAT(offered(0x82F, 0x58021000), ElementsAre(0, 1, 2, 3, 5, 4));
  EXPECT_THAT(offered(0x82F, 0x58022000), ElementsAre(0, 1, 2, 4, 3));
  EXPECT_THAT(offered(0x82F, 0x58025000), ElementsAre(1, 2, 3, 4, 6, 0, 5, 7));
  EXPECT_THAT(offered(0x82F, 0x58026000), ElementsAre(1, 2, 3, 4, 7, 0, 5, 6));
  EXPECT_THAT(offered(0x82F, 0x58023000), ElementsAre(1, 2, 3, 4, 6, 0, 5));
  EXPECT_THAT(offered(0x82F, 0x58028000), ElementsAre(1, 2, 3, 7, 0, 4, 5, 6));
  EXPECT_THAT(offered(0x020, 0x58021000), ElementsAre());
  EXPECT_THAT(offered(0x020, 0x58022000), ElementsAre());
  EXPECT_THAT(offered(0x7FF, 0x58029000), ElementsAre());
  EXPECT_THAT(offered(0, 0x58025000), ElementsAre());
}

TEST_F(Menus, SelectMenuReportsTheEntryAtTheChosenLine) {
  iFuncConfig_vaz = 0x00F;
  fake.menuChoices = {3};
  EXPECT_EQ(SelectMenu_menu(0x58028000, 2), 7);
  EXPECT_THAT(fake.calls, ElementsAre("AddMenu 58028002", "AddMenu 58028003", "AddMenu 58028004", "AddMenu 58028008",
                                      "ShowMenu 2 0 0"));
}

TEST_F(Menus, SelectMenuCapsTheCountAtTheEntryList) {
  fake.texts[0x58025000] = "99";
  fake.menuChoices = {19, 20};
  EXPECT_EQ(SelectMenu_menu(0x58025000, 0), 19);
  EXPECT_EQ(calls_starting("AddMenu").size(), 20u);
  EXPECT_EQ(calls_starting("AddMenu").back(), "AddMenu 58025014");
  // a line the menu does not have is Back
  EXPECT_EQ(SelectMenu_menu(0x58025000, 0), -1);
}

TEST_F(Menus, SelectMenuFailures) {
  iFuncConfig_vaz = 0;
  EXPECT_EQ(SelectMenu_menu(0x58025000, 0), -1);
  EXPECT_TRUE(fake.calls.empty());
  iFuncConfig_vaz = 0x40000000;
  fake.addMenuResult = 1;
  EXPECT_EQ(SelectMenu_menu(0x58025000, 0), -2);
  EXPECT_THAT(fake.calls, ElementsAre("AddMenu 58025001"));
}

TEST_F(Menus, NothingOfferedDisconnectsAtOnce) {
  iFuncConfig_vaz = 0;
  EXPECT_EQ(DIAG_BOSCH_M154(), 1);
  EXPECT_EQ(fake.calls.front(), "Box FE551006 FE551006 5");
  const std::vector<std::string> tail(fake.calls.end() - 3, fake.calls.end());
  EXPECT_THAT(tail, ElementsAre("InitMenu FE551020", "KWP 81 10 F1 20 A2", "KWP 81 10 F1 82 04"));
  EXPECT_EQ(TOKEN_OLD.wEcuVariant, 2);
  EXPECT_EQ(pFComm, Comm_BOSCH_M154_ENG);
}

TEST_F(Menus, IdentificationOnlyMenuRunsEntryZero) {
  iFuncConfig_vaz = 0x20;
  fake.texts[0x58025000] = "8";
  fake.records[0x58200A00] = {'0'};
  fake.records[0x58300300] = {0};
  fake.menuChoices = {0};
  EXPECT_EQ(DIAG_BOSCH_M154(), 1);
  EXPECT_EQ(TOKEN_OLD.cFuncCode, FC_LIBCMD);
  EXPECT_EQ(pFCalcCD, CalcInfo_BOSCH_M154_ENG);
  EXPECT_THAT(calls_starting("AddMenu"), ElementsAre("AddMenu 58025001", "AddMenu 58025001"));
  EXPECT_THAT(fake.calls, Contains("Box FE551018 FE551011 5"));
  EXPECT_THAT(calls_starting("ShowMenu"), ElementsAre("ShowMenu 0 0 0", "ShowMenu 0 0 0"));
}

TEST_F(Menus, ChosenEntryIsPreselectedNextTimeAndTestsRunFromTheMenu) {
  iFuncConfig_vaz = 0x00F;
  fake.menuChoices = {3};  // the fourth line: entry 7, the actuator list
  EXPECT_EQ(DIAG_BOSCH_M797_E2(), 1);
  const auto shows = calls_starting("ShowMenu");
  ASSERT_GE(shows.size(), 3u);
  EXPECT_EQ(shows.front(), "ShowMenu 0 0 0");
  EXPECT_EQ(shows.back(), "ShowMenu 7 0 0");
  // the list ran and handed the outputs back to the ECU when it was left
  EXPECT_THAT(fake.calls, Contains("KWP 83 10 F1 30 01 00 B5"));
  EXPECT_EQ(TOKEN_OLD.wEcuVariant, 7);
}

TEST_F(Menus, ServiceFailureEndsWithoutDisconnect) {
  fake.menuChoices = {3};     // erase
  fake.kwpResults = {1, -1};  // wake-up ok, erase request fails
  EXPECT_EQ(DIAG_BOSCH_M154(), -1);
  EXPECT_EQ(fake.calls.back(), "KWP 83 10 F1 14 FF 00 97");
  EXPECT_THAT(fake.calls, Not(Contains("KWP 81 10 F1 82 04")));
}

TEST_F(Menus, DeclinedEraseReturnsToTheMenuWithItPreselected) {
  fake.menuChoices = {3};
  fake.confirmAnswers = {3};  // erase question declined
  EXPECT_EQ(DIAG_BOSCH_M154N(), 1);
  EXPECT_THAT(calls_starting("ShowMenu"), ElementsAre("ShowMenu 0 0 0", "ShowMenu 3 0 0"));
  EXPECT_THAT(fake.calls, Not(Contains("KWP 83 10 F1 14 FF 00 97")));
  EXPECT_EQ(TOKEN_OLD.wEcuVariant, 4);
}

// A refused line ends the menu too, before it is shown, with the interface's message.
TEST_F(Menus, ConnectRefusalAndARefusedLineEndTheMenu) {
  fake.kwpResults = {-1, -1};
  EXPECT_EQ(DIAG_BOSCH_M72(), -1);
  EXPECT_THAT(fake.calls, Not(Contains("InitMenu FE551020")));
  fake.calls.clear();
  fake.selectPinResult = 1;
  EXPECT_EQ(DIAG_BOSCH_M72(), 1);
  EXPECT_THAT(fake.calls, Not(Contains("InitMenu FE551020")));
  EXPECT_THAT(fake.calls, Contains("Box FE551007 FE551003 1"));
}

TEST_F(Menus, MenuTitleFailureGivesMinusTwoAndAddFailuresAreBounded) {
  fake.initMenuResult = 1;
  EXPECT_EQ(DIAG_BOSCH_M70_E2(), -2);
  fake.initMenuResult = 0;
  fake.addMenuResult = 1;
  fake.calls.clear();
  EXPECT_EQ(DIAG_BOSCH_M70_E2(), -2);
  EXPECT_EQ(calls_starting("InitMenu").size(), 3u);
}

TEST_F(Menus, M70EntriesOneAndTwoMakeTheSameRead) {
  fake.menuChoices = {1, 2};
  EXPECT_EQ(DIAG_BOSCH_M70_E3(), 1);
  EXPECT_EQ(std::count(fake.calls.begin(), fake.calls.end(), "KWP 84 11 F1 18 00 FF 00 9D"), 2);
  EXPECT_EQ(pFCalcDTC, CalDtc_BOSCH_M70_ENG);
  EXPECT_EQ(TOKEN_OLD.dwDtcBase, 0x58800000u);
}

TEST_F(Menus, DataListEntriesInstallTheirFormulaAndCode) {
  fake.records[0x58200F64] = {'0'};
  fake.menuChoices = {5};
  // Wake-up, session and timing, then the immobiliser record 61 A0 and five bytes.
  fake.kwpAnswers = {{}, {}, {}, {0x01, 0x0C, 0x80, 0xF1, 0x10, 0x07, 0x61, 0xA0, 0x2A, 0x5C, 0x0F, 0x00, 0x00, 0x00}};
  EXPECT_EQ(DIAG_BOSCH_M797_E3(), 1);
  EXPECT_EQ(TOKEN_OLD.cFuncCode, FC_IMMO);
  EXPECT_EQ(pFCalcCD, CalCd_BOSCH_M797_E2_E3_IMM_ENG);
  EXPECT_THAT(fake.calls, Contains("KWP 82 10 F1 21 A0 44"));
  EXPECT_EQ(TOKEN_OLD.wEcuVariant, 8);
}

TEST_F(Menus, MissingItemListEndsTheMenu) {
  fake.menuChoices = {4};
  EXPECT_EQ(DIAG_BOSCH_M154_ADD(), -1);
  EXPECT_EQ(TOKEN_OLD.cFuncCode, FC_STREAM);
  EXPECT_EQ(pFCalcCD, CalCd_BOSCH_M154_ENG);
}

TEST_F(Menus, GmMenusConnectAndEraseThroughTheirComm) {
  fake.menuChoices = {0, 2};        // current codes (none), then erase
  std::vector<u8> block(70, 0x00);  // the mode 1 block: F4, length code, mode and 64 bytes
  block[0] = 0x01;
  block[1] = 68;
  block[2] = 0xF4;
  block[3] = 0x96;
  block[4] = 0x01;
  fake.gmAnswers = {{}, block};
  EXPECT_EQ(DIAG_GM_ISFI(), 1);
  EXPECT_EQ(TOKEN_OLD.wEcuVariant, 0);
  EXPECT_THAT(fake.calls, Contains("GM F4 57 01 00 B4"));
  EXPECT_THAT(fake.calls, Contains("GM F4 56 0A AC"));
  EXPECT_EQ(
      std::count_if(fake.calls.begin(), fake.calls.end(), [](const std::string &c) { return c.rfind("GM", 0) == 0; }),
      3);  // connect, code read, erase
  fake.calls.clear();
  EXPECT_EQ(DIAG_GM_EFI(), 1);
  EXPECT_EQ(TOKEN_OLD.wEcuVariant, 1);
}

}  // namespace
