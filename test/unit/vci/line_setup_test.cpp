// Line set-up: nothing answers until the line is selected, set to the right baud rate and
// the ECU woken by the fast-init pattern followed at once by StartCommunication.
#include "line_fixture.h"

#include <memory>

namespace {

const Bytes kReadBlock{0x82, 0x10, 0xF1, 0x21, 0x01, 0xA5};

TEST_F(LineTest, FastInitThenStartCommunicationIsAnswered) {
  open_line();
  EXPECT_EQ(fast_init(), 1);
  const Bytes expected{0x01, 0x07, 0x83, 0xF1, 0x10, 0xC1, 0xEF, 0x8F, 0xC3};
  EXPECT_EQ(Bytes(ans, ans + expected.size()), expected);
  EXPECT_NE(trace().find("-- fast-init pattern: mode 2, 25 ms low, 25 ms high"), std::string::npos);
  EXPECT_NE(trace().find("T> 81 10 F1 81 03"), std::string::npos);
  EXPECT_NE(trace().find("E< 83 F1 10 C1 EF 8F C3"), std::string::npos);
  EXPECT_EQ(send(kReadBlock), 1);
}

TEST_F(LineTest, PatternTimesAtTheEdgesOfTheToleranceWake) {
  open_line();
  EXPECT_EQ(fast_init(24, 26), 1);
}

TEST_F(LineTest, NothingIsSentBeforeTheLineIsSelected) {
  SetEcuBaudRate(10416.0f);
  EXPECT_EQ(SetCommunicationLineVoltage(2, 25, 25), -1);
  Bytes start{0x81, 0x10, 0xF1, 0x81, 0x03};
  EXPECT_EQ(KwpSendDataToEcuGetAnswer(0xFF, ans, 100, 1, start.data()), -1);
  EXPECT_EQ(ans[0], 0xCC) << "a failed request leaves the answer buffer alone";
  EXPECT_EQ(count_of(trace(), "T>"), 0);
  EXPECT_NE(std::string(VciLastError()).find("SelectPIN"), std::string::npos);
}

TEST_F(LineTest, NothingIsSentWithoutABaudRate) {
  ASSERT_EQ(SelectPIN(0, 1, 0, 7, 7), 0);
  EXPECT_EQ(send(kReadBlock), -1);
  EXPECT_EQ(count_of(trace(), "T>"), 0);
}

TEST_F(LineTest, EcuDoesNotUnderstandAWrongBaudRate) {
  open_line(9600.0f);
  EXPECT_EQ(fast_init(), -1);
  EXPECT_EQ(count_of(trace(), "T> 81 10 F1 81 03"), 1);
  EXPECT_EQ(count_of(trace(), "E<"), 0);
}

TEST_F(LineTest, AsleepEcuIgnoresRequestsWithoutFastInit) {
  open_line();
  EXPECT_EQ(request({0x81, 0x10, 0xF1, 0x81}), -1);
  EXPECT_EQ(send(kReadBlock), -1);
}

TEST_F(LineTest, PatternOutsideToleranceDoesNotWake) {
  open_line();
  EXPECT_EQ(fast_init(30, 25), -1);
  EXPECT_EQ(fast_init(25, 20), -1);
  EXPECT_EQ(fast_init(), 1);
}

TEST_F(LineTest, WakeUpIsSpentWhenAnotherRequestFollowsThePattern) {
  open_line();
  BeginCombination();
  SetCommunicationLineVoltage(2, 25, 25);
  EXPECT_EQ(send(kReadBlock), -1);
  EXPECT_EQ(request({0x81, 0x10, 0xF1, 0x81}), -1);
  EXPECT_EQ(EndCombination(), -1);
}

TEST_F(LineTest, WrongChecksumIsNotAnswered) {
  connect();
  EXPECT_EQ(send({0x82, 0x10, 0xF1, 0x21, 0x01, 0xA6}), -1);
  EXPECT_NE(trace().find("T> 82 10 F1 21 01 A6"), std::string::npos);
  EXPECT_EQ(send(kReadBlock), 1);
}

// The service has no size argument: a long-form header announcing 260 bytes is refused from
// its four header bytes alone (the buffer here holds nothing more), 255 bytes still go out.
TEST_F(LineTest, RequestsOverTheInterfaceMaximumAreRefusedUnread) {
  connect();
  auto header_only = std::make_unique<std::uint8_t[]>(4);
  for (std::uint8_t i = 0; i < 4; ++i) header_only[i] = Bytes{0x80, 0x10, 0xF1, 0xFF}[i];
  EXPECT_EQ(KwpSendDataToEcuGetAnswer(0xFF, ans, 100, 1, header_only.get()), -1);
  EXPECT_NE(std::string(VciLastError()).find("longer than 255"), std::string::npos) << VciLastError();
  EXPECT_NE(trace().find("request refused: 260 bytes announced"), std::string::npos);
  EXPECT_EQ(trace().find("T> 80 10 F1 FF"), std::string::npos);

  Bytes longest{0x80, 0x10, 0xF1, 250, 0x21};
  longest.resize(254, 0x00);
  EXPECT_EQ(request(longest), 1) << "255 bytes with the checksum: answered";
  EXPECT_NE(trace().find("T> 80 10 F1 FA 21"), std::string::npos);
}

TEST_F(LineTest, NoEcuAtAddress11) {
  open_line();
  BeginCombination();
  SetCommunicationLineVoltage(2, 26, 25);
  EXPECT_EQ(request({0x81, 0x11, 0xF1, 0x81}), -1);
  EXPECT_EQ(EndCombination(), -1);
  ASSERT_EQ(fast_init(), 1);
  EXPECT_EQ(request({0x82, 0x11, 0xF1, 0x21, 0x01}), -1);
}

TEST_F(LineTest, SilentLineAnswersNothing) {
  ASSERT_EQ(VciSelectCar("none"), 0);
  open_line();
  EXPECT_EQ(fast_init(), -1);
}

TEST_F(LineTest, EndCombinationReportsTheRequestsInside) {
  open_line();
  BeginCombination();
  EXPECT_EQ(EndCombination(), 1) << "an empty batch succeeds";
  EXPECT_EQ(EndCombination(), -1) << "no batch open";
}

TEST_F(LineTest, RefusedLineSelection) {
  ASSERT_EQ(VciCarOption("line", "refused"), 0);
  EXPECT_EQ(SelectPIN(0, 1, 0, 7, 7), -1);
  ASSERT_EQ(VciCarOption("line", "ok"), 0);
  EXPECT_EQ(SelectPIN(0, 1, 0, 7, 7), 0);
}

TEST_F(LineTest, StopCommunicationPutsTheEcuToSleep) {
  connect();
  EXPECT_EQ(request({0x81, 0x10, 0xF1, 0x20}), 1);
  EXPECT_EQ(answer_frame(), with_checksum({0x81, 0xF1, 0x10, 0x60}));
  EXPECT_EQ(request({0x81, 0x10, 0xF1, 0x82}), 1);
  EXPECT_EQ(answer_frame(), with_checksum({0x81, 0xF1, 0x10, 0xC2}));
  EXPECT_EQ(send(kReadBlock), -1);
  EXPECT_EQ(fast_init(), 1);
}

}  // namespace
