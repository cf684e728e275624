// Fixture helpers for the vehicle interface tests.
#include "line_fixture.h"

#include <cstring>

Bytes with_checksum(Bytes frame) {
  unsigned sum = 0;
  for (auto b : frame) sum += b;
  frame.push_back(static_cast<std::uint8_t>(sum));
  return frame;
}

int count_of(const std::string &text, const std::string &what) {
  int n = 0;
  for (auto p = text.find(what); p != std::string::npos; p = text.find(what, p + 1)) ++n;
  return n;
}

void LineTest::SetUp() {
  VciReset();
  VciUseVirtualClock(1);
  ASSERT_EQ(VciSelectCar("m154"), 0);
  std::memset(ans, 0xCC, sizeof ans);
}

void LineTest::TearDown() { VciReset(); }

void LineTest::open_line(float baud) {
  ASSERT_EQ(SelectPIN(0, 1, 0, 7, 7), 0);
  EnableLLine(0);
  BeginCombination();
  SetCommunicationMaximumWaitTime(10000);
  SetEcuCommunicationVoltageLogic(0xFF, 0xFF);
  SetEcuBaudRate(baud);
  SetCommunicationParameter(1, 8, 1, 0);
  SetEcuCommTimeInterval(2.0f, 200, 800);
  EXPECT_EQ(EndCombination(), 1);
}

int LineTest::fast_init(int low, int high) {
  BeginCombination();
  SetCommunicationLineVoltage(2, low, high);
  Bytes start{0x81, 0x10, 0xF1, 0x81, 0x03};
  KwpSendDataToEcuGetAnswer(0xFF, ans, 100, 1, start.data());
  return EndCombination();
}

int LineTest::send(const Bytes &frame) {
  Bytes copy(frame);
  return KwpSendDataToEcuGetAnswer(0xFF, ans, 100, 1, copy.data());
}

void LineTest::arm_keep_alive() {
  Bytes tp{0x82, 0x10, 0xF1, 0x3E, 0x01, 0xC2};
  ASSERT_EQ(SetLinkKeep(tp.data(), 6, 5, 200), 0);
}

Bytes LineTest::answer_frame() const { return Bytes(ans + 2, ans + 2 + ans[1]); }
