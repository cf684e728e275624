// The generic OBD-II responder on its own: check bytes, answer frames, silence.
#include "ecusim/ecu_catalogue.h"
#include "ecusim/obd_ecu.h"

#include <gtest/gtest.h>

#include <string>

namespace {

using ecusim::Bytes;
using ecusim::ObdBus;
using ecusim::ObdEcu;

std::vector<Bytes> hear(ObdEcu &ecu, const Bytes &frame) { return ecu.hear(frame, 0.0); }

ObdEcu idle(ObdBus bus) {
  ObdEcu ecu(bus);
  std::string error;
  EXPECT_TRUE(ecu.set_option("engine", "idle-fixed", error)) << error;
  return ecu;
}

TEST(ObdFrame, J1850CrcHasTheStandardCheckValue) {
  const std::string text = "123456789";
  EXPECT_EQ(ecusim::j1850_crc(reinterpret_cast<const std::uint8_t *>(text.data()), text.size()), 0x4B);
}

TEST(ObdResponder, IsoAnswersCurrentDataFromTheEngine) {
  ObdEcu ecu = idle(ObdBus::Iso9141);
  EXPECT_EQ(hear(ecu, {0x68, 0x6A, 0xF1, 0x01, 0x00, 0xC4}),
            (std::vector<Bytes>{{0x48, 0x6B, 0x10, 0x41, 0x00, 0x08, 0x18, 0x00, 0x00, 0x24}}));
  EXPECT_EQ(hear(ecu, {0x68, 0x6A, 0xF1, 0x01, 0x0C, 0xD0}),
            (std::vector<Bytes>{{0x48, 0x6B, 0x10, 0x41, 0x0C, 0x0D, 0x20, 0x3D}}));
  EXPECT_EQ(hear(ecu, {0x68, 0x6A, 0xF1, 0x01, 0x05, 0xC9}),
            (std::vector<Bytes>{{0x48, 0x6B, 0x10, 0x41, 0x05, 0x82, 0x8B}}));
  EXPECT_EQ(hear(ecu, {0x68, 0x6A, 0xF1, 0x09, 0x00, 0xCC}),
            (std::vector<Bytes>{{0x48, 0x6B, 0x10, 0x49, 0x00, 0x40, 0x00, 0x00, 0x00, 0x4C}}));
}

TEST(ObdResponder, VinComesInFiveNumberedFrames) {
  ObdEcu ecu(ObdBus::Iso9141);
  EXPECT_EQ(hear(ecu, {0x68, 0x6A, 0xF1, 0x09, 0x02, 0xCE}),
            (std::vector<Bytes>{{0x48, 0x6B, 0x10, 0x49, 0x02, 0x01, 0x00, 0x00, 0x00, 0x58, 0x67},
                                {0x48, 0x6B, 0x10, 0x49, 0x02, 0x02, 0x54, 0x41, 0x32, 0x31, 0x08},
                                {0x48, 0x6B, 0x10, 0x49, 0x02, 0x03, 0x30, 0x39, 0x39, 0x30, 0xE3},
                                {0x48, 0x6B, 0x10, 0x49, 0x02, 0x04, 0x37, 0x31, 0x32, 0x33, 0xDF},
                                {0x48, 0x6B, 0x10, 0x49, 0x02, 0x05, 0x34, 0x35, 0x36, 0x37, 0xE9}}));
  std::string error;
  EXPECT_FALSE(ecu.set_option("vin", "SHORT", error));
  EXPECT_EQ(error, "vin: 17 printable characters");
  ASSERT_TRUE(ecu.set_option("vin", "1G1JC5444R7252367", error));
  const auto frames = hear(ecu, {0x68, 0x6A, 0xF1, 0x09, 0x02, 0xCE});
  ASSERT_EQ(frames.size(), 5u);
  EXPECT_EQ(frames[0][9], '1');
  EXPECT_EQ(frames[4][9], '7');
}

TEST(ObdResponder, PwmFramesCarryTheJ1850Crc) {
  ObdEcu ecu = idle(ObdBus::J1850Pwm);
  EXPECT_EQ(hear(ecu, {0x61, 0x6A, 0xF1, 0x01, 0x0C, 0x96}),
            (std::vector<Bytes>{{0x41, 0x6B, 0x10, 0x41, 0x0C, 0x0D, 0x20, 0x60}}));
  EXPECT_EQ(hear(ecu, {0x61, 0x6A, 0xF1, 0x01, 0x00, 0x0A}),
            (std::vector<Bytes>{{0x41, 0x6B, 0x10, 0x41, 0x00, 0x08, 0x18, 0x00, 0x00, 0x14}}));
  EXPECT_EQ(hear(ecu, {0x61, 0x6A, 0xF1, 0x01, 0x05, 0x63}),
            (std::vector<Bytes>{{0x41, 0x6B, 0x10, 0x41, 0x05, 0x82, 0xC0}}));
}

TEST(ObdResponder, StaysSilentForAnythingButAValidSupportedRequest) {
  ObdEcu iso(ObdBus::Iso9141);
  ObdEcu pwm(ObdBus::J1850Pwm);
  EXPECT_TRUE(hear(iso, {0x68, 0x6A, 0xF1, 0x01, 0x0C, 0xD1}).empty()) << "checksum + 1";
  EXPECT_TRUE(hear(pwm, {0x61, 0x6A, 0xF1, 0x01, 0x0C, 0x97}).empty()) << "CRC + 1";
  EXPECT_TRUE(hear(pwm, {0x61, 0x6A, 0xF1, 0x01, 0x0C, 0xD0}).empty()) << "an additive sum on PWM";
  EXPECT_TRUE(hear(iso, {0x61, 0x6A, 0xF1, 0x01, 0x0C, 0xC9}).empty()) << "PWM header on ISO";
  EXPECT_TRUE(hear(iso, {0x68, 0x6A, 0xF1, 0x01, 0x11, 0xD5}).empty()) << "PID 11 not supported";
  EXPECT_TRUE(hear(iso, {0x68, 0x6A, 0xF1, 0x03, 0xC6}).empty()) << "mode 03 not served";
  EXPECT_TRUE(hear(iso, {0x68, 0x6A, 0xF1, 0x01, 0x0C, 0x00, 0xD0}).empty()) << "extra byte";
  EXPECT_TRUE(hear(iso, {0x68, 0x6A, 0xF1, 0xC3}).empty()) << "too short";
}

TEST(ObdResponder, NegativeAnswerAndOptions) {
  ObdEcu ecu(ObdBus::Iso9141);
  EXPECT_EQ(ecu.negative(0x01, 0x22), (Bytes{0x48, 0x6B, 0x10, 0x7F, 0x01, 0x22, 0x65}));
  std::string error;
  EXPECT_FALSE(ecu.set_option("engine", "fast", error));
  EXPECT_EQ(error, "engine: \"running\" or \"idle-fixed\"");
  EXPECT_FALSE(ecu.set_option("id-key", "M1", error));
  EXPECT_EQ(error, "unknown option \"id-key\" (OBD cars take \"engine\" and \"vin\")");
}

TEST(ObdResponder, RunningEngineWarmsUp) {
  ObdEcu ecu(ObdBus::Iso9141);
  ecu.power_on(0.0);
  const auto cold = ecu.hear({0x68, 0x6A, 0xF1, 0x01, 0x05, 0xC9}, 0.0);
  const auto warm = ecu.hear({0x68, 0x6A, 0xF1, 0x01, 0x05, 0xC9}, 600000.0);
  ASSERT_EQ(cold.size(), 1u);
  ASSERT_EQ(warm.size(), 1u);
  EXPECT_EQ(cold[0][5], 20 + 40);
  EXPECT_GE(warm[0][5], 94 + 40);
  const auto rpm = ecu.hear({0x68, 0x6A, 0xF1, 0x01, 0x0C, 0xD0}, 600000.0);
  ASSERT_EQ(rpm.size(), 1u);
  const int speed = (rpm[0][5] << 8 | rpm[0][6]) / 4;
  EXPECT_GT(speed, 700);
  EXPECT_LT(speed, 950);
}

TEST(ObdCatalogue, OnlyTheObdCarsHaveAResponder) {
  EXPECT_TRUE(ecusim::known_car("obd-iso"));
  EXPECT_TRUE(ecusim::known_car("obd-pwm"));
  ASSERT_NE(ecusim::make_obd_ecu("obd-pwm"), nullptr);
  EXPECT_EQ(ecusim::make_obd_ecu("obd-pwm")->bus(), ObdBus::J1850Pwm);
  EXPECT_EQ(ecusim::make_obd_ecu("m154"), nullptr);
  EXPECT_EQ(ecusim::make_ecu("obd-iso"), nullptr);
  EXPECT_EQ(ecusim::make_aldl_ecu("obd-iso"), nullptr);
  EXPECT_NE(ecusim::car_names().find("obd-iso, obd-pwm"), std::string::npos);
}

}  // namespace
