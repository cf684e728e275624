// Call sequences and frames of the Bosch and GM comm routines.
#include <gmock/gmock.h>

#include <string>
#include <vector>

#include "fake_host.h"

using ::testing::ElementsAre;
using ::testing::ElementsAreArray;
using Calls = std::vector<std::string>;

namespace {

class CommRoutines : public PluginTest {};

const Calls kKLineSettings200 = {
    "Begin", "WaitTime 10000", "VoltLogic 255 255", "Baud 10416", "Param 1 8 1 0", "Interval 2 200 800", "End"};

Calls concat(std::initializer_list<Calls> parts) {
  Calls all;
  for (const Calls &p : parts) all.insert(all.end(), p.begin(), p.end());
  return all;
}

TEST_F(CommRoutines, M154ConnectSetsTheLineWakesTheEcuAndArmsTheKeepAlive) {
  OldConnectType = 3;
  EXPECT_EQ(Comm_BOSCH_M154_ENG(FC_CONNECT, 0, nullptr), 1);
  EXPECT_THAT(fake.calls, ElementsAreArray(concat({{"SelectPIN 3 1 0 7 7", "EnableLLine 0"},
                                                   kKLineSettings200,
                                                   {"Begin", "LineVoltage 2 25 25", "KWP 81 10 F1 81 03", "End",
                                                    "LinkKeep 82 10 F1 3E 01 C2 /6 5 200"}})));
}

TEST_F(CommRoutines, SecondFastInitAttemptRepeatsOnlyTheWakeUp) {
  fake.kwpResults = {0, 1};
  EXPECT_EQ(Comm_BOSCH_M154_ENG(FC_CONNECT, 0, nullptr), 1);
  const Calls wake = {"Begin", "LineVoltage 2 25 25", "KWP 81 10 F1 81 03", "End"};
  EXPECT_THAT(fake.calls, ElementsAreArray(concat({{"SelectPIN 0 1 0 7 7", "EnableLLine 0"},
                                                   kKLineSettings200,
                                                   wake,
                                                   wake,
                                                   {"LinkKeep 82 10 F1 3E 01 C2 /6 5 200"}})));
}

TEST_F(CommRoutines, TwoFailedWakeUpsRefuseTheConnection) {
  fake.kwpResults = {-1, 0};
  EXPECT_EQ(Comm_BOSCH_M154_ENG(FC_CONNECT, 0, nullptr), -1);
  EXPECT_EQ(fake.calls.back(), "End");
}

TEST_F(CommRoutines, RefusedLineGivesZeroWithoutFurtherTraffic) {
  fake.selectPinResult = 4;
  EXPECT_EQ(Comm_BOSCH_M70_ENG(FC_CONNECT, 0, nullptr), 0);
  EXPECT_THAT(fake.calls, ElementsAre("SelectPIN 0 1 0 7 7"));
}

TEST_F(CommRoutines, M70ConnectSetsSessionAndTimingThroughTheFrameLayer) {
  EXPECT_EQ(Comm_BOSCH_M70_ENG(FC_CONNECT, 0, nullptr), 1);
  EXPECT_THAT(fake.calls,
              ElementsAre("SelectPIN 0 1 0 7 7", "EnableLLine 0", "Begin", "WaitTime 10000", "VoltLogic 255 255",
                          "Baud 10416", "Param 1 8 1 0", "Interval 2 80 800", "End", "Begin", "LineVoltage 2 26 25",
                          "KWP 81 11 F1 81 04", "End", "KWP 83 11 F1 10 81 14 2A",
                          "KWP 87 11 F1 83 03 32 50 01 14 00 A6", "LinkKeep 81 11 F1 3E C1 /5 5 200"));
}

TEST_F(CommRoutines, M70SessionFailureEndsTheConnect) {
  fake.kwpResults = {1, -1};
  EXPECT_EQ(Comm_BOSCH_M70_ENG(FC_CONNECT, 0, nullptr), -1);
  EXPECT_EQ(fake.calls.back(), "KWP 83 11 F1 10 81 14 2A");
}

TEST_F(CommRoutines, M797RetriesEachSetUpRequestOnce) {
  // wake-up ok, session fails then passes, timing passes
  fake.kwpResults = {1, -1, 0, 1};
  EXPECT_EQ(Comm_BOSCH_M797_E3_ENG(FC_CONNECT, 0, nullptr), 1);
  const Calls tail(fake.calls.end() - 6, fake.calls.end());
  EXPECT_THAT(tail, ElementsAre("KWP 81 10 F1 81 03", "End", "KWP 83 10 F1 10 81 14 29", "KWP 83 10 F1 10 81 14 29",
                                "KWP 87 10 F1 83 03 00 02 00 14 00 24", "LinkKeep 82 10 F1 3E 01 C2 /6 5 200"));
}

TEST_F(CommRoutines, M797SecondNegativeSetUpResultRefusesTheConnection) {
  fake.kwpResults = {1, 1, -1, -1};
  EXPECT_EQ(Comm_BOSCH_M797_E2_ENG(FC_CONNECT, 0, nullptr), -1);
  EXPECT_EQ(fake.calls.back(), "KWP 87 10 F1 83 03 00 02 00 14 00 24");
  EXPECT_EQ(std::count(fake.calls.begin(), fake.calls.end(), "KWP 87 10 F1 83 03 00 02 00 14 00 24"), 2);
}

TEST_F(CommRoutines, M154DisconnectStopsSessionThenCommunication) {
  EXPECT_EQ(Comm_BOSCH_M154_ENG(FC_DISCONNECT, 0, nullptr), 1);
  EXPECT_THAT(fake.calls, ElementsAre("KWP 81 10 F1 20 A2", "KWP 81 10 F1 82 04"));
}

TEST_F(CommRoutines, DisconnectStopsAtTheFirstFailureAndStopsTheKeepAlive) {
  fake.kwpResults = {-1};
  EXPECT_EQ(Comm_BOSCH_M154_ENG(FC_DISCONNECT, 0, nullptr), -1);
  EXPECT_THAT(fake.calls, ElementsAre("KWP 81 10 F1 20 A2", "LinkKeep stop 0 0 0"));
  fake.calls.clear();
  EXPECT_EQ(Comm_BOSCH_M70_ENG(FC_DISCONNECT, 0, nullptr), 1);
  EXPECT_THAT(fake.calls, ElementsAre("KWP 81 11 F1 82 05"));
}

TEST_F(CommRoutines, ReadCodesMovesTheFirstAnswerFrameToTheBufferStart) {
  fake.kwpAnswers = {{0x01, 0x04, 0x58, 0x01, 0x02, 0x03, 0x77}};
  EXPECT_EQ(Comm_BOSCH_M797_E2_ENG(FC_CODES, 0, nullptr), 1);
  EXPECT_THAT(fake.calls, ElementsAre("KWP 84 10 F1 18 00 FF 00 9C"));
  EXPECT_EQ(hex(TOKEN_OLD.bAnsBuf, 7), "58 01 02 03 02 03 77");
}

// A refused request (7F) carries no data: reading it as codes or values, or
// reporting a refused clear as done, would show the user something false.
TEST_F(CommRoutines, NegativeAnswersFailTheServiceInBothHeaderForms) {
  fake.kwpAnswers = {{0x01, 0x07, 0x83, 0xF1, 0x10, 0x7F, 0x14, 0x22, 0x00},
                     {0x01, 0x08, 0x80, 0xF1, 0x10, 0x03, 0x7F, 0x18, 0x11, 0x00},
                     {0x01, 0x07, 0x83, 0xF1, 0x10, 0x7F, 0x21, 0x12, 0x00},
                     {0x01, 0x05, 0x81, 0xF1, 0x10, 0x54, 0xD6}};
  EXPECT_EQ(Comm_BOSCH_M154_ENG(FC_ERASE, 0, nullptr), -1);
  EXPECT_EQ(Comm_BOSCH_M154_ENG(FC_CODES, 0, nullptr), -1);
  EXPECT_EQ(Comm_BOSCH_M797_E2_ENG(FC_STREAM, 0, nullptr), -1);
  EXPECT_EQ(Comm_BOSCH_M154_ENG(FC_ERASE, 0, nullptr), 1);  // positive 54
}

// A data answer is believed only when it is the answer to the data request:
// anything else (a late keep-alive answer, a cut block, another record) fails
// the request rather than being shown as a fresh pass.
std::vector<u8> kwp_block(u8 service, u8 id, int count, int received = -1) {
  std::vector<u8> a{0x01, 0x00, 0x80, 0xF1, 0x10, static_cast<u8>(count), service, id};
  a.resize(static_cast<std::size_t>(4 + count + 1 + 2), 0x5A);  // data and checksum
  a[1] = static_cast<u8>(received < 0 ? 4 + count + 1 : received);
  return a;
}

std::vector<u8> aldl_block(u8 mode, int count) {
  std::vector<u8> a{0x01, static_cast<u8>(count + 3), 0xF4, static_cast<u8>(0x55 + count), mode};
  a.resize(static_cast<std::size_t>(count + 3 + 2), 0x33);
  return a;
}

TEST_F(CommRoutines, DataAnswersCountOnlyWhenTheyAnswerTheRequest) {
  struct Row {
    const char *what;
    COMM_FN comm;
    u16 variant;
    u8 code;
    std::vector<u8> answer;
    int result;
  };
  const std::vector<Row> rows = {
      {"M1.5.4 block", Comm_BOSCH_M154_ENG, VAZ_VARIANT_M154, FC_STREAM, kwp_block(0x61, 0x01, 0x22), 1},
      {"M1.5.4 block to an M1.5.4N", Comm_BOSCH_M154_ENG, VAZ_VARIANT_M154N, FC_STREAM, kwp_block(0x61, 0x01, 0x22),
       -1},
      {"longer than read", Comm_BOSCH_M154_ENG, VAZ_VARIANT_M154N, FC_STREAM, kwp_block(0x61, 0x01, 0x30), 1},
      {"E3 block", Comm_BOSCH_M797_E3_ENG, VAZ_VARIANT_M797_E3, FC_STREAM, kwp_block(0x61, 0x01, 0x4A), 1},
      {"late keep-alive answer",
       Comm_BOSCH_M797_E3_ENG,
       VAZ_VARIANT_M797_E3,
       FC_STREAM,
       {0x01, 0x05, 0x81, 0xF1, 0x10, 0x7E, 0x00},
       -1},
      {"cut block",
       Comm_BOSCH_M797_E3_ENG,
       VAZ_VARIANT_M797_E3,
       FC_STREAM,
       {0x01, 0x09, 0x85, 0xF1, 0x10, 0x61, 0x01, 0x00, 0x00, 0x00, 0xE8},
       -1},
      {"fewer bytes than announced", Comm_BOSCH_M797_E3_ENG, VAZ_VARIANT_M797_E3, FC_STREAM,
       kwp_block(0x61, 0x01, 0x4A, 40), -1},
      {"other record", Comm_BOSCH_M797_E3_ENG, VAZ_VARIANT_M797_E3, FC_IMMO, kwp_block(0x61, 0x01, 0x4A), -1},
      {"immobiliser record", Comm_BOSCH_M797_E3_ENG, VAZ_VARIANT_M797_E3, FC_IMMO, kwp_block(0x61, 0xA0, 7), 1},
      {"ISFI block", Comm_GM_ISFI_ENG, VAZ_VARIANT_GM_ISFI, FC_STREAM, aldl_block(0x01, 65), 1},
      {"EFI block cut", Comm_GM_EFI_ENG, VAZ_VARIANT_GM_EFI, FC_STREAM, aldl_block(0x01, 40), -1},
      {"ISFI clear answer", Comm_GM_ISFI_ENG, VAZ_VARIANT_GM_ISFI, FC_STREAM, aldl_block(0x0A, 65), -1},
      {"erase is no data request",
       Comm_BOSCH_M154_ENG,
       VAZ_VARIANT_M154,
       FC_ERASE,
       {0x01, 0x06, 0x82, 0xF1, 0x10, 0x54, 0xFF, 0x00},
       1},
  };
  for (const Row &r : rows) {
    TOKEN_OLD.wEcuVariant = r.variant;
    (r.comm == Comm_GM_ISFI_ENG || r.comm == Comm_GM_EFI_ENG ? fake.gmAnswers : fake.kwpAnswers) = {r.answer};
    EXPECT_EQ(r.comm(r.code, 0, nullptr), r.result) << r.what;
  }
}

TEST_F(CommRoutines, FunctionCodesPickTheirFrames) {
  for (u8 code : {FC_ERASE, FC_STREAM, FC_CURCODES, FC_ADC}) Comm_BOSCH_M154_ENG(code, 0, nullptr);
  for (u8 code : {FC_STREAM, FC_ADC, FC_IMMO}) Comm_BOSCH_M797_E3_ENG(code, 0, nullptr);
  EXPECT_THAT(fake.calls, ElementsAre("KWP 83 10 F1 14 FF 00 97", "KWP 82 10 F1 21 01 A5", "KWP 82 10 F1 21 01 A5",
                                      "KWP 82 10 F1 21 03 A7", "KWP 82 10 F1 21 01 A5", "KWP 82 10 F1 21 03 A7",
                                      "KWP 82 10 F1 21 A0 44"));
}

TEST_F(CommRoutines, UnknownCodesSucceedWithoutTraffic) {
  EXPECT_EQ(Comm_BOSCH_M154_ENG('a', 0, nullptr), 1);
  EXPECT_EQ(Comm_BOSCH_M154_ENG(FC_IMMO, 0, nullptr), 1);
  EXPECT_EQ(Comm_BOSCH_M70_ENG(FC_CURCODES, 0, nullptr), 1);
  EXPECT_EQ(Comm_BOSCH_M70_ENG(FC_IMMO, 0, nullptr), 1);
  EXPECT_EQ(Comm_GM_ISFI_ENG(FC_DISCONNECT, 0, nullptr), 1);
  EXPECT_EQ(Comm_GM_ISFI_ENG(FC_DONE, 0, nullptr), 1);
  EXPECT_TRUE(fake.calls.empty());
}

TEST_F(CommRoutines, KeepAliveArmingArgumentsPerFamily) {
  EXPECT_EQ(Comm_BOSCH_M70_ENG(FC_DONE, 0, nullptr), 1);
  EXPECT_EQ(Comm_BOSCH_M797_E2_ENG(FC_DONE, 0, nullptr), 1);
  EXPECT_THAT(fake.calls, ElementsAre("LinkKeep 81 11 F1 3E C1 /5 5 200", "LinkKeep 82 10 F1 3E 01 C2 /6 5 200"));
}

TEST_F(CommRoutines, LibraryCommandSendsTheIndexedItemsFrame) {
  TOKEN_OLD.CdItem[2].dwCmdId = 0x58300403;
  fake.records[0x58300403] = {0x06, 0x82, 0x11, 0xF1, 0x1A, 0x90, 0x00};
  EXPECT_EQ(Comm_BOSCH_M70_ENG(FC_LIBCMD, 2, nullptr), 1);
  EXPECT_EQ(Comm_BOSCH_M70_ENG(FC_ADC, 2, nullptr), 1);
  EXPECT_THAT(fake.calls, ElementsAre("Open COMMAND.GAG", "Search 58300403 1", "Search 58300403 7", "Close",
                                      "KWP 82 11 F1 1A 90 2E", "Open COMMAND.GAG", "Search 58300403 1",
                                      "Search 58300403 7", "Close", "KWP 82 11 F1 1A 90 2E"));
}

TEST_F(CommRoutines, MissingLibraryCommandSendsNothing) {
  TOKEN_OLD.CdItem[0].dwCmdId = 0x58300999;
  EXPECT_EQ(Comm_BOSCH_M154_ENG(FC_LIBCMD, 0, nullptr), -1);
  EXPECT_THAT(fake.calls, ElementsAre("Open COMMAND.GAG", "Search 58300999 1", "Close"));
  EXPECT_EQ(Comm_BOSCH_M154_ENG(FC_LIBCMD, VAZ_CD_MAX, nullptr), -1);
}

TEST_F(CommRoutines, SimulationConnectsWithoutTrafficAndStillStripsCodes) {
  TOKEN_OLD.wSimulate = 1;
  TOKEN_OLD.bAnsBuf[1] = 3;
  TOKEN_OLD.bAnsBuf[2] = 0xAA;
  TOKEN_OLD.bAnsBuf[3] = 0xBB;
  TOKEN_OLD.bAnsBuf[4] = 0xCC;
  EXPECT_EQ(Comm_BOSCH_M154_ENG(FC_CONNECT, 0, nullptr), 1);
  EXPECT_EQ(Comm_GM_EFI_ENG(FC_CONNECT, 0, nullptr), 1);
  EXPECT_EQ(Comm_BOSCH_M154_ENG(FC_STREAM, 0, nullptr), 1);
  EXPECT_TRUE(fake.calls.empty());
  EXPECT_EQ(Comm_BOSCH_M70_ENG(FC_CODES, 0, nullptr), 1);
  EXPECT_EQ(hex(TOKEN_OLD.bAnsBuf, 3), "AA BB CC");
}

TEST_F(CommRoutines, GmConnectProvesTheLinkWithOneRead) {
  EXPECT_EQ(Comm_GM_ISFI_ENG(FC_CONNECT, 0, nullptr), 1);
  EXPECT_THAT(fake.calls,
              ElementsAre("SelectPIN 0 1 0 7 7", "EnableLLine 0", "Begin", "WaitTime 10000", "VoltLogic 0 255",
                          "Baud 8227", "Param 1 8 1 0", "Interval 0 20 600", "End", "GM F4 57 01 00 B4"));
  fake.calls.clear();
  fake.gmResults = {-1};
  EXPECT_EQ(Comm_GM_EFI_ENG(FC_CONNECT, 0, nullptr), -1);
  EXPECT_THAT(fake.calls, ElementsAre("SelectPIN 0 1 0 7 7", "EnableLLine 0", "LinkKeep stop 0 0 0", "Begin",
                                      "WaitTime 10000", "VoltLogic 0 255", "Baud 8227", "Param 1 8 1 0",
                                      "Interval 0 20 600", "End", "GM F4 56 01 B5"));
}

TEST_F(CommRoutines, GmReadsStripAndErasesUseTheEcusRequest) {
  TOKEN_OLD.wEcuVariant = VAZ_VARIANT_GM_EFI;
  fake.gmAnswers = {aldl_block(0x01, 66)};
  EXPECT_EQ(Comm_GM_EFI_ENG(FC_STREAM, 0, nullptr), 1);
  EXPECT_EQ(hex(TOKEN_OLD.bAnsBuf, 4), "F4 97 01 33");
  EXPECT_EQ(Comm_GM_EFI_ENG(FC_ERASE, 0, nullptr), 1);
  EXPECT_EQ(Comm_GM_ISFI_ENG(FC_ERASE, 0, nullptr), 1);
  EXPECT_EQ(Comm_GM_EFI_ENG(FC_DONE, 0, nullptr), 1);
  fake.gmResults = {-1};
  EXPECT_EQ(Comm_GM_ISFI_ENG(FC_CODES, 0, nullptr), -1);
  EXPECT_THAT(fake.calls, ElementsAre("GM F4 56 01 B5", "GM F4 60 04 00 00 40 00 00 00 00 00 00 00 68",
                                      "GM F4 56 0A AC", "LinkKeep stop 0 0 0", "GM F4 57 01 00 B4"));
}

TEST_F(CommRoutines, CommandLibraryFrameIsReadWhole) {
  std::vector<u8> record(256, 0x11);
  record[0] = 0xFF;
  fake.records[0x58300001] = record;
  std::vector<u8> frame(256, 0xEE);
  EXPECT_EQ(GetData_Cmd_fromtext(0x58300001, frame.data()), 1);
  EXPECT_EQ(frame, record);
  EXPECT_THAT(fake.calls, ElementsAre("Open COMMAND.GAG", "Search 58300001 1", "Search 58300001 256", "Close"));
}

}  // namespace
