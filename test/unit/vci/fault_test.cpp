// Injected faults: each kind, the sid filter, skip and count.
#include "line_fixture.h"

namespace {

const Bytes kRead{0x82, 0x10, 0xF1, 0x21, 0x01};

TEST_F(LineTest, NoAnswerFaultCountsAndSkips) {
  connect();
  ASSERT_EQ(VciInjectFault("no-answer", 0x21, 0, 1, 1), 0);
  EXPECT_EQ(request(kRead), 1);
  EXPECT_EQ(request(kRead), -1);
  EXPECT_EQ(request(kRead), 1);
}

TEST_F(LineTest, FaultAppliesOnlyToItsService) {
  connect();
  ASSERT_EQ(VciInjectFault("no-answer", 0x1A, 0, 0, -1), 0);
  EXPECT_EQ(request(kRead), 1);
  EXPECT_EQ(request({0x82, 0x10, 0xF1, 0x1A, 0x9A}), -1);
  EXPECT_EQ(request({0x82, 0x10, 0xF1, 0x1A, 0x9A}), -1);
  ASSERT_EQ(VciClearFaults(), 0);
  EXPECT_EQ(request({0x82, 0x10, 0xF1, 0x1A, 0x9A}), 1);
}

TEST_F(LineTest, NoAnswerOnStartCommunicationFailsTheFirstConnectAttempt) {
  open_line();
  ASSERT_EQ(VciInjectFault("no-answer", 0x81, 0, 0, 1), 0);
  EXPECT_EQ(fast_init(), -1);
  EXPECT_EQ(fast_init(), 1);
  EXPECT_EQ(count_of(trace(), "-- fast-init pattern"), 2);
}

TEST_F(LineTest, NegativeFaultAnswers7FAndLeavesTheEcuAlone) {
  ASSERT_EQ(VciCarOption("dtc", "0102"), 0);
  connect();
  ASSERT_EQ(VciInjectFault("negative", 0x14, 0x22, 0, 1), 0);
  EXPECT_EQ(request({0x83, 0x10, 0xF1, 0x14, 0xFF, 0x00}), 1) << "a negative answer is still an answer";
  EXPECT_EQ(answer_frame(), with_checksum({0x83, 0xF1, 0x10, 0x7F, 0x14, 0x22}));
  ASSERT_EQ(request({0x84, 0x10, 0xF1, 0x18, 0x00, 0xFF, 0x00}), 1);
  EXPECT_EQ(answer_frame()[4], 1) << "the refused clear kept the code";
}

TEST_F(LineTest, BadChecksumAnswerIsReportedAsNoAnswer) {
  connect();
  ASSERT_EQ(VciInjectFault("bad-checksum", -1, 0, 0, 1), 0);
  ans[0] = 0xCC;
  EXPECT_EQ(request({0x81, 0x10, 0xF1, 0x3E}), -1);
  EXPECT_EQ(ans[0], 0xCC);
  EXPECT_NE(trace().find("E< 81 F1 10 7E 01"), std::string::npos);
  EXPECT_NE(trace().find("-- answer checksum wrong: discarded"), std::string::npos);
  EXPECT_EQ(request({0x81, 0x10, 0xF1, 0x3E}), 1);
}

TEST_F(LineTest, LateAnswerTimesOut) {
  connect();
  ASSERT_EQ(VciInjectFault("late", 0x21, 0, 0, 1), 0);
  EXPECT_EQ(request(kRead), -1);
  const std::string t = trace();
  const auto timeout = t.find("-- no answer within 50 ms");
  const auto late = t.find("E< 80 F1 10 22 61 01");
  ASSERT_NE(timeout, std::string::npos);
  ASSERT_NE(late, std::string::npos);
  EXPECT_LT(timeout, late);
  EXPECT_NE(t.find("-- answer after the time-out ignored"), std::string::npos);
  EXPECT_EQ(request(kRead), 1);
}

TEST_F(LineTest, FaultsDoNotTouchTheInterfacesOwnKeepAlive) {
  connect();
  arm_keep_alive();
  ASSERT_EQ(VciInjectFault("no-answer", -1, 0, 0, 1), 0);
  VciAdvanceClock(3500);  // keep-alives at 1.0, 2.1 and 3.2 s
  EXPECT_EQ(count_of(trace(), "E< 81 F1 10 7E 00"), 3);
  EXPECT_EQ(request(kRead), -1);
}

TEST_F(LineTest, UnknownFaultKindIsRefused) {
  EXPECT_EQ(VciInjectFault("garbled", -1, 0, 0, 1), -1);
  EXPECT_NE(std::string(VciLastError()).find("bad-checksum"), std::string::npos);
}

}  // namespace
