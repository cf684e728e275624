// Fixture helpers for the ALDL line tests.
#include "aldl_fixture.h"

#include <cstring>

AldlBytes aldl_sum(AldlBytes frame) {
  unsigned sum = 0;
  for (auto b : frame) sum += b;
  frame.push_back(static_cast<std::uint8_t>(0x100 - (sum & 0xFF)));
  return frame;
}

void AldlTest::start(const char *car, bool idle_fixed) {
  VciReset();
  VciUseVirtualClock(1);
  ASSERT_EQ(VciSelectCar(car), 0);
  if (idle_fixed) { ASSERT_EQ(VciCarOption("engine", "idle-fixed"), 0); }
  std::memset(ans, 0xCC, sizeof ans);
}

void AldlTest::open_line(float baud, int logic_a) {
  ASSERT_EQ(SelectPIN(0, 1, 0, 7, 7), 0);
  EnableLLine(0);
  SetLinkKeep(nullptr, 0, 0, 0);
  BeginCombination();
  SetCommunicationMaximumWaitTime(10000);
  SetEcuCommunicationVoltageLogic(logic_a, 0xFF);
  SetEcuBaudRate(baud);
  SetCommunicationParameter(1, 8, 1, 0);
  SetEcuCommTimeInterval(0.0f, 20, 600);
  EndCombination();
}

int AldlTest::send(const AldlBytes &frame) {
  AldlBytes copy(frame);
  return OneToOne_SendDataToEcuGetAnswer(0xFF, ans, 0xFF, 1, static_cast<int>(copy.size()), copy.data(), 0, 1, -82);
}
