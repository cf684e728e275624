// The interactive CO adjustment of the M1.5.4 and its panel: raising,
// lowering with wrap-around, both ways of finishing, and the failure exits.
#include "actuator_test.h"

namespace {

Bytes co(u8 v) { return kwp({0x84, 0x10, 0xF1, 0x30, 0x61, 0x08, v}); }
const Bytes kRestore = kwp({0x83, 0x10, 0xF1, 0x30, 0x61, 0x00});

class CoAdjustment : public ActuatorTest {};

TEST_F(CoAdjustment, FinishWithZeroAnswerOnlyHandsControlBack) {
  h.panelButtons = {2};
  h.questionAnswers = {0};
  EXPECT_EQ(ACT_BOSCH_M154_ENG_CO_X(), 1);
  EXPECT_EQ(frames, (std::vector<Bytes>{co(0x64), kRestore}));
  EXPECT_EQ(hex(frames[0]), "84 10 F1 30 61 08 64 82");
  EXPECT_EQ(hex(frames[1]), "83 10 F1 30 61 00 15");
  EXPECT_EQ(h.boxes.front(), (Box{0xFE55101A, 0xFE551010, 5}));
  EXPECT_EQ(h.boxes[1], (Box{0xFE5520A2, 0xFE5520A1, 2}));
  EXPECT_EQ(h.boxes.back(), (Box{0xFE55103C, 0xFE551010, 1})) << "says the value last set stays";
  // The panel: three buttons, the second item of the M1.5.4 list, read with 'S'.
  ASSERT_EQ(h.panels.size(), 1u);
  EXPECT_EQ(h.panels[0], (std::vector<u32>{0x58030112, 0x58030113, 0x58030114}));
  EXPECT_EQ(h.nameListsLoaded, (std::vector<u32>{0x58200400}));
  ASSERT_EQ(h.panelItems.size(), 1u);
  EXPECT_EQ(h.panelItems[0].first, 0x58200402u);
  EXPECT_EQ(h.commCodes, (std::vector<u8>{FC_STREAM, FC_STREAM})) << "the ECU's trim first, then the panel";
  EXPECT_EQ(pFCalcCD, CalCd_BOSCH_M154_ENG);
}

// The steps start from the trim the ECU reports in its data block (byte 14), in both
// header forms: opening the panel changes nothing, and it shows what live data shows.
TEST_F(CoAdjustment, StartsAtTheTrimTheEcuReports) {
  for (const u8 format : {u8{0x93}, u8{0x80}}) {
    SetUp();
    const int start = format == 0x80 ? 3 : 2;  // the block's first byte in bAnsBuf
    TOKEN_OLD.bAnsBuf[0] = 1;
    TOKEN_OLD.bAnsBuf[1] = 20;
    TOKEN_OLD.bAnsBuf[2] = format;
    TOKEN_OLD.bAnsBuf[start + 14] = 0x0A;
    h.panelButtons = {1, 2};
    EXPECT_EQ(ACT_BOSCH_M154_ENG_CO_X(), 1);
    EXPECT_EQ(frames, (std::vector<Bytes>{co(0x0A), co(0x0B), kRestore})) << std::hex << int{format};
  }
  // An answer too short to carry the trim leaves the base value.
  SetUp();
  TOKEN_OLD.bAnsBuf[0] = 1;
  TOKEN_OLD.bAnsBuf[1] = 14;
  TOKEN_OLD.bAnsBuf[16] = 0x0A;
  h.panelButtons = {2};
  ACT_BOSCH_M154_ENG_CO_X();
  EXPECT_EQ(frames.front(), co(0x64));
}

TEST_F(CoAdjustment, FinishWithNonZeroAnswerStoresValueOne) {
  h.panelButtons = {2};
  h.questionAnswers = {1};
  EXPECT_EQ(ACT_BOSCH_M154_ENG_CO_X(), 1);
  ASSERT_EQ(frames.size(), 3u);
  EXPECT_EQ(hex(frames[1]), "84 10 F1 30 61 08 01 1F");
  EXPECT_EQ(frames[2], kRestore);
  EXPECT_EQ(h.boxes.back(), (Box{0xFE55103B, 0xFE551010, 1})) << "says the base value was stored";
}

TEST_F(CoAdjustment, RaiseTwice) {
  h.panelButtons = {1, 1, 2};
  EXPECT_EQ(ACT_BOSCH_M154_ENG_CO_X(), 1);
  EXPECT_EQ(frames, (std::vector<Bytes>{co(0x64), co(0x65), co(0x66), kRestore}));
  EXPECT_EQ(TOKEN_OLD.cCoValue, 0x66);
  EXPECT_EQ(h.panels.size(), 3u) << "the panel is reopened and re-read every pass";
  EXPECT_EQ(h.commCodes.size(), 4u) << "the ECU's trim, then one read per pass";
}

TEST_F(CoAdjustment, LowerStopsAtZeroInsteadOfWrapping) {
  for (int i = 0; i < 101; ++i) h.panelButtons.push_back(0);
  h.panelButtons.push_back(2);
  EXPECT_EQ(ACT_BOSCH_M154_ENG_CO_X(), 1);
  ASSERT_EQ(frames.size(), 102u) << "the 101st step is refused, nothing sent";
  EXPECT_EQ(frames[100], co(0x00));
  EXPECT_EQ(frames[101], kRestore);
  EXPECT_EQ(TOKEN_OLD.cCoValue, 0x00);
  EXPECT_EQ(std::count(h.boxes.begin(), h.boxes.end(), (Box{0xFE551035, 0xFE551010, 1})), 1);
}

TEST_F(CoAdjustment, NoButtonPressedRefreshesWithoutSending) {
  h.panelButtons = {-1, 7, 2};
  EXPECT_EQ(ACT_BOSCH_M154_ENG_CO_X(), 1);
  EXPECT_EQ(frames, (std::vector<Bytes>{co(0x64), kRestore}));
  EXPECT_EQ(h.panels.size(), 3u);
}

TEST_F(CoAdjustment, ThirdFailedRequestEndsThePanel) {
  h.panelButtons = {1, 1, 1, 1, 1, 2};
  // First request ok; then fail, fail, ok, fail.
  h.kwpResults = {0, -1, -1, 0, -1};
  EXPECT_EQ(CurrentData_SingleCom_Allcal_DisplayCO(), -2) << "no CO state set up yet";
  SetUp();
  h.panelButtons = {1, 1, 1, 1, 1, 2};
  h.kwpResults = {0, -1, -1, 0, -1};
  EXPECT_EQ(ACT_BOSCH_M154_ENG_CO_X(), -1);
  EXPECT_EQ(frames.size(), 5u);
  EXPECT_NE(frames.back(), kRestore) << "no hand-back on a failure exit";
  EXPECT_EQ(h.boxes.back(), (Box{0xFE551005, 0xFE551003, 1}));
}

TEST_F(CoAdjustment, FailedFirstRequestOpensNoPanel) {
  h.kwpResults = {-1};
  EXPECT_EQ(ACT_BOSCH_M154_ENG_CO_X(), -1);
  EXPECT_TRUE(h.panels.empty());
  EXPECT_EQ(frames.size(), 1u);

  SetUp();
  h.commResults = {0};
  EXPECT_EQ(ACT_BOSCH_M154_ENG_CO_X(), -1);
  EXPECT_TRUE(frames.empty()) << "the trim could not be read: nothing is taken over";
}

TEST_F(CoAdjustment, MissingDataListFails) {
  IdSearch = [](const u8 *, u8 *, int, void *) { return 0; };
  EXPECT_EQ(ACT_BOSCH_M154_ENG_CO_X(), -1);
  EXPECT_TRUE(h.panels.empty());
}

TEST_F(CoAdjustment, FailedReadEndsWithoutMessage) {
  h.commResults = {1, 0};
  EXPECT_EQ(ACT_BOSCH_M154_ENG_CO_X(), -1);
  EXPECT_EQ(frames.size(), 1u);
  EXPECT_EQ(h.boxes.size(), 1u) << "only the in-progress notice";
}

TEST_F(CoAdjustment, RefusedPanelLineEndsWithMessage) {
  h.addPanelItemResult = 1;
  EXPECT_EQ(ACT_BOSCH_M154_ENG_CO_X(), -1);
  EXPECT_EQ(h.boxes.back(), (Box{0xFE551005, 0xFE551003, 1}));
}

TEST_F(CoAdjustment, MissingPanelDoesNotLoopBlind) {
  ShowActiveTestItem = nullptr;
  EXPECT_EQ(ACT_BOSCH_M154_ENG_CO_X(), -1);
  EXPECT_EQ(frames.size(), 1u);
}

TEST_F(CoAdjustment, PanelRefusesStateThatWouldOverrunItsFrames) {
  TOKEN_OLD.bCoFrame[0] = 8;
  TOKEN_OLD.bCoRestore[0] = 7;
  TOKEN_OLD.dwCoPos = 40;
  EXPECT_EQ(CurrentData_SingleCom_Allcal_DisplayCO(), -2);
  TOKEN_OLD.dwCoPos = 7;
  TOKEN_OLD.bCoRestore[0] = 200;
  EXPECT_EQ(CurrentData_SingleCom_Allcal_DisplayCO(), -2);
  EXPECT_TRUE(frames.empty());
  EXPECT_TRUE(h.panels.empty());
}

TEST_F(CoAdjustment, StateIsRewrittenAtEveryStart) {
  TOKEN_OLD.cCoValue = 0x10;
  TOKEN_OLD.bCoFrame[12] = 0xEE;
  h.panelButtons = {2};
  ACT_BOSCH_M154_ENG_CO_X();
  EXPECT_EQ(TOKEN_OLD.dwCoPos, 7u);
  EXPECT_EQ(TOKEN_OLD.bCoFrame[12], 0);
  EXPECT_EQ(TOKEN_OLD.cCoValue, 0x64);
}

}  // namespace
