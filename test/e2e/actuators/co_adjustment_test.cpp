// The interactive CO adjustment of the M1.5.4 actuator list (item 10): the panel opens at
// the correction the ECU reports (what live data shows), every step goes to the ECU, whose
// idle mixture correction in the panel follows it, and the end says what was kept.
#include <gmock/gmock.h>

#include "e2e_support.h"

using ::testing::ElementsAre;
using ::testing::HasSubstr;

namespace {

constexpr int kM154 = 1;

std::vector<std::string> co_frames(const std::string &trace) {
  std::vector<std::string> out;
  for (const auto &f : e2e::sent(trace))
    if (f.find(" F1 30 61 ") != std::string::npos) out.push_back(f);
  return out;
}

std::string panel_line(const std::string &block) {
  return block.substr(block.find('\n') + 1, block.rfind('\n') - block.find('\n') - 1);
}

TEST(M154CoAdjustment, RaisingTwiceThenFinishingWithYesSetsTheBaseValueAndRestores) {
  auto r = e2e::bench().run(e2e::session(
      kM154, "m154", "choose Actuator tests\nchoose 10\npress Raise\npress Raise\npress Finish\nyes\nback\nback\n"));
  EXPECT_EQ(co_frames(r.trace),
            (std::vector<std::string>{"84 10 F1 30 61 08 0A 28", "84 10 F1 30 61 08 0B 29", "84 10 F1 30 61 08 0C 2A",
                                      "84 10 F1 30 61 08 01 1F", "83 10 F1 30 61 00 15"}));
  auto panels = e2e::blocks(r.transcript, "[active test");
  ASSERT_EQ(panels.size(), 3u);
  EXPECT_EQ(panel_line(panels[0]), "  Idle mixture (CO) correction: 0.0390") << "as live data shows it";
  EXPECT_EQ(panel_line(panels[1]), "  Idle mixture (CO) correction: 0.0429");
  EXPECT_EQ(panel_line(panels[2]), "  Idle mixture (CO) correction: 0.0468");
  EXPECT_THAT(e2e::messages(r.transcript).back(),
              HasSubstr("The CO correction was set to its base value and control handed back"));
  EXPECT_EQ(e2e::times_sent(r.trace, "83 10 F1 30 01 00 B5"), 1);
}

TEST(M154CoAdjustment, FinishingWithNoOnlyHandsTheTrimBack) {
  auto r = e2e::bench().run(e2e::session(
      kM154, "m154", "choose Actuator tests\nchoose CO correction\npress Lower\npress Finish\nno\nback\nback\n"));
  EXPECT_EQ(co_frames(r.trace),
            (std::vector<std::string>{"84 10 F1 30 61 08 0A 28", "84 10 F1 30 61 08 09 27", "83 10 F1 30 61 00 15"}));
  auto panels = e2e::blocks(r.transcript, "[active test");
  ASSERT_EQ(panels.size(), 2u);
  EXPECT_EQ(panel_line(panels[1]), "  Idle mixture (CO) correction: 0.0351");
  EXPECT_THAT(e2e::messages(r.transcript).back(), HasSubstr("stays at the last value set on the panel"));
}

TEST(M154CoAdjustment, AfterTheRestoreTheEcuShowsItsOwnCorrectionAgain) {
  auto r = e2e::bench().run(e2e::session(kM154, "m154",
                                         "choose Actuator tests\nchoose CO correction\npress Raise\npress Finish\nno\n"
                                         "choose Idle speed, rpm\nenter 840\nstay 1\nback\nback\n"));
  EXPECT_THAT(e2e::stream_pass(r.transcript), testing::Contains("Idle mixture (CO) correction: 0.0390"));
}

}  // namespace
