// The M1.5.4 actuator list on the simulated engine: the frames on the wire, the caution
// box, and the engine answering what the tester holds in the live data of a value test.
#include <gmock/gmock.h>

#include "e2e_support.h"

using ::testing::Contains;
using ::testing::ElementsAre;
using ::testing::IsSupersetOf;
using ::testing::Not;

namespace {

constexpr int kM154 = 1;
const std::string kReturnControl = "83 10 F1 30 01 00 B5";
const std::string kCaution = "[message, style 3] Tests | This test needs the engine stopped and the ignition on";
const std::string kFailureBox = "[message, style 1] Communication error | Communication with the control unit failed";

// The tester's frames from the first output-control or routine request on.
std::vector<std::string> test_frames(const std::string &trace) {
  std::vector<std::string> out;
  for (const auto &f : e2e::sent(trace))
    if (f.find(" F1 30 ") != std::string::npos || !out.empty()) out.push_back(f);
  return out;
}

TEST(M154Actuators, InjectorTestSendsBothItemsAndLeavingHandsControlBack) {
  auto r = e2e::bench().run(e2e::session(
      kM154, "m154",
      "choose Actuator tests\nchoose Injectors\nyes\nchoose Switch on\nchoose Switch off\nback\nback\nback\n"));
  auto frames = test_frames(r.trace);
  ASSERT_GE(frames.size(), 3u);
  EXPECT_EQ(std::vector<std::string>(frames.begin(), frames.begin() + 3),
            (std::vector<std::string>{"84 10 F1 30 01 06 01 BD", "84 10 F1 30 01 06 00 BC", kReturnControl}));
  auto boxes = e2e::messages(r.transcript);
  EXPECT_THAT(boxes, Contains(kCaution));
  EXPECT_EQ(std::count(boxes.begin(), boxes.end(), "[message, style 1] Tests | Command carried out"), 2);
}

TEST(M154Actuators, DecliningTheCautionSendsNothing) {
  auto r = e2e::bench().run(
      e2e::session(kM154, "m154", "choose Actuator tests\nchoose Ignition coil 1-4\nno\nback\nback\n"));
  EXPECT_EQ(test_frames(r.trace).front(), kReturnControl) << "only the leave frame";
  EXPECT_EQ(e2e::times_sent(r.trace, kReturnControl), 1);
  EXPECT_EQ(e2e::blocks(r.transcript, "[menu] Tests\n  1. Switch on").size(), 0u);
}

TEST(M154Actuators, IdleSpeedValueTestShowsTheEngineAtTheCommandedSpeed) {
  auto r = e2e::bench().run(
      e2e::session(kM154, "m154", "choose Actuator tests\nchoose Idle speed, rpm\nenter 850\nstay 2\nback\nback\n"));
  EXPECT_EQ(test_frames(r.trace).front(), "84 10 F1 30 42 07 55 53");
  // the frozen engine idles at 840 rpm; commanded 850 it settles there
  EXPECT_THAT(e2e::stream_pass(r.transcript, 2),
              IsSupersetOf({"Engine speed, rpm: 840", "Idle engine speed, rpm: 850", "Desired idle speed, rpm: 850",
                            "Idle air control position, steps: 31", "Desired idle air control position, steps: 31"}));
  EXPECT_EQ(e2e::times_sent(r.trace, kReturnControl), 1);
}

TEST(M154Actuators, SwitchedOutputsShowInTheStateBitsUntilControlReturns) {
  // Fan and lamp on, then a value test to watch the block; after leaving the list the
  // ECU has them again.
  auto r = e2e::bench().run(e2e::session(kM154, "m154",
                                         "choose Actuator tests\n"
                                         "choose Cooling fan relay\nchoose Switch on\nback\n"
                                         "choose Check engine lamp\nchoose Switch on\nback\n"
                                         "choose A/C compressor clutch\nchoose Switch on\nback\n"
                                         "choose Idle air control position, steps\nenter 38\nstay 1\nback\n"
                                         "choose Live data\ntick 4 6 22 23 25\nstay 1\nback\nback\n"));
  EXPECT_THAT(test_frames(r.trace),
              IsSupersetOf({"84 10 F1 30 0A 06 01 C6", "84 10 F1 30 0C 06 01 C8", "84 10 F1 30 41 07 26 23"}));
  auto held = e2e::stream_pass(r.transcript, 1);
  EXPECT_THAT(held, IsSupersetOf({"Cooling fan relay: ON", "Check engine lamp: ON", "A/C compressor clutch: ON",
                                  "Idle air control position, steps: 38", "Engine speed, rpm: 920"}));
  EXPECT_THAT(e2e::stream_pass(r.transcript, 0),
              ElementsAre("Engine speed, rpm: 840", "Idle air control position, steps: 30", "Cooling fan relay: OFF",
                          "A/C compressor clutch: OFF", "Check engine lamp: OFF"));
}

TEST(M154Actuators, CutCylindersSlowTheEngineAndAllInjectorsOffStallIt) {
  auto coils = e2e::bench().run(
      e2e::session(kM154, "m154",
                   "choose Actuator tests\nchoose Ignition coil 2-3\nyes\n"
                   "choose Switch off\nback\nchoose Idle speed, rpm\nenter 840\nstay 1\nback\nback\n"));
  auto rough = e2e::stream_pass(coils.transcript);
  EXPECT_THAT(rough, Contains("Mixture (oxygen sensor): LEAN"));
  EXPECT_THAT(rough, Not(Contains("Engine speed, rpm: 840")));
  EXPECT_THAT(rough, Contains("Desired idle speed, rpm: 840"));

  auto stalled = e2e::bench().run(
      e2e::session(kM154, "m154",
                   "choose Actuator tests\nchoose Injectors\nyes\n"
                   "choose Switch off\nback\nchoose Idle speed, rpm\nenter 840\nstay 1\nback\nback\n"));
  EXPECT_THAT(e2e::stream_pass(stalled.transcript),
              IsSupersetOf({"Engine speed, rpm: 0", "Fuel pump relay: OFF", "Engine idling: NO"}));
}

TEST(M154Actuators, AFailedRequestEndsWithTheFailureBoxAndNoReturnControl) {
  auto s =
      e2e::session(kM154, "m154", "choose Actuator tests\nchoose Fuel pump relay\nyes\nchoose Switch on\nback\nback\n");
  s.faults.push_back({.kind = "no-answer", .sid = 0x30});
  auto r = e2e::bench().run(s);
  EXPECT_EQ(e2e::times_sent(r.trace, "84 10 F1 30 09 06 01 C5"), 1);
  EXPECT_EQ(e2e::times_sent(r.trace, kReturnControl), 0);
  EXPECT_EQ(e2e::messages(r.transcript).back(), kFailureBox);
  EXPECT_TRUE(e2e::blocks(r.transcript, "[message, style 1] Tests\nCommand carried out").empty());
}

}  // namespace
