// The M1.5.4 family's function menu as the user sees it: message boxes in
// order, exact value texts from the frozen engine, code lists with their texts,
// and the selection and Back paths of the data-stream engines.
#include <gmock/gmock.h>

#include "e2e_support.h"

using ::testing::Contains;
using ::testing::ElementsAre;
using ::testing::HasSubstr;
using ::testing::IsSupersetOf;
using ::testing::Not;

namespace {

constexpr int kM154 = VAZ_ECU_TYPE_M154, kM154Add = VAZ_ECU_TYPE_M154_ADD, kM154N = VAZ_ECU_TYPE_M154N;

TEST(M154Screens, LiveDataShowsTheTickedItemsWithExactValues) {
  auto r = e2e::bench().run(e2e::session(
      kM154, "m154", "choose Live data\ntick 1 2 4 8 9 11 13 14 15 16 17 18 19 20 21 24 33\nstay 2\nback\nback\n"));
  EXPECT_EQ(e2e::stream_pass(r.transcript, 1),
            (std::vector<std::string>{
                "Coolant temperature, °C: 90", "Idle mixture (CO) correction: 0.0390", "Engine speed, rpm: 840",
                "Oxygen feedback factor: 0.9992", "Ignition advance, °: 12.0", "Battery voltage, V: 14.0",
                "Injection time, ms: 2.60", "Mass air flow, kg/h: 9.0", "Air mass per cycle, mg: 86",
                "Fuel consumption, l/h: 0.80", "Fuel economy, l/100km: 0.00", "Control unit status word: 40",
                "Lambda control active: YES", "Overrun fuel cut-off: NO", "Fuel pump relay: ON", "Engine idling: YES",
                "Mixture (oxygen sensor): LEAN"}));
  EXPECT_EQ(e2e::blocks(r.transcript, "[data stream").size(), 2u);
}

TEST(M154Screens, M154NListShowsItsOwnItemsFromTheLongerBlock) {
  auto r = e2e::bench().run(e2e::session(kM154N, "m154n", "choose Live data\ntick 1 2 13 35 36 37\nstay 1\nback\n"));
  EXPECT_EQ(e2e::stream_pass(r.transcript),
            (std::vector<std::string>{"Coolant temperature, °C: 90", "Air/fuel ratio: 14.70",
                                      "Injection time, ms: 2.60", "Oxygen sensor voltage, V: 0.444",
                                      "Oxygen sensor ready: YES", "Oxygen sensor heater: YES"}));
}

TEST(M154Screens, ConverterValuesOfBothLists) {
  auto plain = e2e::bench().run(e2e::session(kM154, "m154", "choose Converter values\ntick all\nstay 1\nback\n"));
  EXPECT_EQ(e2e::stream_pass(plain.transcript),
            (std::vector<std::string>{"Coolant temperature sensor, V: 0.61", "Mass air flow sensor, V: 1.37",
                                      "Throttle position sensor, V: 0.51", "Battery voltage (divider), V: 3.50",
                                      "Oxygen sensor, V: 0.45", "CO potentiometer, V: 2.50"}));
  auto addOn =
      e2e::bench().run(e2e::session(kM154Add, "m154-add", "choose Converter values\ntick all\nstay 1\nback\n"));
  EXPECT_EQ(e2e::stream_pass(addOn.transcript),
            (std::vector<std::string>{"Mass air flow sensor, V: 1.367", "Throttle position sensor, V: 0.508",
                                      "Battery voltage (divider), V: 3.496", "CO potentiometer, V: 2.500",
                                      "Knock sensor, V: 0.195"}));
}

TEST(M154Screens, BackInTheDataListReturnsToTheSelectionWithNothingTicked) {
  auto r = e2e::bench().run(e2e::session(kM154, "m154", "choose Live data\ntick 4\nstay 1\ntick 1\nstay 1\nback\n"));
  auto selections = e2e::blocks(r.transcript, "[select items");
  ASSERT_EQ(selections.size(), 3u);
  EXPECT_THAT(selections[1], HasSubstr("[ ] Engine speed, rpm"));  // the list starts afresh
  EXPECT_EQ(e2e::stream_pass(r.transcript, 1), (std::vector<std::string>{"Engine speed, rpm: 840"}));
  EXPECT_EQ(e2e::stream_pass(r.transcript, 2), (std::vector<std::string>{"Coolant temperature, °C: 90"}));
  EXPECT_EQ(e2e::blocks(r.transcript, "[menu").size(), 2u);  // back on the menu after the last Back
}

TEST(M154Screens, NothingTickedStillRequestsEveryPassAndShowsAnEmptyList) {
  auto r = e2e::bench().run(e2e::session(kM154, "m154", "choose Live data\ntick none\nstay 3\nback\n"));
  EXPECT_EQ(e2e::times_sent(r.trace, "82 10 F1 21 01 A5"), 3);
  EXPECT_TRUE(e2e::stream_pass(r.transcript).empty());
}

TEST(M154Screens, IdentificationFieldsAreCutToTheirLengths) {
  auto r = e2e::bench().run(e2e::session(kM154N, "m154n", "choose Identification\nstay 1\n"));
  EXPECT_EQ(e2e::stream_pass(r.transcript),
            (std::vector<std::string>{
                "Vehicle identification number: XTA21124061122334  ", "Control unit part number: 2112-1411020-41 ",
                "Hardware number: 0261206944", "Software number: 1037353311", "Calibration identifier: N 2112 0301    ",
                "Calibration date: 2001-04", "Software version: V07.03    ", "Manufacturer code: BOSCH   ",
                "Engine code: 2112   ", "Programming date: 2001-09", "Firmware identification: M1.5.4N V7"}));
  EXPECT_THAT(
      e2e::messages(r.transcript),
      ElementsAre(
          "[message, style 5] Connecting to the control unit | Connecting to the control unit",
          "[message, style 5] Control unit identification | Reading the control unit identification, please wait..."));
}

TEST(M154Screens, StoredCodesAreListedWithTheirTexts) {
  auto s = e2e::session(kM154, "m154", "choose Stored trouble codes\nleave\n");
  s.carOptions.push_back({"dtc", "0102,0325,0443"});
  auto r = e2e::bench().run(s);
  auto lists = e2e::blocks(r.transcript, "[trouble codes");
  ASSERT_EQ(lists.size(), 1u);
  EXPECT_THAT(lists[0], HasSubstr("P0102 Mass air flow sensor circuit low input"));
  EXPECT_THAT(lists[0], HasSubstr("P0325 Knock sensor 1 circuit malfunction"));
  EXPECT_THAT(lists[0], HasSubstr("P0443"));
  EXPECT_THAT(e2e::messages(r.transcript),
              ElementsAre("[message, style 5] Connecting to the control unit | Connecting to the control unit",
                          "[message, style 5] Trouble codes | Reading trouble codes"));
}

TEST(M154Screens, CurrentFaultBitsBecomeCodesWithTheirTexts) {
  auto s = e2e::session(kM154, "m154", "choose Current trouble codes\nleave\n");
  s.carOptions.push_back({"faults", "01 00 04"});
  auto r = e2e::bench().run(s);
  auto lists = e2e::blocks(r.transcript, "[trouble codes");
  ASSERT_EQ(lists.size(), 1u);
  EXPECT_EQ(lists[0],
            "[trouble codes]\n  Coolant temperature sensor fault\n  Canister purge valve circuit fault\n> leave");
}

TEST(M154Screens, NoCodesGivesOnlyTheNoCodeBox) {
  auto s = e2e::session(kM154, "m154", "choose Stored trouble codes\n");
  s.carOptions.push_back({"dtc", ""});
  auto r = e2e::bench().run(s);
  EXPECT_TRUE(e2e::blocks(r.transcript, "[trouble codes").empty());
  EXPECT_THAT(e2e::messages(r.transcript),
              Contains("[message, style 6] Reading trouble codes | No trouble codes found"));
}

TEST(M154Screens, ClearingAsksFirstAndTheCodesAreGoneAfterwards) {
  auto s = e2e::session(kM154, "m154", "choose Clear trouble codes\nyes\nchoose Stored trouble codes\n");
  s.carOptions.push_back({"dtc", "0102"});
  auto r = e2e::bench().run(s);
  EXPECT_THAT(
      e2e::messages(r.transcript),
      ElementsAre("[message, style 5] Connecting to the control unit | Connecting to the control unit",
                  "[message, style 3] Clear trouble codes | Clear all trouble codes stored in the control unit?",
                  "[message, style 5] Clear trouble codes | Clearing trouble codes, please wait...",
                  "[message, style 6] Clear trouble codes | Trouble codes cleared",
                  "[message, style 5] Trouble codes | Reading trouble codes",
                  "[message, style 6] Reading trouble codes | No trouble codes found"));
}

TEST(M154Screens, DecliningTheClearSendsNothing) {
  auto s = e2e::session(kM154, "m154", "choose Clear trouble codes\nno\nchoose Stored trouble codes\nleave\n");
  s.carOptions.push_back({"dtc", "0102"});
  auto r = e2e::bench().run(s);
  EXPECT_EQ(e2e::times_sent(r.trace, "83 10 F1 14 FF 00 97"), 0);
  EXPECT_THAT(e2e::blocks(r.transcript, "[trouble codes").at(0), HasSubstr("P0102"));
}

TEST(M154Screens, AvailabilityBitsLimitTheMenu) {
  auto s = e2e::session(kM154, "m154", "back\n");
  s.functions = 0x20;  // identification only
  auto r = e2e::bench().run(s);
  auto menus = e2e::blocks(r.transcript, "[menu");
  ASSERT_EQ(menus.size(), 1u);
  EXPECT_THAT(menus[0], HasSubstr("1. Identification"));
  EXPECT_THAT(menus[0], Not(HasSubstr("2.")));
}

}  // namespace
