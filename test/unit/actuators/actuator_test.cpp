// The actuator tests' fixture on the shared fake host.
#include "actuator_test.h"

#include <map>

namespace {

// Item counts of the test menus the catalogues open.
const std::map<u32, std::string> kMenuCounts = {
    {0x58030200, "11"}, {0x58030500, "12"}, {0x58030900, "18"}, {0x58030B00, "13"}, {0x58030600, "19"},
    {0x58030700, "16"}, {0x58030300, "2"},  {0x58027000, "2"},  {0x5802B000, "2"},
};

}  // namespace

void ActuatorTest::SetUp() {
  PluginTest::SetUp();
  fake.texts = kMenuCounts;
  fake.otherText = "0";
  fake.otherRecord = Bytes{'3'};  // every name list holds three names
  fake.dataReadAnswers = true;
  TOKEN_OLD.wEcuVariant = 2;
  iFuncConfig_vaz = 0;
  pFComm = fake_comm;
}

void ActuatorTest::TearDown() {
  // The only number the actuator tests ask for is the CO adjustment's, under its own title.
  for (const std::string &call : fake.calls)
    if (call.rfind("Input ", 0) == 0) { EXPECT_EQ(call, "Input FE551010 FE551021"); }
  pFComm = nullptr;
  PluginTest::TearDown();
}
