// Keep-alive repeated by the interface while the line idles, and the ECU's sleep after
// five silent seconds.
#include "line_fixture.h"

namespace {

const std::string kKeepAliveOut = "T> 82 10 F1 3E 01 C2";
const std::string kKeepAliveIn = "E< 81 F1 10 7E 00";

TEST_F(LineTest, KeepAliveIsRepeatedWhileIdleAndKeepsTheEcuAwake) {
  connect();
  arm_keep_alive();
  EXPECT_NE(trace().find("-- keep-alive armed: 82 10 F1 3E 01 C2 every 1000 ms (5, 200)"), std::string::npos);
  VciAdvanceClock(4500);
  EXPECT_EQ(count_of(trace(), kKeepAliveOut), 4);
  EXPECT_EQ(count_of(trace(), kKeepAliveIn), 4);
  VciAdvanceClock(20000);
  EXPECT_GE(count_of(trace(), kKeepAliveOut), 23);
  EXPECT_EQ(trace().find("asleep"), std::string::npos);
  ans[0] = 0xCC;
  EXPECT_EQ(request({0x82, 0x10, 0xF1, 0x21, 0x01}), 1);
  EXPECT_EQ(ans[2], 0x80) << "the caller's buffer holds its own answer, not a keep-alive's";
}

TEST_F(LineTest, KeepAliveWaitsForTheLineToIdle) {
  connect();
  arm_keep_alive();
  for (int i = 0; i < 20; ++i) {
    VciAdvanceClock(400);
    ASSERT_EQ(request({0x82, 0x10, 0xF1, 0x21, 0x01}), 1);
  }
  EXPECT_EQ(count_of(trace(), kKeepAliveOut), 0);
}

TEST_F(LineTest, WithoutKeepAliveTheEcuFallsAsleepAfterFiveSeconds) {
  connect();
  VciAdvanceClock(4900);
  EXPECT_EQ(trace().find("asleep"), std::string::npos);
  VciAdvanceClock(200);
  EXPECT_NE(trace().find("-- ECU 10 asleep (5000 ms without a request)"), std::string::npos);
  EXPECT_EQ(request({0x82, 0x10, 0xF1, 0x21, 0x01}), -1);
  EXPECT_EQ(request({0x82, 0x10, 0xF1, 0x3E, 0x01}), -1);
  EXPECT_EQ(fast_init(), 1);
  EXPECT_EQ(request({0x82, 0x10, 0xF1, 0x21, 0x01}), 1);
}

TEST_F(LineTest, StoppedKeepAliveLetsTheEcuSleep) {
  connect();
  arm_keep_alive();
  VciAdvanceClock(2500);
  ASSERT_EQ(SetLinkKeep(nullptr, 0, 0, 0), 0);
  EXPECT_NE(trace().find("-- keep-alive stopped"), std::string::npos);
  const int sent = count_of(trace(), kKeepAliveOut);
  VciAdvanceClock(6000);
  EXPECT_EQ(count_of(trace(), kKeepAliveOut), sent);
  EXPECT_EQ(request({0x82, 0x10, 0xF1, 0x21, 0x01}), -1);
}

TEST_F(LineTest, KeepAliveFrameMustMatchItsLength) {
  Bytes tp{0x82, 0x10, 0xF1, 0x3E, 0x01, 0xC2};
  EXPECT_EQ(SetLinkKeep(tp.data(), 5, 5, 200), -1);
  EXPECT_EQ(SetLinkKeep(tp.data(), 6, 5, 200), 0);
}

TEST_F(LineTest, KeepAliveDuringTheWakeUpSpoilsIt) {
  open_line();
  arm_keep_alive();
  ASSERT_EQ(SetCommunicationLineVoltage(2, 25, 25), 0);
  VciAdvanceClock(1500);  // the interface's keep-alive is the next frame, not StartCommunication
  EXPECT_EQ(request({0x81, 0x10, 0xF1, 0x81}), -1);
}

}  // namespace
