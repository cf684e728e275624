// OBD frame helpers: checksums, frames fetched from an ECU parameter file, and
// the PWM and ISO exchanges through fake vehicle-interface services.
#include <gtest/gtest.h>

#include <array>
#include <cstring>
#include <vector>

#include "param_bytes.h"
#include "temp_tree.h"
#include "vaz_old.h"

namespace {

using vaz_test::ParamBytes;
using vaz_test::TempTree;

// Bit-at-a-time SAE J1850 CRC-8 (poly 0x1D, start 0xFF, inverted result).
u8 reference_crc(const u8 *bytes, size_t count) {
  u8 crc = 0xFF;
  for (size_t i = 0; i < count; ++i) {
    crc ^= bytes[i];
    for (int bit = 0; bit < 8; ++bit) crc = static_cast<u8>(crc & 0x80 ? crc << 1 ^ 0x1D : crc << 1);
  }
  return static_cast<u8>(~crc);
}

TEST(ObdChecksum, CrcOfCheckText) {
  std::array<u8, 12> frame{0x0A, '1', '2', '3', '4', '5', '6', '7', '8', '9', 0x55, 0x77};
  EXPECT_EQ(OBD_Set_CRC(frame.data()), 0x4B);
  EXPECT_EQ(frame[10], 0x4B);
  EXPECT_EQ(frame[11], 0x77);
}

TEST(ObdChecksum, CrcMatchesBitwiseReferenceForEveryLength) {
  std::array<u8, 40> frame{};
  for (u8 length = 2; length < 40; ++length) {
    frame[0] = length;
    for (int i = 1; i < length; ++i) frame[i] = static_cast<u8>(i * 37 + length);
    frame[length] = 0xA5;  // stale slot value must not count
    const u8 expected = reference_crc(frame.data() + 1, length - 1u);
    EXPECT_EQ(OBD_Set_CRC(frame.data()), expected) << "length " << int(length);
    EXPECT_EQ(frame[length], expected);
  }
}

TEST(ObdChecksum, CrcOfFrameWithoutBytes) {
  std::array<u8, 2> slotOnly{0x01, 0x99};
  EXPECT_EQ(OBD_Set_CRC(slotOnly.data()), 0x00);
  EXPECT_EQ(slotOnly[1], 0x00);
  std::array<u8, 2> empty{0x00, 0x99};
  OBD_Set_CRC(empty.data());
  EXPECT_EQ(empty, (std::array<u8, 2>{0x00, 0x99}));
}

TEST(ObdChecksum, AdditiveSum) {
  std::array<u8, 8> frame{0x06, 0x68, 0x6A, 0xF1, 0x01, 0x00, 0x00, 0x77};
  EXPECT_EQ(OBD_Set_Sum(frame.data()), 1);
  EXPECT_EQ(frame[6], 0xC4);
  EXPECT_EQ(frame[7], 0x77);
}

// Parameter file with a PWM command table of two frame offsets at 0x10.
class ObdFileFrames : public ::testing::Test {
 protected:
  static constexpr int kTable = 0x10;
  static constexpr int kFrameA = 0x20;
  static constexpr int kFrameB = 0x30;
  static constexpr int kLongFrame = 0x40;

  void SetUp() override {
    ParamBytes f;
    f.u32(kTable, kFrameA).u32(kTable + 4, kFrameB);
    f.bytes(kFrameA, {0x04, 0x61, 0x6A, 0xF1, 0x00});
    f.bytes(kFrameB, {0x06, 0x68, 0x6A, 0xF1, 0x01, 0x0D, 0x00});
    f.u8(kLongFrame, 0xFF).u8(kLongFrame + 300, 0x00);  // enough bytes behind it
    path_ = tree_.write("obd.bin", f.data()).string();
    frame_.fill(0xEE);
  }

