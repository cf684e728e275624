// The M1.5.4 family on the wire: connect sequence, keep-alive, the requests of
// every menu entry and the disconnect, byte for byte.
#include <gmock/gmock.h>

#include "e2e_support.h"

using ::testing::ElementsAre;
using ::testing::HasSubstr;

namespace {

constexpr int kM154 = VAZ_ECU_TYPE_M154, kM154Add = VAZ_ECU_TYPE_M154_ADD, kM154N = VAZ_ECU_TYPE_M154N;

TEST(M154Wire, ConnectWakesTheEcuAndLeavingTheMenuStopsSessionThenCommunication) {
  auto r = e2e::bench().run(e2e::session(kM154, "m154", "back\n"));
  EXPECT_EQ(r.returned, 1);
  EXPECT_THAT(e2e::frames(r.trace), ElementsAre("T> 81 10 F1 81 03", "E< 83 F1 10 C1 EF 8F C3", "T> 81 10 F1 20 A2",
                                                "E< 81 F1 10 60 E2", "T> 81 10 F1 82 04", "E< 81 F1 10 C2 44"));
  // line set up at 10416 baud, woken by 25 ms low / 25 ms high, then kept alive
  const auto baud = r.trace.find("baud rate 10416");
  const auto wake = r.trace.find("fast-init pattern: mode 2, 25 ms low, 25 ms high");
  const auto armed = r.trace.find("keep-alive armed: 82 10 F1 3E 01 C2");
  ASSERT_NE(baud, std::string::npos);
  ASSERT_NE(wake, std::string::npos);
  ASSERT_NE(armed, std::string::npos);
  EXPECT_LT(baud, wake);
  EXPECT_LT(wake, r.trace.find("T> 81 10 F1 81 03"));
  EXPECT_LT(r.trace.find("E< 83 F1 10 C1"), armed);
  EXPECT_THAT(r.trace, HasSubstr("keep-alive stopped"));
}

TEST(M154Wire, EveryEntryOfTheFamilyMenusSendsItsRequest) {
  struct Case {
    int ecu;
    const char *car;
    const char *script;
    const char *frame;
    int times;
  };
  const Case cases[] = {
      {kM154, "m154", "choose Stored trouble codes\nleave\n", "84 10 F1 18 00 FF 00 9C", 1},
      {kM154, "m154", "choose Current trouble codes\n", "82 10 F1 21 01 A5", 1},
      {kM154, "m154", "choose Clear trouble codes\nyes\n", "83 10 F1 14 FF 00 97", 1},
      {kM154, "m154", "choose Live data\ntick all\nstay 3\nback\n", "82 10 F1 21 01 A5", 3},
      {kM154, "m154", "choose Converter values\ntick all\nstay 2\nback\n", "82 10 F1 21 03 A7", 2},
      {kM154Add, "m154-add", "choose Converter values\ntick all\nstay 1\nback\n", "82 10 F1 21 03 A7", 1},
      {kM154N, "m154n", "choose Live data\ntick 1\nstay 2\nback\n", "82 10 F1 21 01 A5", 2},
  };
  for (const Case &c : cases) {
    auto s = e2e::session(c.ecu, c.car, c.script);
    s.carOptions.push_back({"dtc", "0102"});
    auto r = e2e::bench().run(s);
    EXPECT_EQ(e2e::times_sent(r.trace, c.frame), c.times) << c.script << r.trace;
    EXPECT_EQ(e2e::sent(r.trace).back(), "81 10 F1 82 04") << c.script;
  }
}

TEST(M154Wire, IdentificationSendsOneRequestPerFieldFromTheCommandLibrary) {
  auto r = e2e::bench().run(e2e::session(kM154, "m154", "choose Identification\nstay 1\n"));
  std::vector<std::string> expected = {"81 10 F1 81 03"};
  for (int option = 0x90; option <= 0x9A; ++option) {
    char frame[32];
    std::snprintf(frame, sizeof frame, "82 10 F1 1A %02X %02X", option, (0x82 + 0x10 + 0xF1 + 0x1A + option) & 0xFF);
    expected.push_back(frame);
  }
  expected.push_back("81 10 F1 20 A2");
  expected.push_back("81 10 F1 82 04");
  EXPECT_EQ(e2e::sent(r.trace), expected);
}

TEST(M154Wire, LeavingEachScreenRearmsTheKeepAlive) {
  // Back in the data list, then Back in the selection box: '!' twice.
  auto r = e2e::bench().run(e2e::session(kM154, "m154", "choose Live data\ntick 1\nstay 1\nback\nback\n"));
  size_t armed = 0;
  for (size_t at = r.trace.find("keep-alive armed"); at != std::string::npos;
       at = r.trace.find("keep-alive armed", at + 1))
    ++armed;
  EXPECT_EQ(armed, 3u);  // at connect, and once per screen left
}

}  // namespace
