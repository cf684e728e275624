// The simulated ALDL line: set-up checks, checksum, answer layout, faults.
#include "aldl_fixture.h"

namespace {

int count_in(const std::string &text, const std::string &what) {
  int n = 0;
  for (auto p = text.find(what); p != std::string::npos; p = text.find(what, p + 1)) ++n;
  return n;
}

TEST_F(AldlTest, RefusesBeforeTheLineIsSetUp) {
  start("gm-isfi");
  EXPECT_EQ(request(kIsfiRead), -1);
  EXPECT_EQ(ans[0], 0xCC);
  ASSERT_EQ(SelectPIN(0, 1, 0, 7, 7), 0);
  EXPECT_EQ(request(kIsfiRead), -1) << "no baud rate yet";
  EXPECT_EQ(count_in(trace(), "T>"), 0);
  EXPECT_NE(trace().find("-- request not sent: no baud rate set"), std::string::npos);
}

TEST_F(AldlTest, OnlyTheAldlRateAndLevelsAreRead) {
  start("gm-isfi");
  open_line(10416.0f);
  EXPECT_EQ(request(kIsfiRead), -1);
  EXPECT_NE(trace().find("T> F4 57 01 00 B4"), std::string::npos) << "the frame still goes out";
  EXPECT_NE(trace().find("-- no answer within 50 ms"), std::string::npos);
  open_line(8227.0f * 1.019f);
  EXPECT_EQ(request(kIsfiRead), 1);
  open_line(8227.0f * 0.97f);
  EXPECT_EQ(request(kIsfiRead), -1);
  open_line(8227.0f, 0xFF);  // the K-line levels
  EXPECT_EQ(request(kIsfiRead), -1);
  open_line();
  EXPECT_EQ(request(kIsfiRead), 1);
}

TEST_F(AldlTest, FrameThatDoesNotSumToZeroIsNotAnswered) {
  start("gm-isfi");
  open_line();
  EXPECT_EQ(send({0xF4, 0x57, 0x01, 0x00, 0xB5}), -1);
  EXPECT_EQ(ans[0], 0xCC) << "the buffer stays as it was";
  EXPECT_NE(trace().find("-- request checksum wrong"), std::string::npos);
  EXPECT_EQ(send({0xF4, 0x58, 0x01, 0x00, 0xB3}), -1) << "length code does not fit the length";
  EXPECT_EQ(send({0xF4, 0x57, 0x01, 0x00, 0xB4}), 1);
}

TEST_F(AldlTest, BadArgumentsFailWithoutTouchingTheBuffer) {
  start("gm-efi");
  open_line();
  AldlBytes f = aldl_sum(kEfiRead);
  EXPECT_EQ(OneToOne_SendDataToEcuGetAnswer(0xFF, ans, 0xFF, 1, 3, f.data(), 0, 1, -82), -1);
  EXPECT_EQ(OneToOne_SendDataToEcuGetAnswer(0xFF, ans, 0xFF, 1, 4, nullptr, 0, 1, -82), -1);
  EXPECT_EQ(OneToOne_SendDataToEcuGetAnswer(0xFF, nullptr, 0xFF, 1, 4, f.data(), 0, 1, -82), -1);
  EXPECT_EQ(OneToOne_SendDataToEcuGetAnswer(0xFF, ans, 0xFF, 1, 300, f.data(), 0, 1, -82), -1);
  EXPECT_EQ(ans[0], 0xCC);
}

TEST_F(AldlTest, AnswerLandsInTheBufferLayoutAndNoFurther) {
  start("gm-isfi");
  open_line();
  ASSERT_EQ(request(kIsfiRead), 1);
  EXPECT_EQ(ans[0], 1);
  EXPECT_EQ(ans[1], 68);
  EXPECT_EQ(ans[2], 0xF4);
  EXPECT_EQ(ans[3], 0x55 + 65);
  EXPECT_EQ(ans[4], 0x01);
  unsigned sum = 0;
  for (int i = 0; i < 68; ++i) sum += ans[2 + i];
  EXPECT_EQ(sum % 256, 0u);
  EXPECT_EQ(ans[2 + 68], 0xCC);
}

TEST_F(AldlTest, KeepAliveStopIsHarmlessAndArmingIsRefused) {
  start("gm-efi");
  open_line();
  EXPECT_EQ(SetLinkKeep(nullptr, 0, 0, 0), 0);
  unsigned char tp[] = {0x82, 0x10, 0xF1, 0x3E, 0x01, 0xC2};
  EXPECT_EQ(SetLinkKeep(tp, 6, 5, 200), -1);
  VciAdvanceClock(5000);
  EXPECT_EQ(count_in(trace(), "T>"), 0);
  EXPECT_EQ(request(kEfiRead), 1);
}

TEST_F(AldlTest, EachLineServesOnlyItsOwnProtocol) {
  start("gm-isfi");
  open_line();
  unsigned char kwp[] = {0x82, 0x10, 0xF1, 0x21, 0x01, 0xA5};
  EXPECT_EQ(KwpSendDataToEcuGetAnswer(0xFF, ans, 100, 1, kwp), -1);
  ASSERT_EQ(VciSelectCar("m154"), 0);
  ASSERT_EQ(SelectPIN(0, 1, 0, 7, 7), 0);
  SetEcuBaudRate(8227.0f);
  EXPECT_EQ(request(kIsfiRead), -1) << "the K line has no one-to-one service";
}

TEST_F(AldlTest, RefusedLineOptionAppliesToAldl) {
  start("gm-isfi");
  ASSERT_EQ(VciCarOption("line", "refused"), 0);
  EXPECT_EQ(SelectPIN(0, 1, 0, 7, 7), -1);
  EXPECT_NE(std::string(VciLastError()).find("refused"), std::string::npos);
}

TEST_F(AldlTest, NoAnswerAndNegativeFaultsLoseTheRequest) {
  start("gm-isfi");
  open_line();
  ASSERT_EQ(VciInjectFault("no-answer", 0x01, 0, 1, 1), 0);
  ASSERT_EQ(VciInjectFault("negative", 0x0A, 0x22, 0, 1), 0);
  EXPECT_EQ(request(kIsfiRead), 1);
  EXPECT_EQ(request(kIsfiRead), -1);
  EXPECT_EQ(request(kIsfiRead), 1);
  ASSERT_EQ(VciCarOption("faults", "02 00 00 00 00 00"), 0);
  EXPECT_EQ(request({0xF4, 0x56, 0x0A}), -1);
  ASSERT_EQ(request(kIsfiRead), 1);
  EXPECT_EQ(ans[2 + 5], 0x02) << "the lost clear request cleared nothing";
}

TEST_F(AldlTest, BadChecksumAndLateAnswersFail) {
  start("gm-efi");
  open_line();
  ASSERT_EQ(VciInjectFault("bad-checksum", -1, 0, 0, 1), 0);
  EXPECT_EQ(request(kEfiRead), -1);
  EXPECT_EQ(ans[0], 0xCC);
  EXPECT_NE(trace().find("-- answer checksum wrong: discarded"), std::string::npos);
  ASSERT_EQ(VciInjectFault("late", 0x01, 0, 0, 1), 0);
  EXPECT_EQ(request(kEfiRead), -1);
  EXPECT_NE(trace().find("-- answer after the time-out ignored"), std::string::npos);
  EXPECT_EQ(request(kEfiRead), 1);
}

TEST_F(AldlTest, WireTimingFollowsTheBaudRate) {
  start("gm-efi");
  open_line();
  ASSERT_EQ(request(kEfiRead), 1);
  // Four request bytes at 8227 baud (4.862 ms), then the 10 ms turn-around.
  EXPECT_NE(trace().find("    14.862 E< F4 97 01"), std::string::npos);
}

}  // namespace
