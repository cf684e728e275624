// The generic OBD-II bus behind the exported services: set-up, answer layout, the ISO
// request built in pieces, bus routing and faults, on the virtual clock.
#include "vci_control.h"
#include "vci_services.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

namespace {

using Frame = std::vector<std::uint8_t>;

const Frame kIsoRpm{0x68, 0x6A, 0xF1, 0x01, 0x0C, 0xD0};
const Frame kIsoVin{0x68, 0x6A, 0xF1, 0x09, 0x02, 0xCE};
const Frame kPwmRpm{0x61, 0x6A, 0xF1, 0x01, 0x0C, 0x96};

class ObdLineTest : public ::testing::Test {
 protected:
  void TearDown() override { VciReset(); }

  void start(const char *car, bool select = true) {
    VciReset();
    VciUseVirtualClock(1);
    ASSERT_EQ(VciSelectCar(car), 0);
    ASSERT_EQ(VciCarOption("engine", "idle-fixed"), 0);
    if (select) { ASSERT_EQ(SelectPIN(0, 1, 0, 7, 7), 0); }
    std::memset(ans, 0xCC, sizeof ans);
  }
  int iso(Frame f, int size = 100) {
    return OneToOne_SendDataToEcuGetAnswer(0xFF, ans, size, 1, static_cast<int>(f.size()), f.data(), 0, -2, 1);
  }
  int pwm(Frame f) { return PWM_SendDataToEcuGetAnswer(0xFF, ans, 100, 1, static_cast<int>(f.size()), f.data()); }
  Frame buffer(std::size_t n) const { return Frame(ans, ans + n); }
  static bool traced(const std::string &what) { return std::string(VciTraceText()).find(what) != std::string::npos; }

