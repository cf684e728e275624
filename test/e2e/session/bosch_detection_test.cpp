// Automatic detection of the Bosch ECU on the line: the probes on the wire,
// the message per ECU found, and the menu that is started afterwards.
#include <gmock/gmock.h>

#include <cstddef>
#include <cstdint>
#include <cstring>

#include "e2e_support.h"

using ::testing::ElementsAre;
using ::testing::HasSubstr;

namespace {

constexpr int kAuto = VAZ_ECU_TYPE_AUTO;
const std::string kDetectBox =
    "[message, style 5] Automatic control unit detection | Detecting the control unit, please wait...";
const std::string kFailureBox = "[message, style 1] Communication error | Communication with the control unit failed";

std::uint16_t ecu_variant() {
  const auto *record = static_cast<const unsigned char *>(e2e::bench().pluginSymbol("TOKEN_OLD"));
  std::uint16_t v;
  std::memcpy(&v, record + offsetof(TOKEN_OLD_T, wEcuVariant), sizeof v);
  return v;
}

const std::vector<std::string> kProbe10 = {"81 10 F1 81 03", "82 10 F1 1A 9A 37", "82 10 F1 21 01 A5", "81 10 F1 20 A2",
                                           "81 10 F1 82 04"};

TEST(BoschDetection, EachSimulatedEcuIsFoundAndItsMenuStarted) {
  struct Case {
    const char *car;
    const char *found;      // the message text
    std::uint16_t variant;  // set by the menu routine that was started
    const char *connect;    // first request of that menu routine
  };
  const Case cases[] = {
      {"m154", "Control unit found: Bosch M1.5.4", VAZ_VARIANT_M154, "81 10 F1 81 03"},
      {"m154-add", "Control unit found: Bosch M1.5.4", VAZ_VARIANT_M154, "81 10 F1 81 03"},  // "J5": code 6
      {"m154n", "Control unit found: Bosch M1.5.4N", VAZ_VARIANT_M154N, "81 10 F1 81 03"},
      {"m797-e3", "Control unit found: Bosch M7.9.7 E3", VAZ_VARIANT_M797_E3, "83 10 F1 10 81 14 29"},
      {"m797-e2", "Control unit found: Bosch M7.9.7 E2", VAZ_VARIANT_M797_E2, "83 10 F1 10 81 14 29"},
      {"m70-e3", "Control unit found: Bosch M7.0 E3", VAZ_VARIANT_M70_E3, "81 11 F1 81 04"},
      {"m70-e2", "Control unit found: Bosch M7.0 E2", VAZ_VARIANT_M70_E2, "81 11 F1 81 04"},
      {"m72", "Control unit found: Bosch M7.2", VAZ_VARIANT_M154N, "81 10 F1 81 03"},
  };
  for (const Case &c : cases) {
    auto r = e2e::bench().run(e2e::session(kAuto, c.car, "back\n"));
    const auto shown = e2e::messages(r.transcript);
    ASSERT_GE(shown.size(), 3u) << c.car;
    EXPECT_EQ(shown[0], kDetectBox) << c.car;
    EXPECT_THAT(shown[1], HasSubstr(c.found)) << c.car;
    EXPECT_EQ(e2e::blocks(r.transcript, "[menu").size(), 1u) << c.car;
    EXPECT_EQ(ecu_variant(), c.variant) << c.car;
    EXPECT_THAT(e2e::sent(r.trace), ::testing::Contains(c.connect)) << c.car;
  }
}

TEST(BoschDetection, AnEcuAtTenIsProbedOnlyThere) {
  auto r = e2e::bench().run(e2e::session(kAuto, "m154n", "back\n"));
  const auto sent = e2e::sent(r.trace);
  ASSERT_GE(sent.size(), kProbe10.size());
  EXPECT_EQ(std::vector<std::string>(sent.begin(), sent.begin() + 5), kProbe10);
  EXPECT_EQ(e2e::times_sent(r.trace, "81 11 F1 81 04"), 0);
}

TEST(BoschDetection, ElevenIsProbedOnlyWhenTenDoesNotWake) {
  auto r = e2e::bench().run(e2e::session(kAuto, "m70-e2", "back\n"));
  const auto sent = e2e::sent(r.trace);
  ASSERT_GE(sent.size(), 8u);
  EXPECT_EQ(std::vector<std::string>(sent.begin(), sent.begin() + 8),
            (std::vector<std::string>{"81 10 F1 81 03", "81 10 F1 81 03", "81 11 F1 81 04", "83 11 F1 10 81 14 2A",
                                      "87 11 F1 83 03 32 50 01 14 00 A6", "82 11 F1 1A 9A 38", "82 11 F1 21 01 A6",
                                      "81 11 F1 82 05"}));
}

TEST(BoschDetection, UnknownIdentificationKeyGivesTheNoEcuMessage) {
  auto s = e2e::session(kAuto, "m154", "back\n");
  s.carOptions.push_back({"id-key", "ZZ"});
  auto r = e2e::bench().run(s);
  EXPECT_THAT(
      e2e::messages(r.transcript),
      ElementsAre(kDetectBox, "[message, style 1] Automatic control unit detection | No known control unit answered"));
  EXPECT_TRUE(e2e::blocks(r.transcript, "[menu").empty());
  EXPECT_EQ(e2e::sent(r.trace), kProbe10);  // the line is closed again
}

TEST(BoschDetection, BothFamilyKeysOfTheM154AreAccepted) {
  for (const char *key : {"M1", "J5", "V5"}) {
    auto s = e2e::session(kAuto, "m154", "back\n");
    s.carOptions.push_back({"id-key", key});
    auto r = e2e::bench().run(s);
    EXPECT_THAT(e2e::messages(r.transcript).at(1), HasSubstr("Bosch M1.5.4")) << key;
    EXPECT_EQ(ecu_variant(), 2) << key;
  }
}

TEST(BoschDetection, ShortAndLongIdentificationHeadersGiveTheSameKey) {
  for (const char *header : {"long", "short-id"}) {
    auto s = e2e::session(kAuto, "m154n", "back\n");
    s.carOptions.push_back({"header", header});
    auto r = e2e::bench().run(s);
    EXPECT_THAT(e2e::messages(r.transcript).at(1), HasSubstr("Bosch M1.5.4N")) << header;
  }
  // The data-block length is read from the long form only: a short data block
  // has no length byte, so the ECU is not recognised.
  auto s = e2e::session(kAuto, "m154n", "back\n");
  s.carOptions.push_back({"header", "short"});
  auto r = e2e::bench().run(s);
  EXPECT_THAT(e2e::messages(r.transcript).at(1), HasSubstr("No known control unit answered"));
}

TEST(BoschDetection, ASilentLineIsAFailure) {
  auto s = e2e::session(kAuto, "none", "back\n");
  s.carOptions.clear();
  auto r = e2e::bench().run(s);
  EXPECT_THAT(e2e::messages(r.transcript), ElementsAre(kDetectBox, kFailureBox));
  EXPECT_EQ(e2e::sent(r.trace),
            (std::vector<std::string>{"81 10 F1 81 03", "81 10 F1 81 03", "81 11 F1 81 04", "81 11 F1 81 04"}));
}

}  // namespace
