// Actuator lists of the M7 generation on their simulated ECUs: the M7.0 test routines
// (no frame on leaving), the M7.9.7 guard read and its refusal, the M7.2 leave frame.
#include <gmock/gmock.h>

#include "e2e_support.h"
#include "instant_waits.h"

using ::testing::Contains;
using ::testing::IsSupersetOf;
using ::testing::Not;

namespace {

constexpr int kM70E2 = 4, kM72 = 6, kM797E2 = 7, kM797E3 = 8;
const std::string kReturnControl = "83 10 F1 30 01 00 B5";
const std::string kGuardRead = "82 10 F1 21 01 A5";

// The tester's frames from the first actuator request on (the function menu sends none
// between its own services and the list).
std::vector<std::string> after(const std::string &trace, const std::string &first) {
  auto all = e2e::sent(trace);
  auto it = std::find(all.begin(), all.end(), first);
  return std::vector<std::string>(it, all.end());
}

TEST(M70Actuators, InjectorRoutineStopsAndStartsAndLeavingSendsNothing) {
  auto r = e2e::bench().run(e2e::session(
      kM70E2, "m70-e2",
      "choose Actuator tests\nchoose Injector 1\nyes\nchoose Switch on\nchoose Switch off\nback\nback\nback\n"));
  auto frames = after(r.trace, "85 11 F1 32 10 17 50 0A 3A");
  ASSERT_GE(frames.size(), 2u);
  EXPECT_EQ(frames[1], "85 11 F1 31 10 17 50 0A 39");
  for (const auto &f : frames) EXPECT_EQ(f.find(" F1 30 "), std::string::npos) << f;
  EXPECT_THAT(e2e::messages(r.transcript),
              Contains("[message, style 3] Tests | This test needs the engine running at idle"));
}

TEST(M70Actuators, TheCutOffRoutineSlowsTheEngineInTheIdleSpeedTest) {
  auto r = e2e::bench().run(e2e::session(kM70E2, "m70-e2",
                                         "choose Actuator tests\nchoose Injector 2\nyes\nchoose Switch off\nback\n"
                                         "choose Idle speed, rpm\nyes\nenter 840\nstay 1\nback\nback\n"));
  EXPECT_EQ(e2e::times_sent(r.trace, "85 11 F1 31 10 34 50 0A 56"), 1);
  EXPECT_EQ(e2e::times_sent(r.trace, "84 11 F1 30 70 10 54 8A"), 1);
  EXPECT_THAT(e2e::stream_pass(r.transcript), Not(Contains("Engine speed, rpm: 840")));
}

TEST(M797Actuators, GuardByteZeroRefusesTheIgnitionTestWithoutAControlFrame) {
  auto s = e2e::session(kM797E2, "m797-e2", "choose Actuator tests\nchoose Ignition coil 1\nyes\nback\nback\n");
  s.carOptions.push_back({"guard", "off"});
  auto r = e2e::bench().run(s);
  auto frames = after(r.trace, kGuardRead);
  ASSERT_FALSE(frames.empty());
  EXPECT_EQ(frames[1], kReturnControl) << "refused: straight back to the list, then leaving it";
  EXPECT_EQ(e2e::times_sent(r.trace, "84 10 F1 30 05 06 FF BF"), 0);
  EXPECT_THAT(e2e::messages(r.transcript),
              Contains("[message, style 1] Tests | This test needs the engine stopped and the ignition on"));
  EXPECT_TRUE(e2e::blocks(r.transcript, "[menu] Tests\n  1. Switch on").empty());
}

TEST(M797Actuators, GuardByteZeroRefusesTheIdleSpeedTestWithoutAskingForANumber) {
  auto s = e2e::session(kM797E3, "m797-e3", "choose Actuator tests\nchoose Idle speed, rpm\nback\nback\n");
  s.carOptions.push_back({"guard", "off"});
  auto r = e2e::bench().run(s);
  EXPECT_EQ(after(r.trace, kGuardRead).at(1), kReturnControl);
  EXPECT_THAT(e2e::messages(r.transcript),
              Contains("[message, style 1] Tests | This test needs the engine running at idle"));
  EXPECT_TRUE(e2e::blocks(r.transcript, "[number input").empty());
}

TEST(M797Actuators, ByDefaultTheGuardLetsTheTestRun) {
  auto r = e2e::bench().run(e2e::session(
      kM797E2, "m797-e2",
      "choose Actuator tests\nchoose Ignition coil 1\nyes\nchoose Switch on\nchoose Switch off\nback\nback\nback\n"));
  auto frames = after(r.trace, kGuardRead);
  ASSERT_GE(frames.size(), 4u);
  EXPECT_EQ(
      std::vector<std::string>(frames.begin(), frames.begin() + 4),
      (std::vector<std::string>{kGuardRead, "84 10 F1 30 05 06 FF BF", "84 10 F1 30 05 06 00 C0", kReturnControl}));
}

// The starter turns for two seconds per "Switch on" and is handed back by its own
// return-control frame; switched off and left, it is handed back again. The injector
// tests warn first, as every fuel, ignition and starter test does.
TEST(M797Actuators, TheStarterIsPulsedAndHandedBackAndInjectorsWarnFirst) {
  e2e::clear_waits();
  auto r = e2e::bench().run(
      e2e::session(kM797E2, "m797-e2",
                   "choose Actuator tests\nchoose Starter relay\nyes\nchoose Switch on\nchoose Switch off\nback\n"
                   "choose Injector 1\nno\nback\nback\n"));
  auto frames = after(r.trace, kGuardRead);
  ASSERT_GE(frames.size(), 6u);
  EXPECT_EQ(std::vector<std::string>(frames.begin(), frames.begin() + 6),
            (std::vector<std::string>{kGuardRead, "84 10 F1 30 0E 06 FF C8", "83 10 F1 30 0E 00 C2",
                                      "84 10 F1 30 0E 06 00 C9", "83 10 F1 30 0E 00 C2", kReturnControl}));
  EXPECT_THAT(e2e::waits(), testing::ElementsAre(2u));
  EXPECT_EQ(e2e::times_sent(r.trace, "84 10 F1 30 01 06 FF BB"), 0) << "the declined injector test drove nothing";
  EXPECT_EQ(e2e::blocks(r.transcript, "[message, style 3] Tests\nThis test drives the fuel").size(), 1u);
  EXPECT_EQ(e2e::blocks(r.transcript, "[message, style 3] Tests\nSwitch on turns the starter for 2 seconds").size(),
            1u);
}

TEST(M797Actuators, IdleSpeedAfterTheGuardReadShowsTheCommandedSpeed) {
  auto r = e2e::bench().run(e2e::session(
      kM797E2, "m797-e2", "choose Actuator tests\nchoose Idle speed, rpm\nenter 900\nstay 1\nback\nback\n"));
  EXPECT_EQ(after(r.trace, kGuardRead).at(1), "84 10 F1 30 42 07 5A 58");
  EXPECT_THAT(e2e::stream_pass(r.transcript),
              IsSupersetOf({"Desired idle speed, rpm: 900", "Engine speed, rpm: 900.0"}));
}

TEST(M72Actuators, LeavingTheListHandsControlBack) {
  auto r = e2e::bench().run(e2e::session(kM72, "m72", "choose Actuator tests\nback\nback\n"));
  EXPECT_EQ(e2e::times_sent(r.trace, kReturnControl), 1);
  auto r2 = e2e::bench().run(e2e::session(
      kM72, "m72", "choose Actuator tests\nchoose Fuel pump relay\nyes\nchoose Switch off\nback\nback\nback\n"));
  EXPECT_EQ(after(r2.trace, "84 10 F1 30 09 06 00 C4").at(1), kReturnControl);
}

}  // namespace