  unsigned char ans[400];
};

TEST_F(ObdLineTest, NothingIsSentBeforeTheLineIsSelected) {
  start("obd-iso", false);
  EXPECT_EQ(iso(kIsoRpm), -1);
  EXPECT_EQ(ans[0], 0xCC);
  EXPECT_FALSE(traced("T>"));
  EXPECT_TRUE(traced("-- request not sent: no line selected"));
  EXPECT_EQ(std::string(VciLastError()), "no line selected (SelectPIN)");
  ASSERT_EQ(SelectPIN(0, 1, 0, 7, 7), 0);
  EXPECT_EQ(iso(kIsoRpm), 1);
}

TEST_F(ObdLineTest, IsoAnswerFillsTheBufferLayout) {
  start("obd-iso");
  EXPECT_EQ(iso(kIsoRpm), 1);
  EXPECT_EQ(buffer(11), (Frame{0x01, 0x08, 0x48, 0x6B, 0x10, 0x41, 0x0C, 0x0D, 0x20, 0x3D, 0xCC}));
  EXPECT_TRUE(traced("T> 68 6A F1 01 0C D0\n"));
  EXPECT_TRUE(traced("E< 48 6B 10 41 0C 0D 20 3D\n"));
}

TEST_F(ObdLineTest, MultiFrameAnswerStopsAtTheCallersBufferSize) {
  start("obd-iso");
  EXPECT_EQ(iso(kIsoVin), 5);
  EXPECT_EQ(ans[0], 5);
  EXPECT_EQ(buffer(13), (Frame{0x05, 0x0B, 0x48, 0x6B, 0x10, 0x49, 0x02, 0x01, 0x00, 0x00, 0x00, 0x58, 0x67}));
  EXPECT_EQ(ans[1 + 4 * 12], 0x0B);
  EXPECT_EQ(ans[1 + 5 * 12], 0xCC) << "nothing after the fifth frame";

  std::memset(ans, 0xCC, sizeof ans);
  EXPECT_EQ(iso(kIsoVin, 30), 2) << "two frames of 12 bytes fit 30 after the count";
  EXPECT_EQ(ans[0], 2);
  EXPECT_EQ(ans[24], 0x08);
  for (int i = 25; i < 40; ++i) EXPECT_EQ(ans[i], 0xCC) << "byte " << i;
  EXPECT_TRUE(traced("-- answer frames past the caller's buffer dropped"));
}

TEST_F(ObdLineTest, WrongCheckByteOrLengthGetsNoAnswer) {
  start("obd-iso");
  EXPECT_EQ(iso({0x68, 0x6A, 0xF1, 0x01, 0x0C, 0xD1}), -1);
  EXPECT_EQ(ans[0], 0xCC);
  EXPECT_TRUE(traced("-- request checksum wrong"));
  EXPECT_TRUE(traced("-- no answer within 50 ms"));
  Frame f = kIsoRpm;
  EXPECT_EQ(OneToOne_SendDataToEcuGetAnswer(0xFF, ans, 100, 1, 0, f.data(), 0, -2, 1), -1);
  EXPECT_EQ(OneToOne_SendDataToEcuGetAnswer(0xFF, ans, 100, 1, 12, f.data(), 0, -2, 1), -1);
  EXPECT_EQ(OneToOne_SendDataToEcuGetAnswer(0xFF, nullptr, 100, 1, 6, f.data(), 0, -2, 1), -1);
  EXPECT_EQ(ans[0], 0xCC);

  start("obd-pwm");
  EXPECT_EQ(pwm({0x61, 0x6A, 0xF1, 0x01, 0x0C, 0x97}), -1);
  EXPECT_TRUE(traced("-- request CRC wrong"));
}

TEST_F(ObdLineTest, PwmAnswerCarriesTheCrc) {
  start("obd-pwm");
  EXPECT_EQ(pwm(kPwmRpm), 1);
  EXPECT_EQ(buffer(10), (Frame{0x01, 0x08, 0x41, 0x6B, 0x10, 0x41, 0x0C, 0x0D, 0x20, 0x60}));
  EXPECT_TRUE(traced("T> 61 6A F1 01 0C 96\n"));
  EXPECT_TRUE(traced("-- car obd-pwm (OBD-II responder on the J1850 PWM bus)"));
}

TEST_F(ObdLineTest, EachServiceReachesOnlyItsBus) {
  start("obd-pwm");
  EXPECT_EQ(iso(kPwmRpm), -1);
  EXPECT_TRUE(traced("-- ISO request not sent: the car is on the J1850 PWM bus"));
  EXPECT_EQ(IsoInitSendDataToEcuGetAnswer(0, 1, 2), -1);
  Frame k{0x82, 0x10, 0xF1, 0x21, 0x01, 0xA5};
  EXPECT_EQ(KwpSendDataToEcuGetAnswer(0xFF, ans, 100, 1, k.data()), -1);

  start("obd-iso");
  EXPECT_EQ(pwm(kPwmRpm), -1);
  EXPECT_TRUE(traced("-- PWM request not sent: the car is on the ISO 9141-2 bus"));
  EXPECT_EQ(ans[0], 0xCC);

  // Back on a K-line car the OBD services fail as before.
  ASSERT_EQ(VciSelectCar("m154"), 0);
  EXPECT_EQ(iso(kIsoRpm), -1);
  EXPECT_EQ(pwm(kPwmRpm), -1);
  EXPECT_EQ(IsoInitSendDataToEcuGetAnswer(0, 1, 2), -1);
  EXPECT_EQ(IsoSendAndReceiveSendDataToEcuGetAnswer(1, 100), -1);
}

TEST_F(ObdLineTest, IsoRequestBuiltInPieces) {
  start("obd-iso");
  EXPECT_EQ(IsoSendAndReceiveSendDataToEcuGetAnswer(1, 100), -1) << "nothing opened";
  Frame f = kIsoRpm;
  EXPECT_EQ(IsoAddSendDataToEcuGetAnswer(6, f.data()), -1) << "nothing opened";
  EXPECT_EQ(IsoInitSendDataToEcuGetAnswer(0, 1, 2), 0);
  EXPECT_EQ(IsoAddSendDataToEcuGetAnswer(3, f.data()), 0);
  EXPECT_EQ(IsoAddSendDataToEcuGetAnswer(3, f.data() + 3), 0);
  EXPECT_EQ(IsoSendAndReceiveSendDataToEcuGetAnswer(1, 100), 1);
  EXPECT_TRUE(traced("-- ISO request opened: 0 1 2"));
  EXPECT_TRUE(traced("T> 68 6A F1 01 0C D0\n"));
  EXPECT_TRUE(traced("E< 48 6B 10 41 0C 0D 20 3D\n"));
  EXPECT_EQ(IsoSendAndReceiveSendDataToEcuGetAnswer(1, 100), -1) << "sending closes the request";

  EXPECT_EQ(IsoInitSendDataToEcuGetAnswer(0, 1, 2), 0);
  EXPECT_EQ(IsoAddSendDataToEcuGetAnswer(6, f.data()), 0);
  EXPECT_EQ(IsoAddSendDataToEcuGetAnswer(6, f.data()), -1) << "12 bytes do not fit a frame";
  EXPECT_EQ(IsoSendAndReceiveSendDataToEcuGetAnswer(1, 100), -1) << "the overlong request was dropped";

  VciInjectFault("no-answer", 0x01, 0, 0, 1);
  EXPECT_EQ(IsoInitSendDataToEcuGetAnswer(0, 1, 2), 0);
  EXPECT_EQ(IsoAddSendDataToEcuGetAnswer(6, f.data()), 0);
  EXPECT_EQ(IsoSendAndReceiveSendDataToEcuGetAnswer(1, 100), -1);
  EXPECT_EQ(ans[0], 0xCC) << "the caller's buffers are never written";
}

TEST_F(ObdLineTest, FaultsAreKeyedByTheModeByte) {
  start("obd-iso");
  ASSERT_EQ(VciInjectFault("no-answer", 0x01, 0, 0, 2), 0);
  EXPECT_EQ(iso(kIsoVin), 5) << "mode 09 is not affected";
  EXPECT_EQ(iso(kIsoRpm), -1);
  EXPECT_EQ(iso(kIsoRpm), -1);
  EXPECT_EQ(iso(kIsoRpm), 1);

  ASSERT_EQ(VciInjectFault("negative", 0x01, 0x22, 0, 1), 0);
  EXPECT_EQ(iso(kIsoRpm), 1);
  EXPECT_EQ(buffer(9), (Frame{0x01, 0x07, 0x48, 0x6B, 0x10, 0x7F, 0x01, 0x22, 0x65}));

  std::memset(ans, 0xCC, sizeof ans);
  ASSERT_EQ(VciInjectFault("bad-checksum", -1, 0, 0, 1), 0);
  EXPECT_EQ(iso(kIsoRpm), -1);
  EXPECT_TRUE(traced("E< 48 6B 10 41 0C 0D 20 3E\n"));
  EXPECT_TRUE(traced("-- answer check byte wrong: discarded"));
  ASSERT_EQ(VciInjectFault("late", -1, 0, 0, 1), 0);
  EXPECT_EQ(iso(kIsoRpm), -1);
  EXPECT_TRUE(traced("-- answer after the time-out ignored"));
  EXPECT_EQ(ans[0], 0xCC);
  EXPECT_EQ(iso(kIsoRpm), 1);
}

TEST_F(ObdLineTest, SetUpAndOptions) {
  start("obd-iso", false);
  EXPECT_EQ(VciCarOption("vin", "1G1JC5444R7252367"), 0);
  EXPECT_EQ(VciCarOption("header", "short"), -1);
  Frame keep = kIsoRpm;
  EXPECT_EQ(SetLinkKeep(keep.data(), 6, 5, 200), -1);
  EXPECT_EQ(SetLinkKeep(nullptr, 0, 0, 0), 0);
  EXPECT_EQ(BeginCombination(), 1);
  EXPECT_EQ(SetEcuBaudRate(10400.0f), 0);
  EXPECT_EQ(EndCombination(), 1);
  ASSERT_EQ(VciCarOption("line", "refused"), 0);
  EXPECT_EQ(SelectPIN(0, 1, 0, 7, 7), -1);
  ASSERT_EQ(VciCarOption("line", "ok"), 0);
  ASSERT_EQ(SelectPIN(0, 1, 0, 7, 7), 0);
  EXPECT_EQ(iso(kIsoVin), 5);
  EXPECT_EQ(ans[11], '1') << "the VIN set by option";
  EXPECT_EQ(BeginCombination(), 1);
  EXPECT_EQ(iso({0x68, 0x6A, 0xF1, 0x01, 0x11, 0xD5}), -1) << "unsupported PID";
  EXPECT_EQ(EndCombination(), -1);
}

}  // namespace
