// Checksums, vehicle-interface arguments, simulation mode and MICAS stuffing
// of the frame layer.
#include <gmock/gmock.h>

#include <array>
#include <vector>

#include "fake_host.h"

using ::testing::ElementsAre;

namespace {

class FrameLayer : public PluginTest {};

std::vector<u8> bytes(const u8 *p, int n) { return {p, p + n}; }

TEST_F(FrameLayer, KwpChecksumIsTheByteSumAndTheFrameGoesOutFromItsFormatByte) {
  u8 frame[8] = {0x06, 0x82, 0x10, 0xF1, 0x21, 0x01, 0x00};
  EXPECT_EQ(SendRec_KWP2000(frame, TOKEN_OLD.bAnsBuf), 1);
  EXPECT_EQ(frame[6], 0xA5);
  u8 start[7] = {0x05, 0x81, 0x11, 0xF1, 0x81, 0x00};
  EXPECT_EQ(SendRec_KWP2000(start, TOKEN_OLD.bAnsBuf), 1);
  EXPECT_EQ(start[5], 0x04);
  EXPECT_THAT(fake.calls, ElementsAre("KWP 82 10 F1 21 01 A5", "KWP 81 11 F1 81 04"));
}

TEST_F(FrameLayer, GmChecksumMakesTheFrameSumZero) {
  u8 clear[6] = {0x04, 0xF4, 0x56, 0x0A, 0x00};
  EXPECT_EQ(SendRec_GM(clear, TOKEN_OLD.bAnsBuf), 1);
  EXPECT_EQ(clear[4], 0xAC);
  u8 read[7] = {0x05, 0xF4, 0x57, 0x01, 0x00, 0x00};
  EXPECT_EQ(SendRec_GM(read, TOKEN_OLD.bAnsBuf), 1);
  EXPECT_EQ(read[5], 0xB4);
  EXPECT_THAT(fake.calls, ElementsAre("GM F4 56 0A AC", "GM F4 57 01 00 B4"));
}

TEST_F(FrameLayer, ZeroIsSuccessAndAnyNegativeResultIsFailure) {
  u8 frame[8] = {0x06, 0x82, 0x10, 0xF1, 0x21, 0x01, 0x00};
  fake.kwpResults = {0, -5};
  EXPECT_EQ(SendRec_KWP2000(frame, TOKEN_OLD.bAnsBuf), 1);
  EXPECT_EQ(SendRec_KWP2000(frame, TOKEN_OLD.bAnsBuf), -1);
  fake.gmResults = {0, -1};
  EXPECT_EQ(SendRec_GM(frame, TOKEN_OLD.bAnsBuf), 1);
  EXPECT_EQ(SendRec_GM(frame, TOKEN_OLD.bAnsBuf), -1);
}

TEST_F(FrameLayer, SimulationWritesTheChecksumButSendsNothingAndLeavesTheAnswer) {
  TOKEN_OLD.wSimulate = 1;
  std::array<u8, 344> before{};
  before.fill(0x5A);
  std::copy(before.begin(), before.end(), TOKEN_OLD.bAnsBuf);
  u8 kwp[8] = {0x06, 0x82, 0x10, 0xF1, 0x21, 0x01, 0x00};
  u8 gm[6] = {0x04, 0xF4, 0x56, 0x0A, 0x00};
  EXPECT_EQ(SendRec_KWP2000(kwp, TOKEN_OLD.bAnsBuf), 1);
  EXPECT_EQ(SendRec_GM(gm, TOKEN_OLD.bAnsBuf), 1);
  EXPECT_EQ(kwp[6], 0xA5);
  EXPECT_EQ(gm[4], 0xAC);
  EXPECT_TRUE(fake.calls.empty());
  EXPECT_EQ(bytes(TOKEN_OLD.bAnsBuf, 344), std::vector<u8>(before.begin(), before.end()));
}

TEST_F(FrameLayer, MissingSendServiceIsAFailedRequest) {
  KwpSendDataToEcuGetAnswer = nullptr;
  OneToOne_SendDataToEcuGetAnswer = nullptr;
  GMSendMultiFrameToECUGetAnswer = nullptr;
  u8 frame[16] = {0x06, 0x82, 0x10, 0xF1, 0x21, 0x01, 0x00};
  EXPECT_EQ(SendRec_KWP2000(frame, TOKEN_OLD.bAnsBuf), -1);
  EXPECT_EQ(SendRec_GM(frame, TOKEN_OLD.bAnsBuf), -1);
  u8 micas[16] = {0x03, 0x01, 0x00, 0x0D};
  std::array<u8, 256> answer{};
  EXPECT_EQ(SendRec_MICAS(micas, answer.data()), -1);
}

TEST_F(FrameLayer, MicasStuffsBodyAndChecksumButNotTheClosingByte) {
  // body 0D 40 21, checksum 0 - (0x0D + 0x40 + 0x21) = 0x92, closing 0D
  u8 frame[32] = {0x05, 0x0D, 0x40, 0x21, 0x00, 0x0D};
  fake.micasAnswer = {0x01, 0x0A, 0x02, 0x15, 0x40, 0xCD, 0x17, 0x40, 0x00, 0x40, 0xCD, 0x0D};
  std::array<u8, 256> answer{};
  EXPECT_EQ(SendRec_MICAS(frame, answer.data()), 1);
  EXPECT_EQ(bytes(frame, 8), (std::vector<u8>{0x07, 0x40, 0xCD, 0x40, 0x00, 0x21, 0x92, 0x0D}));
  EXPECT_THAT(fake.calls, ElementsAre("MICAS 7 40 CD 40 00 21 92 0D /256"));
  EXPECT_EQ(bytes(answer.data(), 9), (std::vector<u8>{0x01, 0x07, 0x02, 0x15, 0x0D, 0x17, 0x40, 0x0D, 0x0D}));
}

TEST_F(FrameLayer, MicasSimulationDecodesItsFixedAnswer) {
  TOKEN_OLD.wSimulate = 1;
  u8 frame[8] = {0x03, 0x01, 0x00, 0x0D};
  std::array<u8, 256> answer{};
  EXPECT_EQ(SendRec_MICAS(frame, answer.data()), 1);
  EXPECT_TRUE(fake.calls.empty());
  EXPECT_EQ(bytes(answer.data(), 9), (std::vector<u8>{0x01, 0x07, 0x02, 0x15, 0x0D, 0x17, 0x40, 0x0D, 0x0D}));
}

TEST_F(FrameLayer, MicasRefusesFramesAndAnswersBeyondItsStagingArea) {
  // 49 escaped body bytes stuff to 98 bytes: with checksum and closing byte too long.
  std::array<u8, 256> frame{};
  frame[0] = 51;
  for (int i = 1; i <= 49; ++i) frame[static_cast<size_t>(i)] = 0x40;
  frame[51] = 0x0D;
  std::array<u8, 256> answer{};
  EXPECT_EQ(SendRec_MICAS(frame.data(), answer.data()), -1);
  EXPECT_TRUE(fake.calls.empty());

  // 48 body bytes always fit, even all escaped.
  frame.fill(0);
  frame[0] = 50;
  for (int i = 1; i <= 48; ++i) frame[static_cast<size_t>(i)] = 0x40;
  frame[50] = 0x0D;
  fake.micasAnswer = {0x01, 0x01, 0x55};
  EXPECT_EQ(SendRec_MICAS(frame.data(), answer.data()), 1);
  EXPECT_EQ(frame[0], 98);

  // An answer decoding to 99 bytes does not fit with its two leading bytes.
  fake.micasAnswer.assign(101, 0x33);
  fake.micasAnswer[0] = 1;
  fake.micasAnswer[1] = 99;
  u8 small[8] = {0x03, 0x01, 0x00, 0x0D};
  EXPECT_EQ(SendRec_MICAS(small, answer.data()), -1);
  fake.micasAnswer[1] = 98;
  u8 again[8] = {0x03, 0x01, 0x00, 0x0D};
  EXPECT_EQ(SendRec_MICAS(again, answer.data()), 1);
  EXPECT_EQ(answer[1], 98);
}

}  // namespace
