// The entry's dispatch on the host's ECU type, the automatic Bosch detection
// and the keep-alive stop on every way out.
#include <dlfcn.h>
#include <gmock/gmock.h>

#include <cstring>
#include <string>
#include <vector>

#include "fake_host.h"

using ::testing::Contains;
using ::testing::ElementsAre;
using ::testing::Not;

namespace {

class SessionEntry : public PluginTest {
 protected:
  // The entry binds the display host before anything else; a host without
  // services keeps the fakes in their slots from any working directory.
  void SetUp() override {
    PluginTest::SetUp();
    saved = pStdDll;
    pStdDll = dlopen(VAZ_NO_SERVICES_HOST, RTLD_LAZY | RTLD_LOCAL);
    ASSERT_NE(pStdDll, nullptr) << dlerror();
  }
  void TearDown() override {
    if (pStdDll != nullptr) dlclose(pStdDll);
    pStdDll = saved;
    PluginTest::TearDown();
  }

  void *saved = nullptr;
  // Host record placed at an odd address to prove the reads are unaligned-safe.
  std::vector<u8> storage = std::vector<u8>(3600, 0);
  u8 *record = storage.data() + 1;

  int run(int ecuType, int funcConfig = 0, u8 connector = 0) {
    std::memcpy(record + VAZ_CTX_FUNCTIONS_AT, &funcConfig, 4);
    record[VAZ_CTX_CONNECTOR_AT] = connector;
    std::memcpy(record + VAZ_CTX_ECU_TYPE_AT, &ecuType, 4);
    return DiagnoseMainOldPrtl(record);
  }
};

// A Bosch unit at 0x10 answering identification `a b` and a data block whose
// long-header length byte is `length`.
void ecu_at_10(u8 a, u8 b, u8 length, bool longIdent = false) {
  if (longIdent)
    fake.kwpAnswers = {{}, {0x01, 0x0A, 0x80, 0xF1, 0x10, 0x07, 0x5A, 0x9A, a, b, 0x20, 0x20}};
  else
    fake.kwpAnswers = {{}, {0x01, 0x09, 0x87, 0xF1, 0x10, 0x5A, 0x9A, a, b, 0x20, 0x20}};
  fake.kwpAnswers.push_back({0x01, 0x05, 0x80, 0xF1, 0x10, length, 0x61, 0x01});
}

TEST_F(SessionEntry, TypesOutsideTheTableOnlyStopTheKeepAlive) {
  for (int type : {0, 12, -3}) {
    fake.calls.clear();
    EXPECT_EQ(run(type), 1);
    EXPECT_THAT(fake.calls, ElementsAre("LinkKeep stop 0 0 0"));
  }
}

TEST_F(SessionEntry, ContextFieldsAreTakenBeforeTheRecordIsCleared) {
  TOKEN_OLD.wSimulate = 7;
  TOKEN_OLD.wCdNum = 9;
  EXPECT_EQ(run(0, 0x1234567, 0x42), 1);
  EXPECT_EQ(iFuncConfig_vaz, 0x1234567);
  EXPECT_EQ(OldConnectType, 0x42);
  EXPECT_EQ(TOKEN_OLD.wSimulate, 0);
  EXPECT_EQ(TOKEN_OLD.wCdNum, 0);
}

TEST_F(SessionEntry, NormalMenuExitShowsNoBox) {
  EXPECT_EQ(run(1, 0, 5), 1);
  EXPECT_THAT(fake.calls, Contains("SelectPIN 5 1 0 7 7"));
  EXPECT_THAT(fake.calls, Not(Contains("Box FE551004 FE551003 1")));
  EXPECT_EQ(fake.calls.back(), "LinkKeep stop 0 0 0");
}

TEST_F(SessionEntry, FailedMenuShowsTheFailureBoxThenStopsTheKeepAlive) {
  fake.kwpResults = {-1, -1};
  EXPECT_EQ(run(VAZ_ECU_TYPE_M70_E3), 1);
  const std::vector<std::string> tail(fake.calls.end() - 2, fake.calls.end());
  EXPECT_THAT(tail, ElementsAre("Box FE551004 FE551003 1", "LinkKeep stop 0 0 0"));
  EXPECT_EQ(TOKEN_OLD.wEcuVariant, VAZ_VARIANT_M70_E3);
}

TEST_F(SessionEntry, EachTypeStartsItsMenu) {
  const int variants[] = {0,
                          VAZ_VARIANT_M154,
                          VAZ_VARIANT_M154_ADD,
                          VAZ_VARIANT_M154N,
                          VAZ_VARIANT_M70_E2,
                          VAZ_VARIANT_M70_E3,
                          VAZ_VARIANT_M154N,  // M7.2
                          VAZ_VARIANT_M797_E2,
                          VAZ_VARIANT_M797_E3,
                          VAZ_VARIANT_GM_EFI,
                          VAZ_VARIANT_GM_ISFI};
  for (int type = VAZ_ECU_TYPE_M154; type <= VAZ_ECU_TYPE_GM_ISFI; ++type) {
    TOKEN_OLD.wEcuVariant = 99;
    run(type);
    EXPECT_EQ(TOKEN_OLD.wEcuVariant, variants[type]) << "type " << type;
  }
}

TEST_F(SessionEntry, DetectionRunsTheMenuOfTheUnitFound) {
  ecu_at_10('M', '1', 0x22);
  EXPECT_EQ(run(VAZ_ECU_TYPE_AUTO), 1);
  EXPECT_EQ(fake.calls.front(), "Box FE551025 FE551024 5");
  EXPECT_THAT(fake.calls, Contains("KWP 82 10 F1 1A 9A 37"));
  EXPECT_THAT(fake.calls, Contains("Box FE55102F FE551011 1"));
  EXPECT_THAT(fake.calls, Contains("LinkKeep stop 0 0 200"));
  EXPECT_THAT(fake.calls, Contains("Box FE551006 FE551006 5"));
  EXPECT_EQ(TOKEN_OLD.wEcuVariant, VAZ_VARIANT_M154);
  EXPECT_EQ(fake.calls.back(), "LinkKeep stop 0 0 0");
}

TEST_F(SessionEntry, DetectionFailureAndUnknownUnitEachHaveTheirBox) {
  fake.kwpResults = {-1, -1, -1, -1};
  EXPECT_EQ(run(VAZ_ECU_TYPE_AUTO), 1);
  EXPECT_THAT(
      fake.calls,
      ElementsAre("Box FE551025 FE551024 5", "SelectPIN 0 1 0 7 7", "EnableLLine 0", "Begin", "WaitTime 10000",
                  "VoltLogic 255 255", "Baud 10416", "Param 1 8 1 0", "Interval 2 200 800", "End", "Begin",
                  "LineVoltage 2 25 25", "KWP 81 10 F1 81 03", "End", "Begin", "LineVoltage 2 25 25",
                  "KWP 81 10 F1 81 03", "End", "SelectPIN 0 1 0 7 7", "EnableLLine 0", "Begin", "WaitTime 10000",
                  "VoltLogic 255 255", "Baud 10416", "Param 1 8 1 0", "Interval 2 80 800", "End", "Begin",
                  "LineVoltage 2 26 25", "KWP 81 11 F1 81 04", "End", "Begin", "LineVoltage 2 26 25",
                  "KWP 81 11 F1 81 04", "End", "Box FE551004 FE551003 1", "LinkKeep stop 0 0 0"));
  fake.calls.clear();
  ecu_at_10('Z', 'Z', 0x22);
  EXPECT_EQ(run(VAZ_ECU_TYPE_AUTO), 1);
  const std::vector<std::string> tail(fake.calls.end() - 3, fake.calls.end());
  EXPECT_THAT(tail, ElementsAre("LinkKeep stop 0 0 200", "Box FE551026 FE551024 1", "LinkKeep stop 0 0 0"));
}

class AutoDetect : public PluginTest {};

TEST_F(AutoDetect, ClassifiesByKeyAndDataLength) {
  const struct {
    u8 a, b, length;
    int code;
  } cases[] = {{'B', '1', 0x4A, VAZ_DETECT_M797_E3},  {'B', '1', 0x43, VAZ_DETECT_M797_E2},
               {'M', '1', 0x24, VAZ_DETECT_M154N_M1}, {'J', '5', 0x24, VAZ_DETECT_M154N_J5},
               {'V', '5', 0x22, VAZ_DETECT_M154_J5},  {'M', '1', 0x22, VAZ_DETECT_M154_M1},
               {'M', '7', 0x51, VAZ_DETECT_M70_E3},   {'M', '7', 0x50, VAZ_DETECT_NONE},
               {'M', '7', 0x4F, VAZ_DETECT_M70_E2},   {'I', '2', 0x25, VAZ_DETECT_M72},
               {'I', '2', 0x24, VAZ_DETECT_NONE},     {'X', 'X', 0x22, VAZ_DETECT_NONE}};
  for (const auto &c : cases) {
    ecu_at_10(c.a, c.b, c.length);
    EXPECT_EQ(Comm_BOSCH_AUTO_ENG(), c.code) << c.a << c.b << " " << int(c.length);
  }
}

TEST_F(AutoDetect, LongHeaderIdentificationGivesTheSameKey) {
  ecu_at_10('M', '1', 0x22, true);
  EXPECT_EQ(Comm_BOSCH_AUTO_ENG(), VAZ_DETECT_M154_M1);
  const std::vector<std::string> tail(fake.calls.end() - 4, fake.calls.end());
  EXPECT_THAT(tail, ElementsAre("KWP 81 10 F1 20 A2", "KWP 81 10 F1 82 04", "Box FE55102F FE551011 1",
                                "LinkKeep stop 0 0 200"));
  EXPECT_EQ(pFComm, Comm_BOSCH_M154_ENG);
}

TEST_F(AutoDetect, SecondAddressIsProbedOnlyAfterARefusedConnect) {
  fake.selectPinResult = 1;  // line refused: 0x10 connect gives 0 and the 0x10 requests follow
  ecu_at_10('M', '7', 0x4F);
  fake.kwpAnswers.pop_front();
  EXPECT_EQ(Comm_BOSCH_AUTO_ENG(), VAZ_DETECT_M70_E2);
  EXPECT_THAT(fake.calls, Not(Contains("KWP 81 11 F1 81 04")));

  fake = FakeHost{};
  fake.kwpResults = {-1, -1};  // both wake-ups at 0x10 fail
  // two wake-ups at 0x10, then wake-up, session and timing at 0x11
  fake.kwpAnswers = {{},
                     {},
                     {},
                     {},
                     {},
                     {0x01, 0x09, 0x87, 0xF1, 0x11, 0x5A, 0x9A, 'M', '7', 0x20, 0x20},
                     {0x01, 0x05, 0x80, 0xF1, 0x11, 0x51, 0x61, 0x01}};
  EXPECT_EQ(Comm_BOSCH_AUTO_ENG(), VAZ_DETECT_M70_E3);
  EXPECT_EQ(TOKEN_OLD.wEcuVariant, VAZ_VARIANT_M70_E2);
  EXPECT_EQ(pFComm, Comm_BOSCH_M70_ENG);
  EXPECT_THAT(fake.calls, Contains("KWP 82 11 F1 1A 9A 38"));
  EXPECT_THAT(fake.calls, Not(Contains("KWP 81 10 F1 20 A2")));
  EXPECT_THAT(fake.calls, Contains("KWP 81 11 F1 82 05"));
}

TEST_F(AutoDetect, FailedStopRequestGivesMinusOneWithoutMessage) {
  ecu_at_10('M', '1', 0x22);
  fake.kwpResults = {1, 1, 1, -1};
  EXPECT_EQ(Comm_BOSCH_AUTO_ENG(), VAZ_DETECT_FAILED);
  EXPECT_EQ(fake.calls.back(), "KWP 81 10 F1 20 A2");
}

}  // namespace