  TempTree tree_;
  std::string path_;
  std::array<u8, 300> frame_{};
};

TEST_F(ObdFileFrames, PwmCommandByTableIndex) {
  const u8 crc = reference_crc(std::array<u8, 5>{0x68, 0x6A, 0xF1, 0x01, 0x0D}.data(), 5);
  EXPECT_EQ(Get_PWMCmd_inframe(path_.c_str(), kTable, frame_.data(), 1), crc);
  EXPECT_EQ((std::vector<u8>(frame_.begin(), frame_.begin() + 8)),
            (std::vector<u8>{0x06, 0x68, 0x6A, 0xF1, 0x01, 0x0D, crc, 0xEE}));
}

TEST_F(ObdFileFrames, PwmFrameByOffset) {
  const u8 crc = reference_crc(std::array<u8, 3>{0x61, 0x6A, 0xF1}.data(), 3);
  EXPECT_EQ(Get_PWMFrame_Cmd(path_.c_str(), kFrameA, frame_.data()), crc);
  EXPECT_EQ((std::vector<u8>(frame_.begin(), frame_.begin() + 6)),
            (std::vector<u8>{0x04, 0x61, 0x6A, 0xF1, crc, 0xEE}));
}

TEST_F(ObdFileFrames, IsoFrameGetsAdditiveSum) {
  Get_ISOFrame_Cmd(path_.c_str(), kFrameB, frame_.data());
  EXPECT_EQ((std::vector<u8>(frame_.begin(), frame_.begin() + 8)),
            (std::vector<u8>{0x06, 0x68, 0x6A, 0xF1, 0x01, 0x0D, 0xD1, 0xEE}));
}

TEST_F(ObdFileFrames, LengthByte255IsRefused) {
  EXPECT_EQ(Get_PWMFrame_Cmd(path_.c_str(), kLongFrame, frame_.data()), -1);
  EXPECT_EQ(Get_ISOFrame_Cmd(path_.c_str(), kLongFrame, frame_.data()), -1);
  EXPECT_EQ(frame_[0], 0xEE);
  EXPECT_EQ(frame_[255], 0xEE);
}

TEST_F(ObdFileFrames, LengthByte254Fits) {
  ParamBytes f;
  f.u8(0, 0xFE).u8(254, 0x42).u8(255, 0x99);
  const std::string path = tree_.write("long.bin", f.data()).string();
  EXPECT_EQ(Get_ISOFrame_Cmd(path.c_str(), 0, frame_.data()), 1);
  EXPECT_EQ(frame_[0], 0xFE);
  EXPECT_EQ(frame_[253], 0xEE);  // the gap bytes of the file
  EXPECT_EQ(frame_[255], 0xEE);  // nothing written behind the checksum slot
}

TEST_F(ObdFileFrames, MissingFrameGivesNoFrame) {
  EXPECT_EQ(Get_PWMCmd_inframe(path_.c_str(), kTable, frame_.data(), 50), -1);
  EXPECT_EQ(Get_PWMFrame_Cmd(path_.c_str(), 0x10000, frame_.data()), -1);
  EXPECT_EQ(Get_PWMFrame_Cmd((tree_.root() / "none.bin").c_str(), kFrameA, frame_.data()), -1);
  EXPECT_EQ(frame_[0], 0xEE);
}

// ---- exchanges ----

struct Calls {
  int count = 0;
  int failuresFirst = 0;
  std::vector<int> args;
  const u8 *frame = nullptr;
  std::vector<int> order;  // which Iso* service ran, in order
  int isoResult = 0;
};
Calls g;

int fake_one_to_one(int a, u8 *answer, int b, int c, int length, u8 *frame, int d, int e, int f) {
  ++g.count;
  g.args = {a, b, c, length, d, e, f};
  g.frame = frame;
  if (g.count <= g.failuresFirst) return -1;
  const u8 reply[] = {0x01, 0x03, 0xAA, 0xBB, 0xCC};
  std::memcpy(answer, reply, sizeof reply);
  return 0;
}

int fake_pwm(int a, u8 *answer, int b, int c, int length, u8 *frame) {
  ++g.count;
  g.args = {a, b, c, length};
  g.frame = frame;
  answer[0] = 0x42;
  return -7;
}

int fake_iso_init(int a, int p, int q) {
  g.order.push_back(1);
  g.args.insert(g.args.end(), {a, p, q});
  return 0;
}
int fake_iso_add(int length, u8 *frame) {
  g.order.push_back(2);
  g.args.push_back(length);
  g.frame = frame;
  return 0;
}
int fake_iso_send(int p, int size) {
  g.order.push_back(3);
  g.args.insert(g.args.end(), {p, size});
  return g.isoResult;
}

void set_simulation(u8 value) {
  TOKEN_OLD.wSimulate = 0;
  std::memcpy(&TOKEN_OLD.wSimulate, &value, 1);  // the routines test the first byte
}

class ObdExchange : public ::testing::Test {
 protected:
  void SetUp() override {
    g = Calls{};
    set_simulation(0);
    OneToOne_SendDataToEcuGetAnswer = fake_one_to_one;
    PWM_SendDataToEcuGetAnswer = fake_pwm;
    IsoInitSendDataToEcuGetAnswer = fake_iso_init;
    IsoAddSendDataToEcuGetAnswer = fake_iso_add;
    IsoSendAndReceiveSendDataToEcuGetAnswer = fake_iso_send;
    answer_.fill(0);
  }

