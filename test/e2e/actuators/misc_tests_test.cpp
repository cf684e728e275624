// The special tests (ECU reset menus) of the M1.5.4, M7.9.7 and M7.2: the question before
// each reset, the reset frames, the 5 s wait with a new fast initialisation only where the
// ECU restarts its link, and the adaptation reset said to be unavailable where the unit
// has no request for it.
#include <gmock/gmock.h>

#include "e2e_support.h"
#include "instant_waits.h"

using ::testing::ElementsAre;

namespace {

constexpr int kM154 = 1, kM72 = 6, kM797E2 = 7;
const std::string kDone = "[message, style 1] Tests | Command carried out";
const std::string kNotAvailable =
    "[message, style 1] Tests | Resetting the adaptation values is not available for this control unit";

int fast_inits(const std::string &trace) {
  int n = 0;
  for (std::size_t at = trace.find("fast-init pattern"); at != std::string::npos;
       at = trace.find("fast-init pattern", at + 1))
    ++n;
  return n;
}

vazdiag::SessionResult run(int ecu, const std::string &car, const std::string &script) {
  e2e::clear_waits();
  return e2e::bench().run(e2e::session(ecu, car, script));
}

TEST(SpecialTests, M154ResetIsSentWithoutWaitOrReconnect) {
  auto r = run(kM154, "m154", "choose Special tests\nchoose Reset control unit\nyes\nchoose 2\nback\nback\n");
  EXPECT_EQ(e2e::times_sent(r.trace, "82 10 F1 11 00 94"), 1);
  EXPECT_TRUE(e2e::waits().empty());
  EXPECT_EQ(fast_inits(r.trace), 1);
  EXPECT_EQ(e2e::sent(r.trace).at(1), "82 10 F1 11 00 94") << "item 2 sends nothing";
  EXPECT_EQ(e2e::messages(r.transcript).back(), kNotAvailable);
  EXPECT_EQ(e2e::blocks(r.transcript, "[message, style 3] Tests\nReset the control unit now?").size(), 1u);

  // Declined, nothing is sent.
  auto no = run(kM154, "m154", "choose Special tests\nchoose Reset control unit\nno\nback\nback\n");
  EXPECT_EQ(e2e::times_sent(no.trace, "82 10 F1 11 00 94"), 0);
}

TEST(SpecialTests, M797ResetsWaitFiveSecondsAndConnectAgain) {
  auto r =
      run(kM797E2, "m797-e2",
          "choose Special tests\nchoose 1\nyes\nchoose 2\nyes\nback\nchoose Live data\ntick 1\nstay 1\nback\nback\n");
  EXPECT_EQ(e2e::times_sent(r.trace, "82 10 F1 11 01 95"), 1);
  EXPECT_EQ(e2e::times_sent(r.trace, "82 10 F1 11 90 24"), 1);
  EXPECT_THAT(e2e::waits(), ElementsAre(5u, 5u));
  EXPECT_EQ(fast_inits(r.trace), 3);
  EXPECT_EQ(e2e::stream_pass(r.transcript).size(), 1u) << "the link works after the reconnects";
  auto boxes = e2e::messages(r.transcript);
  EXPECT_EQ(std::count(boxes.begin(), boxes.end(), kDone), 2);
}

TEST(SpecialTests, M72FirstItemReconnectsSecondIsNotAvailable) {
  auto first = run(kM72, "m72", "choose Special tests\nchoose 1\nyes\nback\nback\n");
  EXPECT_EQ(e2e::times_sent(first.trace, "82 10 F1 11 01 95"), 1);
  EXPECT_THAT(e2e::waits(), ElementsAre(5u));
  EXPECT_EQ(fast_inits(first.trace), 2);

  auto second = run(kM72, "m72", "choose Special tests\nchoose 2\nback\nback\n");
  EXPECT_EQ(e2e::times_sent(second.trace, "82 10 F1 11 00 94"), 0) << "not the unit reset under another name";
  EXPECT_TRUE(e2e::waits().empty());
  EXPECT_EQ(fast_inits(second.trace), 1);
  EXPECT_EQ(e2e::messages(second.transcript).back(), kNotAvailable);
}

TEST(SpecialTests, AFailedResetShowsTheRefusalAndDoesNotReconnect) {
  e2e::clear_waits();
  auto s = e2e::session(kM797E2, "m797-e2", "choose Special tests\nchoose 1\nyes\nback\nback\n");
  s.faults.push_back({.kind = "no-answer", .sid = 0x11});
  auto r = e2e::bench().run(s);
  EXPECT_TRUE(e2e::waits().empty());
  EXPECT_EQ(fast_inits(r.trace), 1);
  EXPECT_THAT(e2e::messages(r.transcript),
              testing::Contains("[message, style 1] Tests | The control unit did not carry out the command"));
}

}  // namespace
