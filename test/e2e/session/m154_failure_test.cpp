// What the user sees when the line or the ECU lets the session down.
#include <gmock/gmock.h>

#include "e2e_support.h"

using ::testing::ElementsAre;
using ::testing::HasSubstr;

namespace {

constexpr int kM154 = VAZ_ECU_TYPE_M154;
const std::string kFailureBox = "[message, style 1] Communication error | Communication with the control unit failed";
const std::string kConnectBox = "[message, style 5] Connecting to the control unit | Connecting to the control unit";

TEST(M154Failures, NoAnswerToStartCommunicationAfterTwoWakeUpsEndsWithTheFailureBox) {
  auto s = e2e::session(kM154, "m154", "");
  s.faults.push_back({.kind = "no-answer", .sid = 0x81});
  auto r = e2e::bench().run(s);
  EXPECT_EQ(r.returned, 1);
  EXPECT_EQ(e2e::sent(r.trace), (std::vector<std::string>{"81 10 F1 81 03", "81 10 F1 81 03"}));
  EXPECT_THAT(e2e::messages(r.transcript), ElementsAre(kConnectBox, kFailureBox));
  EXPECT_TRUE(e2e::blocks(r.transcript, "[menu").empty());
}

TEST(M154Failures, ASilentLineIsTheSameFailure) {
  auto s = e2e::session(kM154, "none", "choose Live data\n");
  s.carOptions.clear();  // nobody on the line to take options
  auto r = e2e::bench().run(s);
  EXPECT_EQ(e2e::times_sent(r.trace, "81 10 F1 81 03"), 2);
  EXPECT_THAT(e2e::messages(r.transcript), ElementsAre(kConnectBox, kFailureBox));
}

// The interface refuses the line: no menu as if connected, nothing on the wire, and the
// message (and vazdiag's status) names the interface, not the ignition; K line and ALDL.
TEST(M154Failures, ARefusedLineShowsNoMenuAndBlamesTheInterface) {
  const std::string kInterfaceBox =
      "[message, style 1] Communication error | The diagnostic interface refused to open the line to the control "
      "unit: check the interface, its power and its cable to the diagnostic connector";
  for (const auto &[ecu, car] :
       {std::pair<int, const char *>{kM154, "m154"}, std::pair<int, const char *>{VAZ_ECU_TYPE_GM_ISFI, "gm-isfi"}}) {
    auto s = e2e::session(ecu, car, "");
    s.carOptions.push_back({"line", "refused"});
    auto r = e2e::bench().run(s);
    EXPECT_THAT(e2e::messages(r.transcript), ElementsAre(kConnectBox, kInterfaceBox)) << car;
    EXPECT_TRUE(e2e::blocks(r.transcript, "[menu").empty()) << car;
    EXPECT_TRUE(e2e::sent(r.trace).empty()) << car;
    EXPECT_TRUE(r.commFailure && r.interfaceFailure) << car;
  }
}

TEST(M154Failures, AnAnswerWithAWrongChecksumIsNoAnswer) {
  auto s = e2e::session(kM154, "m154", "");
  s.faults.push_back({.kind = "bad-checksum", .sid = 0x81});
  auto r = e2e::bench().run(s);
  EXPECT_THAT(e2e::messages(r.transcript), ElementsAre(kConnectBox, kFailureBox));
}

TEST(M154Failures, ARequestFailingInTheMiddleOfTheDataStreamEndsTheSession) {
  auto s = e2e::session(kM154, "m154", "choose Live data\ntick 1\nstay 5\nback\nback\n");
  s.faults.push_back({.kind = "no-answer", .sid = 0x21, .skip = 2});
  auto r = e2e::bench().run(s);
  EXPECT_EQ(e2e::blocks(r.transcript, "[data stream").size(), 2u);
  EXPECT_EQ(e2e::messages(r.transcript).back(), kFailureBox);
  // no end-of-communication requests after a failed service: straight to the keep-alive stop
  EXPECT_EQ(e2e::sent(r.trace).back(), "82 10 F1 21 01 A5");
  EXPECT_THAT(r.trace.substr(r.trace.rfind("T> ")), HasSubstr("keep-alive stopped"));
}

TEST(M154Failures, ALateAnswerIsNoAnswer) {
  auto s = e2e::session(kM154, "m154", "choose Stored trouble codes\nleave\n");
  s.faults.push_back({.kind = "late", .sid = 0x18});
  auto r = e2e::bench().run(s);
  EXPECT_EQ(e2e::messages(r.transcript).back(), kFailureBox);
  EXPECT_TRUE(e2e::blocks(r.transcript, "[trouble codes").empty());
}

TEST(M154Failures, ARefusedClearIsReportedAsAFailureNotAsDone) {
  auto s = e2e::session(kM154, "m154", "choose Clear trouble codes\nyes\n");
  s.faults.push_back({.kind = "negative", .sid = 0x14, .nrc = 0x22});
  auto r = e2e::bench().run(s);
  EXPECT_THAT(r.trace, HasSubstr("E< 83 F1 10 7F 14 22"));
  auto shown = e2e::messages(r.transcript);
  EXPECT_EQ(shown.back(), kFailureBox);
  for (const auto &m : shown) EXPECT_THAT(m, ::testing::Not(HasSubstr("Trouble codes cleared")));
}

TEST(M154Failures, ARefusedCodeReadListsNoInventedCodes) {
  auto s = e2e::session(kM154, "m154", "choose Stored trouble codes\nleave\n");
  s.faults.push_back({.kind = "negative", .sid = 0x18, .nrc = 0x11});
  auto r = e2e::bench().run(s);
  EXPECT_TRUE(e2e::blocks(r.transcript, "[trouble codes").empty());
  EXPECT_EQ(e2e::messages(r.transcript).back(), kFailureBox);
}

TEST(M154Failures, AnEcuTypeOutsideTheTableTouchesNothing) {
  for (int type : {0, 12, -3}) {
    auto r = e2e::bench().run(e2e::session(type, "m154", "choose Live data\n"));
    EXPECT_EQ(r.returned, 1);
    EXPECT_TRUE(e2e::sent(r.trace).empty()) << type;
    EXPECT_TRUE(e2e::messages(r.transcript).empty()) << type;
  }
}

}  // namespace
