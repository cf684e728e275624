// The GM ISFI and EFI menus over ALDL end to end: connect, the mode 1, 0x0A and
// mode 4 frames with their checksums, the bit-mapped code lists, live data and
// the actuator value conversions.
#include <gmock/gmock.h>

#include "e2e_support.h"

using ::testing::Contains;
using ::testing::ElementsAre;
using ::testing::HasSubstr;
using ::testing::Not;

namespace {

constexpr int kEfi = VAZ_ECU_TYPE_GM_EFI, kIsfi = VAZ_ECU_TYPE_GM_ISFI;
const std::string kFailureBox = "[message, style 1] Communication error | Communication with the control unit failed";

TEST(GmAldl, IsfiConnectsWithOneDataRequestAt8227Baud) {
  auto r = e2e::bench().run(e2e::session(kIsfi, "gm-isfi", "back\n"));
  EXPECT_EQ(e2e::sent(r.trace), (std::vector<std::string>{"F4 57 01 00 B4"}));
  EXPECT_THAT(r.trace, HasSubstr("baud rate 8227"));
  EXPECT_LT(r.trace.find("baud rate 8227"), r.trace.find("T> F4 57 01 00 B4"));
  EXPECT_EQ(e2e::blocks(r.transcript, "[menu").size(), 1u);
}

TEST(GmAldl, EfiStopsAnyKeepAliveBeforeItSetsTheLineUp) {
  auto r = e2e::bench().run(e2e::session(kEfi, "gm-efi", "back\n"));
  EXPECT_EQ(e2e::sent(r.trace), (std::vector<std::string>{"F4 56 01 B5"}));
  const auto stopped = r.trace.find("keep-alive stopped");
  ASSERT_NE(stopped, std::string::npos);
  EXPECT_LT(stopped, r.trace.find("baud rate 8227"));
}

TEST(GmAldl, IsfiCurrentAndStoredCodesCarryTheirTexts) {
  auto s = e2e::session(kIsfi, "gm-isfi", "choose 1\nleave\nchoose 2\nleave\n");
  s.carOptions.push_back({"faults", "05 00 00 00 00 00"});  // codes 13 and 15 present now
  s.carOptions.push_back({"dtc", "14,33"});                 // stored earlier
  auto r = e2e::bench().run(s);
  auto lists = e2e::blocks(r.transcript, "[trouble codes");
  ASSERT_EQ(lists.size(), 2u);
  EXPECT_EQ(lists[0],
            "[trouble codes]\n  Code 13 Oxygen sensor circuit open\n"
            "  Code 15 Coolant temperature sensor low (temperature low)\n> leave");
  EXPECT_THAT(lists[1], HasSubstr("Code 14 Coolant temperature sensor high"));
  EXPECT_THAT(lists[1], HasSubstr("Code 33 Manifold pressure sensor voltage high"));
  EXPECT_EQ(e2e::times_sent(r.trace, "F4 57 01 00 B4"), 3);  // connect and one read per list
}

TEST(GmAldl, ABitWithoutATextStopsTheRestOfItsByte) {
  // Byte 6, bit 4 has no code of its own; bit 5 (code 42) after it is not looked at.
  auto s = e2e::session(kIsfi, "gm-isfi", "choose 1\nleave\n");
  s.carOptions.push_back({"faults", "00 30 00 00 00 00"});
  auto r = e2e::bench().run(s);
  EXPECT_TRUE(e2e::blocks(r.transcript, "[trouble codes").empty());
  EXPECT_THAT(e2e::messages(r.transcript),
              Contains("[message, style 6] Reading trouble codes | No trouble codes found"));
}

TEST(GmAldl, ClearRequestsOfBothEcus) {
  auto isfi = e2e::session(kIsfi, "gm-isfi", "choose 3\nyes\nchoose 2\n");
  isfi.carOptions.push_back({"dtc", "14"});
  auto r = e2e::bench().run(isfi);
  EXPECT_EQ(e2e::times_sent(r.trace, "F4 56 0A AC"), 1);
  EXPECT_THAT(e2e::messages(r.transcript),
              Contains("[message, style 6] Reading trouble codes | No trouble codes found"));

  auto efi = e2e::session(kEfi, "gm-efi", "choose 2\nyes\n");
  r = e2e::bench().run(efi);
  EXPECT_EQ(e2e::times_sent(r.trace, "F4 60 04 00 00 40 00 00 00 00 00 00 00 68"), 1);
}

TEST(GmAldl, LiveDataOfTheIsfi) {
  auto r = e2e::bench().run(e2e::session(kIsfi, "gm-isfi", "choose 4\ntick 1 2 4 6 7\nstay 2\nback\n"));
  EXPECT_EQ(e2e::stream_pass(r.transcript),
            (std::vector<std::string>{"Coolant temperature, °C: 90", "Intake air temperature, °C: 30",
                                      "Throttle position sensor voltage, V: 0.51", "Desired idle speed, rpm: 837",
                                      "Engine speed, rpm: 840"}));
  EXPECT_EQ(e2e::times_sent(r.trace, "F4 57 01 00 B4"), 3);
}

TEST(GmAldl, WorkFlagListsShowStateTexts) {
  struct Case {
    int ecu;
    const char *car;
    const char *entry;  // the work-flag list's menu position
  };
  for (const Case &c : {Case{kIsfi, "gm-isfi", "5"}, Case{kEfi, "gm-efi", "4"}}) {
    const char *car = c.car;
    auto r =
        e2e::bench().run(e2e::session(c.ecu, car, std::string("choose ") + c.entry + "\ntick all\nstay 1\nback\n"));
    const auto pass = e2e::stream_pass(r.transcript);
    EXPECT_GE(pass.size(), 30u) << car;
    for (const auto &line : pass) EXPECT_THAT(line, Not(HasSubstr("missing"))) << car;
  }
}

struct ValueCase {
  int ecu;
  const char *car;
  int item;  // position in the actuator list
  int number;
  const char *frame;
};

TEST(GmAldl, ActuatorValueConversionsOnTheWire) {
  const ValueCase cases[] = {
      {kIsfi, "gm-isfi", 19, 800, "F4 60 04 7F 77 01 00 00 19 40 00 36 00 22"},
      {kIsfi, "gm-isfi", 19, 810, "F4 60 04 7F 77 01 00 00 19 40 00 36 00 22"},
      {kEfi, "gm-efi", 13, 800, "F4 60 04 00 00 00 00 00 00 02 20 00 A8 DE"},
      {kEfi, "gm-efi", 15, 10, "F4 60 04 00 00 00 00 00 00 08 00 00 9F 01"},
      {kEfi, "gm-efi", 15, 66, "F4 60 04 00 00 00 00 00 00 08 00 00 00 A0"},
      {kEfi, "gm-efi", 15, 70, "F4 60 04 00 00 00 00 00 00 08 00 00 F5 AB"},
      {kEfi, "gm-efi", 14, 25, "F4 60 04 00 00 00 00 00 00 04 00 FA A8 02"},
  };
  for (const ValueCase &c : cases) {
    const int menuEntry = c.ecu == kIsfi ? 6 : 5;
    const std::string script = "choose " + std::to_string(menuEntry) + "\nchoose " + std::to_string(c.item) +
                               "\nenter " + std::to_string(c.number) + "\nstay 1\nback\nback\n";
    auto r = e2e::bench().run(e2e::session(c.ecu, c.car, script));
    EXPECT_EQ(e2e::times_sent(r.trace, c.frame), 1) << c.car << " item " << c.item << " n=" << c.number;
    // the live data after the value test, then the completion message
    EXPECT_FALSE(e2e::blocks(r.transcript, "[data stream").empty()) << c.car;
    EXPECT_THAT(e2e::messages(r.transcript), Contains("[message, style 1] Tests | Command carried out")) << c.car;
  }
}

TEST(GmAldl, SwitchTestsSendTheirFramesAndLeavingTheListSendsNothing) {
  auto r = e2e::bench().run(e2e::session(kIsfi, "gm-isfi", "choose 6\nchoose 1\nchoose 1\nchoose 2\nback\nback\n"));
  EXPECT_EQ(e2e::sent(r.trace), (std::vector<std::string>{"F4 57 01 00 B4", "F4 60 04 01 01 00 00 00 00 00 00 00 00 A6",
                                                          "F4 60 04 01 00 00 00 00 00 00 00 00 00 A7"}));
  auto efi = e2e::bench().run(e2e::session(kEfi, "gm-efi", "choose 5\nchoose 1\nchoose 1\nback\nback\n"));
  EXPECT_THAT(e2e::sent(efi.trace), Contains("F4 60 04 01 01 00 00 00 00 00 00 00 A8 FE"));
}

TEST(GmAldl, ALostAnswerEndsTheSession) {
  auto s = e2e::session(kIsfi, "gm-isfi", "choose 4\ntick 1\nstay 5\nback\n");
  s.faults.push_back({.kind = "no-answer", .sid = 0x01, .skip = 2});
  auto r = e2e::bench().run(s);
  EXPECT_EQ(e2e::blocks(r.transcript, "[data stream").size(), 1u);
  EXPECT_EQ(e2e::messages(r.transcript).back(), kFailureBox);

  auto silent = e2e::session(kEfi, "none", "back\n");
  silent.carOptions.clear();
  r = e2e::bench().run(silent);
  EXPECT_THAT(e2e::messages(r.transcript).back(), kFailureBox);
}

}  // namespace
