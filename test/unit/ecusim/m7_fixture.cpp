// Connect sequences and frame helpers of the M7-generation model tests.
#include "m7_fixture.h"

void M7Line::use_car(const char *name, std::uint8_t address, bool idle_fixed) {
  ASSERT_EQ(VciSelectCar(name), 0) << VciLastError();
  if (idle_fixed) { ASSERT_EQ(VciCarOption("engine", "idle-fixed"), 0); }
  addr = address;
}

void M7Line::open_line_m7(float p1) {
  ASSERT_EQ(SelectPIN(0, 1, 0, 7, 7), 0);
  EnableLLine(0);
  BeginCombination();
  SetCommunicationMaximumWaitTime(10000);
  SetEcuCommunicationVoltageLogic(0xFF, 0xFF);
  SetEcuBaudRate(10416.0f);
  SetCommunicationParameter(1, 8, 1, 0);
  SetEcuCommTimeInterval(2.0f, static_cast<int>(p1), 800);
  EXPECT_EQ(EndCombination(), 1);
}

int M7Line::wake(int low, int high) {
  BeginCombination();
  SetCommunicationLineVoltage(2, low, high);
  Bytes start = with_checksum({0x81, addr, 0xF1, 0x81});
  KwpSendDataToEcuGetAnswer(0xFF, ans, 100, 1, start.data());
  return EndCombination();
}

void M7Line::connect_m70() {
  open_line_m7(80);
  ASSERT_EQ(wake(26, 25), 1);
  ASSERT_EQ(ask({0x10, 0x81, 0x14}), 1);
  ASSERT_EQ(answer_service(), (Bytes{0x50, 0x81}));
  ASSERT_EQ(ask({0x83, 0x03, 0x32, 0x50, 0x01, 0x14, 0x00}), 1);
  ASSERT_EQ(answer_service(), (Bytes{0xC3, 0x03}));
}

void M7Line::connect_m797() {
  open_line_m7(200);
  ASSERT_EQ(wake(25, 25), 1);
  Bytes session{0x83, 0x10, 0xF1, 0x10, 0x81, 0x14, 0x29};
  ASSERT_EQ(send(session), 1);
  ASSERT_EQ(answer_service(), (Bytes{0x50, 0x81}));
  Bytes timing{0x87, 0x10, 0xF1, 0x83, 0x03, 0x00, 0x02, 0x00, 0x14, 0x00, 0x24};
  ASSERT_EQ(send(timing), 1);
  ASSERT_EQ(answer_service(), (Bytes{0xC3, 0x03}));
}

void M7Line::connect_plain() {
  open_line_m7(200);
  ASSERT_EQ(wake(25, 25), 1);
}

int M7Line::ask(const Bytes &service) {
  Bytes f{static_cast<std::uint8_t>(0x80 + service.size()), addr, 0xF1};
  f.insert(f.end(), service.begin(), service.end());
  return request(f);
}

Bytes M7Line::answer_service() const {
  const Bytes f = answer_frame();
  if (f.size() < 5) return {};
  const std::size_t start = (f[0] & 0x3F) ? 3 : 4;
  return Bytes(f.begin() + static_cast<std::ptrdiff_t>(start), f.end() - 1);
}

Bytes M7Line::long_frame(const Bytes &service) const {
  Bytes f{0x80, 0xF1, addr, static_cast<std::uint8_t>(service.size())};
  f.insert(f.end(), service.begin(), service.end());
  return with_checksum(f);
}

Bytes M7Line::short_frame(const Bytes &service) const {
  Bytes f{static_cast<std::uint8_t>(0x80 + service.size()), 0xF1, addr};
  f.insert(f.end(), service.begin(), service.end());
  return with_checksum(f);
}

std::string M7Line::answer_text(std::size_t skip) const {
  const Bytes s = answer_service();
  return s.size() < skip ? std::string() : std::string(s.begin() + static_cast<std::ptrdiff_t>(skip), s.end());
}
