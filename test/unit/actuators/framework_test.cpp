// The actuator framework: SelectMenu, the list and test engines' paths
// (caution declined, guard refused, failed requests, refused menus), the live
// data after a value test and the value conversions at their limits.
#include <climits>
#include <set>

#include "actuator_test.h"
#include "actuators/act_catalogue.h"

namespace {

using vaz::act::Conversion;
using vaz::act::convert;

const Bytes kReturnControl = kwp({0x83, 0x10, 0xF1, 0x30, 0x01, 0x00});
const Bytes kGuardRead = kwp({0x82, 0x10, 0xF1, 0x21, 0x01});

class SelectMenuTest : public ActuatorTest {};

TEST_F(SelectMenuTest, AddsEveryCountedItemAndReturnsTheChoice) {
  h.menuChoices = {1};
  EXPECT_EQ(SelectMenu(0x58030300, 7), 1);
  ASSERT_EQ(h.menus.size(), 1u);
  EXPECT_EQ(h.menus[0].items, (std::vector<u32>{0x58030301, 0x58030302}));
  EXPECT_EQ(h.menus[0].preselect, 7);
}

TEST_F(SelectMenuTest, ZeroCountStillShowsTheMenu) {
  h.texts[0x58030300] = "0";
  EXPECT_EQ(SelectMenu(0x58030300, 0), -1);
  ASSERT_EQ(h.menus.size(), 1u);
  EXPECT_TRUE(h.menus[0].items.empty());
}

TEST_F(SelectMenuTest, CountKeepsItsLowEightBits) {
  h.texts[0x58030300] = "258";
  SelectMenu(0x58030300, 0);
  EXPECT_EQ(h.menus[0].items.size(), 2u);
}

TEST_F(SelectMenuTest, RefusedItemGivesMinusTwoWithoutShowing) {
  h.addMenuResult = 1;
  EXPECT_EQ(SelectMenu(0x58030300, 0), -2);
  EXPECT_TRUE(h.menus.empty());
}

TEST_F(SelectMenuTest, MissingSlotsFailSafely) {
  AddMenuTextID = nullptr;
  EXPECT_EQ(SelectMenu(0x58030300, 0), -2);
  SetUp();
  ShowMenuGetSelectedItem = nullptr;
  EXPECT_EQ(SelectMenu(0x58030300, 0), -1);
  SetUp();
  GetTextFromTextLib = nullptr;
  h.menuChoices = {0};
  EXPECT_EQ(SelectMenu(0x58030300, 0), 0);
  EXPECT_TRUE(h.menus[0].items.empty());
}

TEST_F(SelectMenuTest, AnyNegativeAnswerOfTheMenuIsBack) {
  h.menuChoices = {-7};
  EXPECT_EQ(SelectMenu(0x58030300, 0), -1);
}

class ListTest : public ActuatorTest {};

TEST_F(ListTest, BackingOutSendsReturnControlOnlyWhereTheListHasIt) {
  EXPECT_EQ(ACT_BOSCH_M154_ENG(), 1);
  EXPECT_EQ(ACT_BOSCH_M154_ENG_X(), 1);
  EXPECT_EQ(ACT_BOSCH_M797_ENG(), 1);
  EXPECT_EQ(ACT_BOSCH_M72_ENG(), 1);
  EXPECT_EQ(frames, (std::vector<Bytes>{kReturnControl, kReturnControl, kReturnControl, kReturnControl}));
  EXPECT_EQ(hex(frames[0]), "83 10 F1 30 01 00 B5");
  frames.clear();
  EXPECT_EQ(ACT_BOSCH_M70_ENG(), 1);
  EXPECT_EQ(ACT_GM_ISFI(), 1);
  EXPECT_EQ(ACT_GM_EFI(), 1);
  EXPECT_TRUE(frames.empty());
}

TEST_F(ListTest, FailedReturnControlGivesMinusOne) {
  h.kwpResults = {-1};
  EXPECT_EQ(ACT_BOSCH_M72_ENG(), -1);
  EXPECT_EQ(frames.size(), 1u);
}

TEST_F(ListTest, DeclinedCautionSendsNothingAndKeepsTheHighlight) {
  h.menuChoices = {2, -1};
  h.confirmAnswers = {3};
  EXPECT_EQ(ACT_BOSCH_M154_ENG(), 1);
  EXPECT_EQ(frames, (std::vector<Bytes>{kReturnControl}));
  EXPECT_EQ(h.boxes, (std::vector<Box>{{0xFE551022, 0xFE551010, 3}}));
  ASSERT_EQ(h.menus.size(), 2u);
  EXPECT_EQ(h.menus[1].preselect, 2);
  EXPECT_EQ(h.menus[1].items.front(), 0x58030201u);
}

TEST_F(ListTest, DeclinedValueCautionSkipsTheNumberInput) {
  h.menuChoices = {10, -1};
  h.confirmAnswers = {3};
  EXPECT_EQ(ACT_BOSCH_M70_ENG(), 1);
  EXPECT_TRUE(frames.empty());
  EXPECT_TRUE(h.inputCalls.empty());
  EXPECT_EQ(h.boxes, (std::vector<Box>{{0xFE551023, 0xFE551010, 3}}));
}

TEST_F(ListTest, MissingMessageBoxIsACautionDeclined) {
  ShowMessageBoxID = nullptr;
  h.menuChoices = {0, 0, -1, -1};
  EXPECT_EQ(ACT_BOSCH_M72_ENG(), 1);
  EXPECT_EQ(frames, (std::vector<Bytes>{kReturnControl}));
}

TEST_F(ListTest, SwitchItemRepeatsAsOftenAsChosen) {
  h.menuChoices = {3, 0, 0, 0, -1, -1};
  EXPECT_EQ(ACT_BOSCH_M154_ENG(), 1);
  const Bytes pumpOn = kwp({0x84, 0x10, 0xF1, 0x30, 0x09, 0x06, 0x01});
  EXPECT_EQ(frames, (std::vector<Bytes>{pumpOn, pumpOn, pumpOn, kReturnControl}));
  EXPECT_EQ(h.boxes.size(), 7u) << "the warning once, then notice and completion per item";
}

TEST_F(ListTest, FailedSwitchRequestEndsTheListWithoutReturnControl) {
  h.menuChoices = {3, 1};
  h.kwpResults = {-1};
  EXPECT_EQ(ACT_BOSCH_M154_ENG(), -1);
  EXPECT_EQ(frames.size(), 1u);
  // The warning, the in-progress notice, then no completion and no failure message.
  EXPECT_EQ(h.boxes, (std::vector<Box>{{0xFE551036, 0xFE551010, 3}, {0xFE55101A, 0xFE551010, 5}}));
}

TEST_F(ListTest, FailedValueRequestEndsTheListWithoutReturnControl) {
  h.menuChoices = {11};
  h.inputs = {10};
  h.kwpResults = {-5};
  EXPECT_EQ(ACT_BOSCH_M72_ENG(), -1);
  EXPECT_EQ(frames.size(), 1u);
  EXPECT_TRUE(h.commCodes.empty()) << "no live data after a failed request";
}

TEST_F(ListTest, ResultZeroOfTheInterfaceIsSuccess) {
  h.menuChoices = {3, 0, -1, -1};
  h.kwpResults = {0, 0};
  EXPECT_EQ(ACT_BOSCH_M154_ENG(), 1);
  EXPECT_EQ(frames.size(), 2u);
}

TEST_F(ListTest, FailedTestMenuTurnsIntoMinusOneOfTheList) {
  h.menuChoices = {3};
  h.initMenuResult = 0;
  // The list opens its menu; the test's own InitMenuID then fails.
  InitMenuID = [](u32 title) -> int { return fake.menus.empty() ? 0 : (title == 0xFE551010 ? 1 : 0); };
  EXPECT_EQ(ACT_BOSCH_M154_ENG(), -1);
  EXPECT_TRUE(frames.empty());
}

TEST_F(ListTest, FailedListMenuGivesMinusTwo) {
  h.initMenuResult = 1;
  EXPECT_EQ(ACT_BOSCH_M797_ENG(), -2);
  EXPECT_TRUE(frames.empty());
  EXPECT_TRUE(h.menus.empty());
}

TEST_F(ListTest, RefusedListMenuLeavesWithMinusTwoInsteadOfRedrawing) {
  h.addMenuResult = 1;
  EXPECT_EQ(ACT_BOSCH_M154_ENG(), -2);
  EXPECT_TRUE(frames.empty()) << "no return control: nothing was driven";
}

TEST_F(ListTest, RefusedSwitchMenuEndsTheTestAndTheListFails) {
  h.menuChoices = {3};
  // The list menu shows; the switch menu's items are refused.
  AddMenuTextID = [](u32 id) -> int {
    fake.pendingItems.push_back(id);
    return id == 0x58030301 ? 1 : 0;
  };
  EXPECT_EQ(ACT_BOSCH_M154_ENG(), -1);
  EXPECT_TRUE(frames.empty());
}

TEST_F(ListTest, ChoicesOutsideTheListRedrawIt) {
  h.menuChoices = {11, 40, -1};
  EXPECT_EQ(ACT_BOSCH_M154_ENG(), 1);
  ASSERT_EQ(h.menus.size(), 3u);
  EXPECT_EQ(h.menus[1].preselect, 11);
  EXPECT_EQ(h.menus[2].preselect, 40);
  EXPECT_EQ(frames, (std::vector<Bytes>{kReturnControl}));
}

TEST_F(ListTest, SwitchChoicesOutsideItsTwoItemsRedrawIt) {
  h.menuChoices = {3, 2, 5, -1, -1};
  EXPECT_EQ(ACT_BOSCH_M154_ENG(), 1);
  EXPECT_EQ(frames, (std::vector<Bytes>{kReturnControl}));
  EXPECT_EQ(h.menus.size(), 5u);
}

TEST_F(ListTest, MissingNumberInputSendsNothing) {
  InputIntegerID = nullptr;
  h.menuChoices = {11};
  EXPECT_EQ(ACT_BOSCH_M72_ENG(), -1);
  EXPECT_TRUE(frames.empty());
}

class GuardTest : public ActuatorTest {};

TEST_F(GuardTest, RefusedSwitchShowsItsTextAndSendsNoControlFrame) {
  h.guardByte = 0;
  h.menuChoices = {4, -1};
  EXPECT_EQ(ACT_BOSCH_M797_ENG(), 1);
  EXPECT_EQ(frames, (std::vector<Bytes>{kGuardRead, kReturnControl}));
  EXPECT_EQ(h.boxes, (std::vector<Box>{{0xFE551036, 0xFE551010, 3}, {0xFE551022, 0xFE551010, 1}}));
  EXPECT_EQ(h.menus.size(), 2u) << "the list stays, no switch menu";
  EXPECT_EQ(h.menus[1].preselect, 4);
}

TEST_F(GuardTest, RefusedIdleSpeedAsksForNoNumber) {
  h.guardByte = 0;
  h.menuChoices = {16, -1};
  EXPECT_EQ(ACT_BOSCH_M797_ENG(), 1);
  EXPECT_EQ(frames, (std::vector<Bytes>{kGuardRead, kReturnControl}));
  EXPECT_EQ(h.boxes, (std::vector<Box>{{0xFE551023, 0xFE551010, 1}}));
  EXPECT_TRUE(h.inputCalls.empty());
}

// An answer that ends before byte 12 (or at its checksum) says nothing about the guard,
// whatever an earlier answer left there: the test is refused.
TEST_F(GuardTest, ShortGuardAnswerRefusesTheTest) {
  for (u8 length : {u8{0}, u8{10}, u8{11}}) {
    SetUp();
    h.answerLength = length;
    h.menuChoices = {13, -1};
    EXPECT_EQ(ACT_BOSCH_M797_ENG(), 1);
    EXPECT_EQ(frames, (std::vector<Bytes>{kGuardRead, kReturnControl})) << int{length};
    EXPECT_EQ(h.boxes, (std::vector<Box>{{0xFE551037, 0xFE551010, 3}, {0xFE551022, 0xFE551010, 1}})) << int{length};
  }
}

TEST_F(GuardTest, FailedGuardReadFailsTheList) {
  h.menuChoices = {13};
  h.kwpResults = {-1};
  EXPECT_EQ(ACT_BOSCH_M797_ENG(), -1);
  EXPECT_EQ(frames, (std::vector<Bytes>{kGuardRead}));
  EXPECT_EQ(h.boxes, (std::vector<Box>{{0xFE551037, 0xFE551010, 3}})) << "only the warning before it";
}

// The starter: switched off and left, it is handed back to the ECU (83 10 F1 30 0E 00)
// before the list's own return control; an open guard adds no caution of its own.
TEST_F(GuardTest, OpenGuardShowsOnlyTheWarningAndTheStarterIsHandedBack) {
  h.menuChoices = {13, 1, -1, -1};
  EXPECT_EQ(ACT_BOSCH_M797_ENG(), 1);
  ASSERT_EQ(frames.size(), 4u);
  EXPECT_EQ(hex(frames[2]), "83 10 F1 30 0E 00 C2");
  EXPECT_EQ(frames[3], kReturnControl);
  EXPECT_EQ(h.boxes.front(), (Box{0xFE551037, 0xFE551010, 3}));
  EXPECT_EQ(h.boxes[1], (Box{0xFE55101A, 0xFE551010, 5}));

  // A failed hand-back fails the list at once, as any failed request does.
  SetUp();
  h.menuChoices = {13, 0};
  h.kwpResults = {0, 0, -1};
  EXPECT_EQ(ACT_BOSCH_M797_ENG(), -1);
  EXPECT_EQ(frames.size(), 3u) << "guard read, starter on, the failed hand-back";
}

class LiveDataTest : public ActuatorTest {};

TEST_F(LiveDataTest, EachVariantLoadsItsListAndFormula) {
  const std::vector<std::pair<u32, CALC_CD_FN>> expected = {
      {0x58200000, CalCd_GM_ISFI_ENG},      {0x58200200, CalCd_GM_EFI_ENG},
      {0x58200400, CalCd_BOSCH_M154_ENG},   {0x58200400, CalCd_BOSCH_M154_ENG},
      {0x58200500, CalCd_BOSCH_M154N_ENG},  {0x58200800, CalCd_BOSCH_M70_ENG},
      {0x58200D00, CalCd_BOSCH_M70_E3_ENG}, {0x58200F00, CalCd_BOSCH_M797_E2_ENG},
      {0x58201000, CalCd_BOSCH_M797_E3_ENG}};
  for (u16 v = 0; v < expected.size(); ++v) {
    SetUp();
    TOKEN_OLD.wEcuVariant = v;
    EXPECT_EQ(act_cd_function(), 1) << "variant " << v;
    EXPECT_EQ(TOKEN_OLD.cFuncCode, FC_STREAM);
    EXPECT_EQ(pFCalcCD, expected[v].second) << "variant " << v;
    ASSERT_FALSE(h.nameListsLoaded.empty());
    EXPECT_EQ(h.nameListsLoaded.front(), expected[v].first) << "variant " << v;
    // The add-on variant lets the user pick (Back there sends '!' once, no read);
    // every other variant reads and shows the whole list.
    const std::vector<u8> reads = v == 3 ? std::vector<u8>{FC_DONE} : std::vector<u8>{FC_STREAM, FC_DONE};
    EXPECT_EQ(h.commCodes, reads) << "variant " << v;
  }
}

TEST_F(LiveDataTest, UnknownVariantShowsNothing) {
  TOKEN_OLD.wEcuVariant = 9;
  EXPECT_EQ(act_cd_function(), 1);
  EXPECT_TRUE(h.nameListsLoaded.empty());
  EXPECT_TRUE(h.commCodes.empty());
}

TEST_F(LiveDataTest, MissingListOrFailedDisplayIsMinusOne) {
  IdSearch = [](const u8 *, u8 *, int, void *) { return 0; };
  EXPECT_EQ(act_cd_function(), -1);
  SetUp();
  h.commResults = {-1};
  EXPECT_EQ(act_cd_function(), -1);
}

TEST_F(LiveDataTest, M72ValueTestShowsTheM154NList) {
  TOKEN_OLD.wEcuVariant = 4;
  h.menuChoices = {12, -1};
  h.inputs = {800};
  EXPECT_EQ(ACT_BOSCH_M72_ENG(), 1);
  EXPECT_EQ(h.nameListsLoaded, (std::vector<u32>{0x58200500}));
}

TEST_F(LiveDataTest, FailedLiveDataStillCompletesTheValueTest) {
  h.menuChoices = {7, -1};
  h.inputs = {3};
  h.commResults = {-1};
  EXPECT_EQ(ACT_BOSCH_M154_ENG(), 1);
  EXPECT_EQ(h.boxes.back(), (Box{0xFE55101E, 0xFE551010, 1}));
  EXPECT_EQ(frames.size(), 2u);
}

// Each row: conversion, entered number, value byte or nothing (refused: the
// byte cannot carry the converted number, so nothing may be sent).
TEST(ValueConversion, SendsOnlyWhatTheByteCarries) {
  const std::optional<u8> no;
  const struct {
    Conversion c;
    int n;
    std::optional<u8> byte;
  } rows[] = {
      {Conversion::Div10, 850, 0x55},
      {Conversion::Div10, 2559, 0xFF},
      {Conversion::Div10, 2560, no},
      {Conversion::Div10, 3000, no},
      {Conversion::Div10, -100, no},
      {Conversion::Div10, -10, no},
      {Conversion::Div10, -5, no},
      {Conversion::Div10, 0, 0x00},
      {Conversion::Div255, 254, 0x00},
      {Conversion::Div255, 510, 0x02},
      {Conversion::Div255, 65279, 0xFF},
      {Conversion::Div255, 65280, no},
      {Conversion::Percent255, 128, 0x32},
      {Conversion::Percent255, 300, 0x75},
      {Conversion::Percent255, 652, 0xFF},
      {Conversion::Percent255, 653, no},
      {Conversion::Percent255, -5, no},
      {Conversion::Percent255, INT_MIN, no},
      {Conversion::Percent255, INT_MAX, no},
      {Conversion::Div12_5, 800, 64},
      {Conversion::Div12_5, 810, 64},
      {Conversion::Div12_5, 3199, 0xFF},
      {Conversion::Div12_5, 3200, no},
      {Conversion::Div12_5, -25, no},
      {Conversion::Div25, 800, 0x20},
      {Conversion::Div25, 6400, no},
      {Conversion::Times10, 25, 0xFA},
      {Conversion::Times10, 30, 0x2C},
      {Conversion::Times10, 256, no},
      {Conversion::Times10, -1, no},
      {Conversion::Times10, INT_MAX, no},
      {Conversion::Times10, INT_MIN, no},
      {Conversion::Angle, 10, 0x9F},
      {Conversion::Angle, 66, 0x00},
      {Conversion::Angle, 70, 0xF5},
      {Conversion::Angle, 111, 0x80},
      {Conversion::Angle, 112, no},
      {Conversion::Angle, -23, 0xFD},
      {Conversion::Angle, -24, no},
      {Conversion::Angle, INT_MIN, no},
      {Conversion::Same, 255, 0xFF},
      {Conversion::Same, 256, no},
      {Conversion::Same, -1, no},
      {Conversion::Same, INT_MIN, no},
  };
  for (const auto &r : rows)
    EXPECT_EQ(convert(r.c, r.n), r.byte) << "conversion " << static_cast<int>(r.c) << ", n = " << r.n;
}

// The range a refusal names is exactly the entries the conversion takes, and each
// range has its own text.
TEST(ValueConversion, TheNamedRangeIsWhatTheConversionTakes) {
  std::set<std::pair<u32, std::pair<int, int>>> texts;
  for (Conversion c : {Conversion::Same, Conversion::Div10, Conversion::Div255, Conversion::Percent255,
                       Conversion::Div12_5, Conversion::Div25, Conversion::Times10, Conversion::Angle}) {
    const vaz::act::Range r = vaz::act::range_of(c);
    EXPECT_TRUE(convert(c, r.min) && convert(c, r.max)) << static_cast<int>(c);
    EXPECT_FALSE(convert(c, r.min - 1) || convert(c, r.max + 1)) << static_cast<int>(c);
    texts.insert({r.text, {r.min, r.max}});
  }
  std::set<u32> ids;
  for (const auto &t : texts) EXPECT_TRUE(ids.insert(t.first).second) << std::hex << t.first << " names two ranges";
}

}  // namespace