  std::array<u8, 7> frame_{0x06, 0x68, 0x6A, 0xF1, 0x01, 0x00, 0xC4};
  std::array<u8, 344> answer_{};
};

TEST_F(ObdExchange, IsoSucceedsOnFourthAttemptWithAnswerMoved) {
  g.failuresFirst = 3;
  EXPECT_EQ(Send_Recv_ISO_Frame(frame_.data(), answer_.data()), 1);
  EXPECT_EQ(g.count, 4);
  EXPECT_EQ(g.args, (std::vector<int>{0xFF, 100, 1, 6, 0, -2, 1}));
  EXPECT_EQ(g.frame, frame_.data() + 1);
  EXPECT_EQ((std::vector<u8>(answer_.begin(), answer_.begin() + 3)), (std::vector<u8>{0xAA, 0xBB, 0xCC}));
}

TEST_F(ObdExchange, IsoGivesUpAfterFourFailures) {
  g.failuresFirst = 4;
  EXPECT_EQ(Send_Recv_ISO_Frame(frame_.data(), answer_.data()), 0);
  EXPECT_EQ(g.count, 4);
  EXPECT_EQ(answer_[0], 0);
}

TEST_F(ObdExchange, IsoWithoutServiceFails) {
  OneToOne_SendDataToEcuGetAnswer = nullptr;
  EXPECT_EQ(Send_Recv_ISO_Frame(frame_.data(), answer_.data()), 0);
}

TEST_F(ObdExchange, SimulationValueTwoSendsNothingButOneSends) {
  set_simulation(2);
  EXPECT_EQ(Send_Recv_ISO_Frame(frame_.data(), answer_.data()), 1);
  EXPECT_EQ(Send_Recv_PwmOBD_Frame(frame_.data(), answer_.data()), 1);
  EXPECT_EQ(Send_Recv_ISO_Frame_Multi(frame_.data(), 3, 4), 1);
  EXPECT_EQ(g.count, 0);
  EXPECT_TRUE(g.order.empty());

  set_simulation(1);
  EXPECT_EQ(Send_Recv_ISO_Frame(frame_.data(), answer_.data()), 1);
  EXPECT_EQ(g.count, 1);
}

TEST_F(ObdExchange, PwmIgnoresTheServiceResult) {
  EXPECT_EQ(Send_Recv_PwmOBD_Frame(frame_.data(), answer_.data()), 1);
  EXPECT_EQ(g.count, 1);
  EXPECT_EQ(g.args, (std::vector<int>{0xFF, 100, 1, 6}));
  EXPECT_EQ(g.frame, frame_.data() + 1);
  EXPECT_EQ(answer_[0], 0x42);
}

TEST_F(ObdExchange, PwmWithoutServiceIsSkipped) {
  PWM_SendDataToEcuGetAnswer = nullptr;
  EXPECT_EQ(Send_Recv_PwmOBD_Frame(frame_.data(), answer_.data()), 1);
}

TEST_F(ObdExchange, IsoMultiPassesItsArgumentsInOrder) {
  EXPECT_EQ(Send_Recv_ISO_Frame_Multi(frame_.data(), 3, 4), 1);
  EXPECT_EQ(g.order, (std::vector<int>{1, 2, 3}));
  EXPECT_EQ(g.args, (std::vector<int>{0, 3, 4, 6, 3, 100}));
  EXPECT_EQ(g.frame, frame_.data() + 1);
}

TEST_F(ObdExchange, IsoMultiNegativeAnswerGivesMinusOne) {
  g.isoResult = -1;
  EXPECT_EQ(Send_Recv_ISO_Frame_Multi(frame_.data(), 3, 4), -1);
}

TEST_F(ObdExchange, IsoMultiWithoutAServiceGivesMinusOne) {
  IsoAddSendDataToEcuGetAnswer = nullptr;
  EXPECT_EQ(Send_Recv_ISO_Frame_Multi(frame_.data(), 3, 4), -1);
  EXPECT_TRUE(g.order.empty());
}

}  // namespace
