// Trouble-code reading and erasing, the answer-frame picker and the
// identification screen.
#include <gmock/gmock.h>

#include <vector>

#include "fake_host.h"

using ::testing::ElementsAre;

namespace {

class Services : public PluginTest {
 protected:
  void SetUp() override {
    PluginTest::SetUp();
    pFComm = fake_comm;
  }
};

int two_codes() {
  TOKEN_OLD.cDtcNum = 2;
  TOKEN_OLD.dwDtcCode[0] = TOKEN_OLD.dwDtcBase + 0x0300;
  TOKEN_OLD.dwDtcState[0] = 0xFE551100;
  TOKEN_OLD.dwDtcCode[1] = TOKEN_OLD.dwDtcBase + 0x0301;
  TOKEN_OLD.dwDtcState[1] = 0xFFFFFFFF;
  return 0;
}

int no_codes() {
  TOKEN_OLD.cDtcNum = 0;
  return 0;
}

int too_many_codes() {
  TOKEN_OLD.cDtcNum = 200;
  return 0;
}

TEST_F(Services, TroubleCodesAreShownThenDoneIsSent) {
  TOKEN_OLD.cFuncCode = FC_CODES;
  TOKEN_OLD.dwDtcBase = 0x58200000;
  pFCalcDTC = two_codes;
  EXPECT_EQ(TroubleCode_SingleCom(), 0);
  EXPECT_THAT(fake.calls, ElementsAre("Box FE551009 FE55100B 5", "Comm 31 0", "InitCodes", "AddCode 58200300 FE551100",
                                      "AddCode 58200301 FFFFFFFF", "ShowCodes", "Comm 21 0"));
}

TEST_F(Services, NoCodeShowsOnlyTheNoCodeBoxWithoutDone) {
  TOKEN_OLD.cFuncCode = FC_CURCODES;
  pFCalcDTC = no_codes;
  EXPECT_EQ(TroubleCode_SingleCom(), 0);
  EXPECT_THAT(fake.calls, ElementsAre("Box FE551009 FE55100B 5", "Comm 32 0", "Box FE551019 FE551009 6"));
}

TEST_F(Services, TroubleCodeFailuresGiveMinusOne) {
  TOKEN_OLD.cFuncCode = FC_CODES;
  pFCalcDTC = two_codes;
  fake.commResults = {0};
  EXPECT_EQ(TroubleCode_SingleCom(), -1);
  EXPECT_EQ(fake.calls.back(), "Comm 31 0");
  fake.commResults = {1, -1};
  EXPECT_EQ(TroubleCode_SingleCom(), -1);
  EXPECT_EQ(fake.calls.back(), "Comm 21 0");
}

TEST_F(Services, DecoderCountBeyondTheTableListsOnlyTheTable) {
  TOKEN_OLD.cFuncCode = FC_CODES;
  pFCalcDTC = too_many_codes;
  EXPECT_EQ(TroubleCode_SingleCom(), 0);
  EXPECT_EQ(std::count_if(fake.calls.begin(), fake.calls.end(),
                          [](const std::string &c) { return c.rfind("AddCode", 0) == 0; }),
            VAZ_DTC_MAX);
}

TEST_F(Services, EraseAsksSendsAndReports) {
  TOKEN_OLD.cFuncCode = FC_ERASE;
  EXPECT_EQ(EraseCode_SingleCom(), 0);
  EXPECT_THAT(fake.calls, ElementsAre("Box FE551017 FE55100E 3", "Box FE551014 FE55100E 5", "Comm 41 0", "Comm 21 0",
                                      "Box FE551016 FE55100E 6"));
}

TEST_F(Services, DeclinedEraseSendsNothing) {
  TOKEN_OLD.cFuncCode = FC_ERASE;
  fake.confirmAnswers = {3};
  EXPECT_EQ(EraseCode_SingleCom(), 0);
  EXPECT_THAT(fake.calls, ElementsAre("Box FE551017 FE55100E 3"));
}

TEST_F(Services, FailedEraseGivesMinusOneWithoutTheDoneBox) {
  TOKEN_OLD.cFuncCode = FC_ERASE;
  fake.commResults = {-1};
  EXPECT_EQ(EraseCode_SingleCom(), -1);
  EXPECT_EQ(fake.calls.back(), "Comm 41 0");
}

TEST_F(Services, EraseWithoutAQuestionBoxErasesNothing) {
  ShowMessageBoxID = nullptr;
  TOKEN_OLD.cFuncCode = FC_ERASE;
  EXPECT_EQ(EraseCode_SingleCom(), 0);
  EXPECT_TRUE(fake.calls.empty());
}

TEST_F(Services, AnswerFramePickerWalksLengthBytesAndStaysInTheBuffer) {
  u8 answer[VAZ_ANS_SIZE] = {0x02, 0x03, 0xA1, 0xA2, 0xA3, 0x02, 0xB1, 0xB2};
  u8 out[256] = {};
  EXPECT_EQ(Get_EcuAnsdata(1, answer, out), 4);
  EXPECT_EQ(hex(out, 4), "03 A1 A2 A3");
  EXPECT_EQ(Get_EcuAnsdata(2, answer, out), 3);
  EXPECT_EQ(hex(out, 3), "02 B1 B2");
  EXPECT_EQ(Get_EcuAnsdata(0, answer, out), -1);
  u8 longFrames[VAZ_ANS_SIZE] = {0x02, 0xFF};
  longFrames[257] = 0xFF;  // frame 2 would end past the buffer
  EXPECT_EQ(Get_EcuAnsdata(2, longFrames, out), -1);
  EXPECT_EQ(Get_EcuAnsdata(3, longFrames, out), -1);
}

TEST_F(Services, IdentificationRequestsEveryFieldOnEveryPass) {
  pFCalcCD = fake_calc;
  TOKEN_OLD.cFuncCode = FC_LIBCMD;
  TOKEN_OLD.wCdNum = 2;
  TOKEN_OLD.CdItem[0].dwTextId = 0x58200A01;
  TOKEN_OLD.CdItem[1].dwTextId = 0x58200A02;
  fake.streamShows = {0, 1};
  EXPECT_EQ(INFO_SingleCom_SingleCalc(), 0);
  EXPECT_THAT(fake.calls,
              ElementsAre("Box FE551018 FE551011 5", "InitStream", "Comm 71 0", "AddItem 58200A01 v1", "Comm 71 1",
                          "AddItem 58200A02 v2", "ShowStream", "InitStream", "Comm 71 0", "AddItem 58200A01 v1",
                          "Comm 71 1", "AddItem 58200A02 v2", "ShowStream", "Comm 21 0"));
}

TEST_F(Services, IdentificationFailureMidPassEndsWithoutDone) {
  pFCalcCD = fake_calc;
  TOKEN_OLD.cFuncCode = FC_LIBCMD;
  TOKEN_OLD.wCdNum = 3;
  fake.commResults = {1, 0};
  EXPECT_EQ(INFO_SingleCom_SingleCalc(), -1);
  EXPECT_EQ(fake.calls.back(), "Comm 71 1");
  fake.calls.clear();
  fake.refuseItemAt = 0;
  fake.itemsAdded = 0;
  EXPECT_EQ(INFO_SingleCom_SingleCalc(), -2);
  EXPECT_EQ(fake.calls.back(), "Box FE551005 FE551003 1");
}

TEST_F(Services, IdentificationOfAnEmptyListSendsNoRequest) {
  pFCalcCD = fake_calc;
  EXPECT_EQ(INFO_SingleCom_SingleCalc(), 0);
  EXPECT_THAT(fake.calls, ElementsAre("Box FE551018 FE551011 5", "InitStream", "ShowStream", "Comm 21 0"));
}

}  // namespace
