// Every member of the five Bosch actuator lists, driven through its list:
// both items of each switch test and every value conversion, byte for byte
// on the wire, with the return-control frame where the list sends one.
#include <climits>
#include <initializer_list>
#include <optional>
#include <ostream>
#include <string>
#include <utility>

#include "actuator_test.h"
#include "actuators/act_catalogue.h"

namespace {

enum class Kind { Switch, GuardedSwitch, Value, GuardedValue, CoAdjust };

struct Member {
  const char *name;
  Kind kind;
  u32 text;                                               // caution or guard, 0 for none
  Bytes first;                                            // item 0 frame, or the value frame without its value byte
  Bytes second;                                           // item 1 frame
  std::vector<std::pair<int, std::optional<u8>>> values;  // entered number -> value byte, nothing: refused
  u32 warning = 0;                                        // guarded shapes: asked before the guard read
  bool pulsed = false;  // item 0 is handed back by its own return-control frame, as is leaving the test
};

struct ListCase {
  const char *name;
  int (*list)(void);
  u32 menu;
  bool returnControl;
  std::vector<Member> members;
};

constexpr u32 k22 = 0xFE551022;
constexpr u32 k23 = 0xFE551023;
constexpr u32 kDrive = 0xFE551036;    // warning before fuel, ignition or starter is driven
constexpr u32 kStarter = 0xFE551037;  // the starter's own warning

Bytes out10(u8 id, u8 state) { return {0x84, 0x10, 0xF1, 0x30, id, 0x06, state}; }
Bytes val10(u8 id, u8 cp) { return {0x84, 0x10, 0xF1, 0x30, id, cp}; }
Bytes rout(u8 service, u8 a, u8 b, u8 c) { return {0x85, 0x11, 0xF1, service, 0x10, a, b, c}; }

using Values = std::vector<std::pair<int, std::optional<u8>>>;
const std::optional<u8> kRefused;
const Values kSame = {{0, 0x00}, {5, 0x05}, {255, 0xFF}, {300, kRefused}, {-1, kRefused}};
const Values kDiv10 = {{850, 0x55},     {900, 0x5A},      {9, 0x00},        {2559, 0xFF},
                       {-10, kRefused}, {2560, kRefused}, {3000, kRefused}, {-100, kRefused}};
const Values kDiv255 = {{254, 0x00}, {510, 0x02}, {65279, 0xFF}, {-255, kRefused}, {65535, kRefused}};
const Values kPercent = {{128, 0x32}, {300, 0x75}, {255, 0x64}, {-5, kRefused}, {653, kRefused}};
// Beyond any sensible input: refused like any other number the byte cannot carry; and what a
// cancelled number box returns.
const Values kDiv10Extreme = {{2147483647, kRefused}, {VAZ_INPUT_CANCELLED, kRefused}};

// The out-of-range message of each conversion names its entries ("enter 0 to 2559").
u32 range_text(const Values &v) {
  if (v == kDiv10) return 0xFE551051;
  if (v == kDiv255) return 0xFE551052;
  if (v == kPercent) return 0xFE551053;
  return 0xFE551050;
}

std::vector<Member> m154_members(bool interactiveCo) {
  std::vector<Member> m = {
      {"INJECTORS", Kind::Switch, k22, out10(0x01, 0x01), out10(0x01, 0x00), {}},
      {"IGNITION1", Kind::Switch, k22, out10(0x05, 0x01), out10(0x05, 0x00), {}},
      {"IGNITION2", Kind::Switch, k22, out10(0x06, 0x01), out10(0x06, 0x00), {}},
      {"FUELPUMP", Kind::Switch, kDrive, out10(0x09, 0x01), out10(0x09, 0x00), {}},
      {"COOLING", Kind::Switch, 0, out10(0x0A, 0x01), out10(0x0A, 0x00), {}},
      {"AC", Kind::Switch, 0, out10(0x0B, 0x01), out10(0x0B, 0x00), {}},
      {"LAMP", Kind::Switch, 0, out10(0x0C, 0x01), out10(0x0C, 0x00), {}},
      {"IDLE_STEP", Kind::Value, 0, val10(0x41, 0x07), {}, kSame},
      {"IDLE_SPEED", Kind::Value, 0, val10(0x42, 0x07), {}, kDiv10},
      {"CO", Kind::Value, 0, val10(0x61, 0x08), {}, kDiv255},
      {"DWELL", Kind::Value, 0, val10(0x62, 0x08), {}, kSame},
  };
  if (interactiveCo) m[9] = {"CO_X", Kind::CoAdjust, 0, {}, {}, {}};
  return m;
}

std::vector<ListCase> bosch_lists() {
  return {
      {"M154", ACT_BOSCH_M154_ENG, 0x58030200, true, m154_members(false)},
      {"M154_X", ACT_BOSCH_M154_ENG_X, 0x58030200, true, m154_members(true)},
      {"M70",
       ACT_BOSCH_M70_ENG,
       0x58030500,
       false,
       {
           {"INJECTOR1", Kind::Switch, k23, rout(0x32, 0x17, 0x50, 0x0A), rout(0x31, 0x17, 0x50, 0x0A), {}},
           {"INJECTOR2", Kind::Switch, k23, rout(0x32, 0x34, 0x50, 0x0A), rout(0x31, 0x34, 0x50, 0x0A), {}},
           {"INJECTOR3", Kind::Switch, k23, rout(0x32, 0x35, 0x50, 0x0A), rout(0x31, 0x35, 0x50, 0x0A), {}},
           {"INJECTOR4", Kind::Switch, k23, rout(0x32, 0x16, 0x50, 0x0A), rout(0x31, 0x16, 0x50, 0x0A), {}},
           {"IGNIT_1", Kind::Switch, k22, rout(0x32, 0x01, 0x0A, 0x05), rout(0x31, 0x01, 0x0A, 0x05), {}},
           {"IGNIT_2", Kind::Switch, k22, rout(0x32, 0x21, 0x0A, 0x05), rout(0x31, 0x21, 0x0A, 0x05), {}},
           {"FUELPUMP", Kind::Switch, k22, rout(0x31, 0x03, 0xFF, 0xFF), rout(0x32, 0x03, 0xFF, 0xFF), {}},
           {"COOLING_1", Kind::Switch, k22, rout(0x31, 0x46, 0xFF, 0xFF), rout(0x32, 0x46, 0xFF, 0xFF), {}},
           {"COOLING_2", Kind::Switch, k22, rout(0x31, 0x06, 0xFF, 0xFF), rout(0x32, 0x06, 0xFF, 0xFF), {}},
           {"AC", Kind::Switch, k22, rout(0x31, 0x23, 0xFF, 0xFF), rout(0x32, 0x23, 0xFF, 0xFF), {}},
           {"IDLESPEED", Kind::Value, k23, {0x84, 0x11, 0xF1, 0x30, 0x70, 0x10}, {}, kDiv10},
           {"OXYGENE", Kind::Value, 0, {0x84, 0x11, 0xF1, 0x30, 0x31, 0x06}, {}, kSame},
       }},
      {"M797",
       ACT_BOSCH_M797_ENG,
       0x58030900,
       true,
       {
           {"INJECTOR1", Kind::Switch, kDrive, out10(0x01, 0xFF), out10(0x01, 0x00), {}},
           {"INJECTOR2", Kind::Switch, kDrive, out10(0x02, 0xFF), out10(0x02, 0x00), {}},
           {"INJECTOR3", Kind::Switch, kDrive, out10(0x03, 0xFF), out10(0x03, 0x00), {}},
           {"INJECTOR4", Kind::Switch, kDrive, out10(0x04, 0xFF), out10(0x04, 0x00), {}},
           {"IGNITION1", Kind::GuardedSwitch, k22, out10(0x05, 0xFF), out10(0x05, 0x00), {}, kDrive},
           {"IGNITION2", Kind::GuardedSwitch, k22, out10(0x06, 0xFF), out10(0x06, 0x00), {}, kDrive},
           {"IGNITION3", Kind::GuardedSwitch, k22, out10(0x07, 0xFF), out10(0x07, 0x00), {}, kDrive},
           {"IGNITION4", Kind::GuardedSwitch, k22, out10(0x08, 0xFF), out10(0x08, 0x00), {}, kDrive},
           {"FUELPUMP", Kind::GuardedSwitch, k22, out10(0x09, 0xFF), out10(0x09, 0x00), {}, kDrive},
           {"COOLING_FAN1", Kind::Switch, 0, out10(0x0A, 0xFF), out10(0x0A, 0x00), {}},
           {"AC", Kind::Switch, 0, out10(0x0B, 0xFF), out10(0x0B, 0x00), {}},
           {"LAMP", Kind::Switch, 0, out10(0x0C, 0xFF), out10(0x0C, 0x00), {}},
           {"COOLING_FAN2", Kind::Switch, 0, out10(0x0D, 0xFF), out10(0x0D, 0x00), {}},
           {"STARTER", Kind::GuardedSwitch, k22, out10(0x0E, 0xFF), out10(0x0E, 0x00), {}, kStarter, true},
           {"INTAKE", Kind::Switch, 0, out10(0x10, 0xFF), out10(0x10, 0x00), {}},
           {"IDLE_STEP", Kind::Value, 0, val10(0x41, 0x07), {}, kSame},
           {"IDLE_SPEED", Kind::GuardedValue, k23, val10(0x42, 0x07), {}, kDiv10},
           {"CO", Kind::Value, 0, val10(0x61, 0x08), {}, kPercent},
       }},
      {"M72",
       ACT_BOSCH_M72_ENG,
       0x58030B00,
       true,
       {
           {"INJECTOR1", Kind::Switch, k22, out10(0x01, 0x01), out10(0x01, 0x00), {}},
           {"INJECTOR2", Kind::Switch, k22, out10(0x02, 0x01), out10(0x02, 0x00), {}},
           {"INJECTOR3", Kind::Switch, k22, out10(0x03, 0x01), out10(0x03, 0x00), {}},
           {"INJECTOR4", Kind::Switch, k22, out10(0x04, 0x01), out10(0x04, 0x00), {}},
           {"IGNITION1", Kind::Switch, k22, out10(0x05, 0x01), out10(0x05, 0x00), {}},
           {"IGNITION2", Kind::Switch, k22, out10(0x06, 0x01), out10(0x06, 0x00), {}},
           {"FUELPUMP", Kind::Switch, k22, out10(0x09, 0x01), out10(0x09, 0x00), {}},
           {"COOLING", Kind::Switch, k22, out10(0x0A, 0x01), out10(0x0A, 0x00), {}},
           {"AC", Kind::Switch, k22, out10(0x0B, 0x01), out10(0x0B, 0x00), {}},
           {"LAMP", Kind::Switch, k22, out10(0x0C, 0x01), out10(0x0C, 0x00), {}},
           {"CO", Kind::Switch, k22, out10(0x0D, 0x01), out10(0x0D, 0x00), {}},
           {"IDLE_STEP", Kind::Value, 0, val10(0x41, 0x07), {}, kSame},
           {"IDLE_SPEED", Kind::Value, 0, val10(0x42, 0x07), {}, kDiv10},
       }},
  };
}

const Bytes kGuardRead = kwp({0x82, 0x10, 0xF1, 0x21, 0x01});
const Bytes kReturnControl = kwp({0x83, 0x10, 0xF1, 0x30, 0x01, 0x00});

const std::vector<ListCase> &lists() {
  static const std::vector<ListCase> all = bosch_lists();
  return all;
}

// One member of one list: the unit of the parameterised tests.
struct MemberRef {
  const ListCase *list;
  size_t index;
  const Member &member() const { return list->members[index]; }
};

// gtest shows a failing parameter by this name instead of its bytes.
void PrintTo(const MemberRef &r, std::ostream *os) { *os << r.list->name << ' ' << r.member().name; }
void PrintTo(const ListCase *l, std::ostream *os) { *os << l->name; }

std::vector<MemberRef> members_of(std::initializer_list<Kind> kinds) {
  std::vector<MemberRef> refs;
  for (const ListCase &l : lists()) {
    for (size_t i = 0; i < l.members.size(); ++i) {
      for (Kind k : kinds) {
        if (l.members[i].kind == k) refs.push_back({&l, i});
      }
    }
  }
  return refs;
}

std::vector<const ListCase *> list_refs() {
  std::vector<const ListCase *> refs;
  for (const ListCase &l : lists()) refs.push_back(&l);
  return refs;
}

// Leaves the list: the frames expected after the member's own.
void expect_tail(const ListCase &l, std::vector<Bytes> &expected) {
  if (l.returnControl) expected.push_back(kReturnControl);
}

class BoschCatalogue : public ActuatorTest {};
class BoschList : public ActuatorTest, public ::testing::WithParamInterface<const ListCase *> {};
class BoschSwitchMember : public ActuatorTest, public ::testing::WithParamInterface<MemberRef> {};
class BoschValueMember : public ActuatorTest, public ::testing::WithParamInterface<MemberRef> {};

TEST_F(BoschCatalogue, ListSizesMatchTheCatalogueTables) {
  EXPECT_EQ(vaz::act::bosch_m154_tests().size(), 11u);
  EXPECT_EQ(vaz::act::bosch_m70_tests().size(), 12u);
  EXPECT_EQ(vaz::act::bosch_m797_tests().size(), 18u);
  EXPECT_EQ(vaz::act::bosch_m72_tests().size(), 13u);
}

TEST_P(BoschList, ShowsItsMenuUnderTheTestTitle) {
  const ListCase &l = *GetParam();
  EXPECT_EQ(l.list(), 1);
  ASSERT_EQ(h.menus.size(), 1u);
  EXPECT_EQ(h.menus[0].title, 0xFE551010u);
  ASSERT_EQ(h.menus[0].items.size(), l.members.size());
  for (size_t i = 0; i < l.members.size(); ++i) EXPECT_EQ(h.menus[0].items[i], l.menu + 1 + i) << "entry " << i;
}

TEST_P(BoschSwitchMember, SendsBothItemsExactly) {
  const ListCase &l = *GetParam().list;
  const Member &m = GetParam().member();
  const size_t i = GetParam().index;
  h.menuChoices = {static_cast<int>(i), 0, 1, -1, -1};
  ASSERT_EQ(l.list(), 1);

  std::vector<Bytes> expected;
  if (m.kind == Kind::GuardedSwitch) expected.push_back(kGuardRead);
  expected.push_back(kwp(m.first));
  const Bytes release = kwp({0x83, 0x10, 0xF1, 0x30, m.first.size() > 4 ? m.first[4] : u8{0}, 0x00});
  if (m.pulsed) expected.push_back(release);  // after the pulse
  expected.push_back(kwp(m.second));
  if (m.pulsed) expected.push_back(release);  // switched off, then left: handed back
  expect_tail(l, expected);
  EXPECT_EQ(frames, expected);
  if (m.pulsed) { EXPECT_EQ(h.sleeps, (std::vector<unsigned>{2})) << "one pulse of two seconds"; }

  std::vector<Box> boxes;
  if (m.warning) boxes.push_back({m.warning, 0xFE551010, 3});
  if (m.kind == Kind::Switch && m.text) boxes.push_back({m.text, 0xFE551010, 3});
  for (int item = 0; item < 2; ++item) {
    boxes.push_back({0xFE55101A, 0xFE551010, 5});
    boxes.push_back({0xFE55101E, 0xFE551010, 1});
  }
  EXPECT_EQ(h.boxes, boxes);

  // List, switch menu three times (highlight follows the item), list again.
  ASSERT_EQ(h.menus.size(), 5u);
  EXPECT_EQ(h.menus[1].items, (std::vector<u32>{0x58030301, 0x58030302}));
  EXPECT_EQ(h.menus[1].preselect, 0);
  EXPECT_EQ(h.menus[2].preselect, 0);
  EXPECT_EQ(h.menus[3].preselect, 1);
  EXPECT_EQ(h.menus[4].preselect, static_cast<int>(i)) << "list highlight after the test";

  // Every test that drives fuel, ignition or the starter warns first; declined, nothing is driven.
  const std::string name = m.name;
  const bool drives = name.find("INJECTOR") == 0 || name.find("IGNIT") == 0 || name == "FUELPUMP" || name == "STARTER";
  const u32 warning = m.kind == Kind::GuardedSwitch ? m.warning : m.text;
  if (drives) { EXPECT_NE(warning, 0u) << "a test driving fuel, ignition or the starter must warn first"; }
  if (!warning) return;
  SetUp();
  h.menuChoices = {static_cast<int>(i), -1};
  h.confirmAnswers = {3};
  ASSERT_EQ(l.list(), 1);
  std::vector<Bytes> tail;
  expect_tail(l, tail);
  EXPECT_EQ(frames, tail) << "declined: not even the guard is read";
  EXPECT_EQ(h.boxes.front(), (Box{warning, 0xFE551010, 3}));
}

TEST_P(BoschValueMember, ConvertsEveryNumber) {
  const ListCase &l = *GetParam().list;
  const Member &m = GetParam().member();
  auto values = m.values;
  if (m.values == kDiv10) values.insert(values.end(), kDiv10Extreme.begin(), kDiv10Extreme.end());
  for (auto [n, vv] : values) {
    SetUp();
    h.menuChoices = {static_cast<int>(GetParam().index), -1};
    h.inputs = {n};
    ASSERT_EQ(l.list(), 1) << "n=" << n;
    std::vector<Bytes> expected;
    if (m.kind == Kind::GuardedValue) expected.push_back(kGuardRead);
    if (!vv) {
      // Nothing sent, no live data: the refusal naming the range, and the list again. A
      // cancelled box says nothing at all.
      expect_tail(l, expected);
      EXPECT_EQ(frames, expected) << "n=" << n;
      EXPECT_TRUE(h.commCodes.empty()) << "n=" << n;
      if (n == VAZ_INPUT_CANCELLED) {
        for (const Box &b : h.boxes) EXPECT_NE(b.style, 1) << "cancelled: no message";
      } else {
        EXPECT_EQ(h.boxes.back(), (Box{range_text(m.values), 0xFE551010, 1})) << "n=" << n;
      }
      continue;
    }
    Bytes f = m.first;
    f.push_back(*vv);
    expected.push_back(kwp(f));
    expect_tail(l, expected);
    EXPECT_EQ(frames, expected) << "n=" << n;
    // The live data was shown between sending and the completion message.
    ASSERT_FALSE(h.commCodes.empty());
    EXPECT_EQ(h.commCodes.front(), FC_STREAM);
    ASSERT_GE(h.boxes.size(), 2u);
    EXPECT_EQ(h.boxes.back(), (Box{0xFE55101E, 0xFE551010, 1}));
    if (m.kind == Kind::Value && m.text) { EXPECT_EQ(h.boxes.front(), (Box{m.text, 0xFE551010, 3})); }
  }
}

std::string member_name(const ::testing::TestParamInfo<MemberRef> &info) {
  return std::string(info.param.list->name) + "_" + info.param.member().name;
}

INSTANTIATE_TEST_SUITE_P(Bosch, BoschList, ::testing::ValuesIn(list_refs()),
                         [](const auto &p) { return std::string(p.param->name); });
INSTANTIATE_TEST_SUITE_P(Bosch, BoschSwitchMember, ::testing::ValuesIn(members_of({Kind::Switch, Kind::GuardedSwitch})),
                         member_name);
INSTANTIATE_TEST_SUITE_P(Bosch, BoschValueMember, ::testing::ValuesIn(members_of({Kind::Value, Kind::GuardedValue})),
                         member_name);

TEST_F(BoschCatalogue, WireBytesOfTheDocumentedExamples) {
  h.menuChoices = {0, 0, 1, -1, -1};
  ASSERT_EQ(ACT_BOSCH_M154_ENG(), 1);
  ASSERT_EQ(frames.size(), 3u);
  EXPECT_EQ(hex(frames[0]), "84 10 F1 30 01 06 01 BD");
  EXPECT_EQ(hex(frames[1]), "84 10 F1 30 01 06 00 BC");
  EXPECT_EQ(hex(frames[2]), "83 10 F1 30 01 00 B5");

  SetUp();
  h.menuChoices = {0, 0, 1, -1, -1};
  ASSERT_EQ(ACT_BOSCH_M70_ENG(), 1);
  ASSERT_EQ(frames.size(), 2u);
  EXPECT_EQ(hex(frames[0]), "85 11 F1 32 10 17 50 0A 3A");
  EXPECT_EQ(hex(frames[1]), "85 11 F1 31 10 17 50 0A 39");

  SetUp();
  h.menuChoices = {0, 0, -1, -1};
  ASSERT_EQ(ACT_BOSCH_M797_ENG(), 1);
  ASSERT_EQ(frames.size(), 2u);
  EXPECT_EQ(hex(frames[0]), "84 10 F1 30 01 06 FF BB");

  SetUp();
  h.menuChoices = {4, -1};
  h.guardByte = 0;
  ASSERT_EQ(ACT_BOSCH_M797_ENG(), 1);
  EXPECT_EQ(hex(frames[0]), "82 10 F1 21 01 A5");

  SetUp();
  h.menuChoices = {8, -1};
  h.inputs = {900};
  ASSERT_EQ(ACT_BOSCH_M154_ENG(), 1);
  EXPECT_EQ(hex(frames[0]), "84 10 F1 30 42 07 5A 58");
}

TEST_F(BoschCatalogue, M154ListsRunTheirOwnCoTestAtIndexNine) {
  h.menuChoices = {9, -1};
  h.inputs = {510};
  ASSERT_EQ(ACT_BOSCH_M154_ENG(), 1);
  EXPECT_EQ(hex(frames[0]), "84 10 F1 30 61 08 02 20");
  EXPECT_EQ(h.inputCalls.size(), 1u);

  SetUp();
  h.menuChoices = {9, -1};
  h.panelButtons = {2};
  ASSERT_EQ(ACT_BOSCH_M154_ENG_X(), 1);
  EXPECT_TRUE(h.inputCalls.empty()) << "the interactive adjustment asks for no number";
  EXPECT_EQ(hex(frames[0]), "84 10 F1 30 61 08 64 82");
}

}  // namespace
