// The two GM actuator lists: every member's ALDL mode-4 frames on the wire,
// every value conversion, and nothing sent on leaving either list.
#include <optional>
#include <ostream>
#include <string>
#include <utility>

#include "actuator_test.h"
#include "actuators/act_catalogue.h"

namespace {

struct Member {
  const char *name;
  Bytes first;   // item 0 frame or value template (value byte included, replaced)
  Bytes second;  // item 1 frame; empty for value tests
  int valueAt;   // byte index of the value in the frame from F4, -1 for switches
  std::vector<std::pair<int, std::optional<u8>>> values;  // nothing: refused, not sent
  u32 warning = 0;                                        // asked before a fuel or ignition output is driven
  u32 range = 0xFE551050;                                 // the text naming the entries a value test takes
};

constexpr u32 kDrive = 0xFE551036;

Bytes d(std::initializer_list<u8> data) {
  Bytes b;
  b.reserve(3 + data.size());
  for (u8 x : {0xF4, 0x60, 0x04}) b.push_back(x);
  b.insert(b.end(), data);
  return b;
}

const std::optional<u8> kRefused;
const std::vector<std::pair<int, std::optional<u8>>> kSame = {
    {0x74, 0x74}, {5, 5}, {255, 0xFF}, {-1, kRefused}, {256, kRefused}};

std::vector<Member> isfi() {
  const Bytes k1B = d({0x7F, 0x77, 0x01, 0x00, 0x00, 0x1B, 0x78, 0x00, 0x36, 0x00});
  auto with = [](Bytes b, int at, u8 v) {
    b[static_cast<size_t>(at)] = v;
    return b;
  };
  return {
      {"CHECK_ENGINE", d({0x01, 0x01, 0, 0, 0, 0, 0, 0, 0, 0}), d({0x01, 0x00, 0, 0, 0, 0, 0, 0, 0, 0}), -1, {}},
      {"FUEL_PUMP", d({0x03, 0x01, 0, 0, 0, 0, 0, 0, 0, 0}), d({0x03, 0x01, 0, 0, 0, 0, 0, 0, 0, 0}), -1, {}, kDrive},
      {"EGR1", d({0x07, 0x05, 0, 0, 0, 0, 0, 0, 0, 0}), d({0x07, 0x01, 0, 0, 0, 0, 0, 0, 0, 0}), -1, {}},
      {"EGR2", d({0x0F, 0x07, 0, 0, 0, 0, 0, 0, 0, 0}), d({0x0F, 0x05, 0, 0, 0, 0, 0, 0, 0, 0}), -1, {}},
      {"EGR3", d({0x1F, 0x17, 0, 0, 0, 0, 0, 0, 0, 0}), d({0x1F, 0x07, 0, 0, 0, 0, 0, 0, 0, 0}), -1, {}},
      {"COOLING_FAN", d({0x3F, 0x37, 0, 0, 0, 0, 0, 0, 0, 0}), d({0x3F, 0x17, 0, 0, 0, 0, 0, 0, 0, 0}), -1, {}},
      {"OPENCLOSE_LOOP", with(k1B, 7, 0x02), k1B, -1, {}},
      {"SEVERE_KNOCK", k1B, with(k1B, 7, 0x04), -1, {}},
      {"INJECTORS1",
       d({0x7F, 0x77, 0x01, 0x00, 0x00, 0x59, 0x4D, 0x00, 0x36, 0x01}),
       d({0x7F, 0x77, 0x01, 0x00, 0x00, 0x59, 0x4D, 0x00, 0x36, 0x00}),
       -1,
       {},
       kDrive},
      {"INJECTORS2",
       d({0x7F, 0x77, 0x01, 0x00, 0x00, 0x59, 0x4D, 0x00, 0x36, 0x08}),
       d({0x7F, 0x77, 0x01, 0x00, 0x00, 0x59, 0x4D, 0x00, 0x36, 0x00}),
       -1,
       {},
       kDrive},
      {"INJECTORS3",
       d({0x7F, 0x77, 0x01, 0x00, 0x00, 0x59, 0x4D, 0x00, 0x36, 0x02}),
       d({0x7F, 0x77, 0x01, 0x00, 0x00, 0x59, 0x4D, 0x00, 0x36, 0x00}),
       -1,
       {},
       kDrive},
      {"INJECTORS4",
       d({0x7F, 0x77, 0x01, 0x00, 0x00, 0x59, 0x4D, 0x00, 0x36, 0x04}),
       d({0x7F, 0x77, 0x01, 0x00, 0x00, 0x59, 0x4D, 0x00, 0x36, 0x00}),
       -1,
       {},
       kDrive},
      {"AC_CLUTCH", d({0x7F, 0x77, 0, 0, 0, 0, 0, 0, 0, 0}), d({0x7F, 0x77, 0, 0, 0, 0, 0, 0, 0, 0}), -1, {}},
      {"IAC_MOTOR", d({0x7F, 0x77, 0x00, 0x00, 0x00, 0x03, 0x74, 0x00, 0x00, 0x00}), {}, 9, kSame},
      {"SPARK_ADVANCE", d({0x7F, 0x77, 0x00, 0x00, 0x00, 0x1B, 0x78, 0x00, 0x38, 0x00}), {}, 9, kSame},
      {"PURGE_DUTY", d({0x7F, 0x77, 0x01, 0x01, 0x00, 0x1B, 0x78, 0x00, 0x36, 0x00}), {}, 6, kSame},
      {"CO_ADJUST", k1B, with(k1B, 7, 0x10), -1, {}},
      {"SA_ADJUST", k1B, with(k1B, 7, 0x20), -1, {}},
      {"IDLE_SPEED",
       d({0x7F, 0x77, 0x01, 0x00, 0x00, 0x19, 0x45, 0x00, 0x36, 0x00}),
       {},
       9,
       {{800, 64}, {810, 64}, {3199, 0xFF}, {-25, kRefused}, {3200, kRefused}},
       0,
       0xFE551054},
  };
}

std::vector<Member> efi() {
  auto out = [](u8 a, u8 b, u8 c) { return d({a, b, c, 0, 0, 0, 0, 0, 0, 0xA8}); };
  return {
      {"CHECK_ENGINE", out(0x01, 0x01, 0), out(0x01, 0x00, 0), -1, {}},
      {"COOLING", out(0x02, 0x02, 0), out(0x02, 0x00, 0), -1, {}},
      {"O2", out(0x08, 0x08, 0), out(0x08, 0x00, 0), -1, {}},
      {"AC", out(0x10, 0x10, 0), out(0x10, 0x00, 0), -1, {}},
      {"FUELFEED1", out(0, 0, 0x01), out(0, 0, 0x01), -1, {}, kDrive},
      {"FUELFEED2", out(0, 0, 0x02), out(0, 0, 0x02), -1, {}, kDrive},
      {"FUELPUMP", out(0, 0, 0x04), out(0, 0, 0x04), -1, {}, kDrive},
      {"IGNITTION", out(0, 0, 0x08), out(0, 0, 0x08), -1, {}, kDrive},
      {"STEP_MOTOR", out(0, 0, 0x20), out(0, 0, 0x20), -1, {}},
      {"RESERVED_FUELFEED", out(0, 0, 0x80), out(0, 0, 0x80), -1, {}, kDrive},
      {"ADSORBER", d({0, 0, 0, 0, 0x01, 0x00, 0, 0, 0, 0xA8}), {}, 8, kSame},
      {"ADJUSTER", d({0, 0, 0, 0, 0, 0, 0x01, 0x00, 0, 0xA8}), {}, 10, kSame},
      {"IDLE",
       d({0, 0, 0, 0, 0, 0, 0x02, 0x00, 0, 0xA8}),
       {},
       10,
       {{800, 0x20}, {6399, 0xFF}, {-25, kRefused}, {6400, kRefused}},
       0,
       0xFE551055},
      {"BLEND",
       d({0, 0, 0, 0, 0, 0, 0x04, 0, 0x00, 0xA8}),
       {},
       11,
       {{25, 0xFA}, {30, 0x2C}, {256, kRefused}, {-1, kRefused}}},
      {"ANGLE",
       d({0, 0, 0, 0, 0, 0, 0x08, 0, 0, 0x00}),
       {},
       12,
       {{10, 0x9F}, {66, 0x00}, {70, 0xF5}, {112, kRefused}, {-24, kRefused}},
       0,
       0xFE551056},
      {"ROCTANCORRECTOR", d({0, 0, 0, 0, 0, 0, 0x20, 0, 0, 0x00}), {}, 12, kSame},
  };
}

struct GmList {
  const char *name;
  int (*list)(void);
  u32 menu;
  std::vector<Member> members;
};

const std::vector<GmList> &gm_lists() {
  static const std::vector<GmList> lists = {{"ISFI", ACT_GM_ISFI, 0x58030600, isfi()},
                                            {"EFI", ACT_GM_EFI, 0x58030700, efi()}};
  return lists;
}

// One member of one list: the unit of the parameterised tests.
struct MemberRef {
  const GmList *list;
  size_t index;
  const Member &member() const { return list->members[index]; }
};

// gtest shows a failing parameter by this name instead of its bytes.
void PrintTo(const MemberRef &r, std::ostream *os) { *os << r.list->name << ' ' << r.member().name; }
void PrintTo(const GmList *l, std::ostream *os) { *os << l->name; }

std::vector<MemberRef> all_members() {
  std::vector<MemberRef> refs;
  for (const GmList &l : gm_lists()) {
    for (size_t i = 0; i < l.members.size(); ++i) refs.push_back({&l, i});
  }
  return refs;
}

class GmCatalogue : public ActuatorTest {};
class GmCatalogueList : public ActuatorTest, public ::testing::WithParamInterface<const GmList *> {};
class GmCatalogueMember : public ActuatorTest, public ::testing::WithParamInterface<MemberRef> {};

TEST_P(GmCatalogueList, ShowsEveryMember) {
  const GmList &l = *GetParam();
  EXPECT_EQ(l.list(), 1);
  ASSERT_EQ(h.menus.size(), 1u);
  ASSERT_EQ(h.menus[0].items.size(), l.members.size());
  EXPECT_EQ(h.menus[0].items.front(), l.menu + 1);
}

TEST_P(GmCatalogueMember, SendsItsFramesOrRefuses) {
  const GmList &l = *GetParam().list;
  const Member &m = GetParam().member();
  const int index = static_cast<int>(GetParam().index);
  if (m.valueAt < 0) {
    h.menuChoices = {index, 0, 1, -1, -1};
    ASSERT_EQ(l.list(), 1);
    EXPECT_EQ(frames, (std::vector<Bytes>{gm(m.first), gm(m.second)}));
    if (m.warning) {
      ASSERT_EQ(h.boxes.size(), 5u);
      EXPECT_EQ(h.boxes[0], (Box{m.warning, 0xFE551010, 3})) << "the warning comes first";
    } else {
      EXPECT_TRUE(h.boxes.size() == 4 && h.boxes[0].style == 5) << "no caution, notices per item";
    }
    const std::string name = m.name;
    const bool drives = name.find("FUEL") != std::string::npos || name.find("INJECTOR") != std::string::npos ||
                        name.find("IGNIT") != std::string::npos;
    EXPECT_EQ(m.warning != 0, drives) << "fuel and ignition outputs, and only they, warn first";
    // Declining the warning drives nothing.
    SetUp();
    h.menuChoices = {index, -1};
    h.confirmAnswers = {3};
    ASSERT_EQ(l.list(), 1);
    if (m.warning) { EXPECT_TRUE(frames.empty()); }
    return;
  }
  for (auto [n, vv] : m.values) {
    SetUp();
    h.menuChoices = {index, -1};
    h.inputs = {n};
    ASSERT_EQ(l.list(), 1);
    if (!vv) {
      EXPECT_TRUE(frames.empty()) << "n=" << n;
      EXPECT_EQ(h.boxes, (std::vector<Box>{{m.range, 0xFE551010, 1}})) << "n=" << n;
      continue;
    }
    Bytes f = m.first;
    f[static_cast<size_t>(m.valueAt)] = *vv;
    EXPECT_EQ(frames, (std::vector<Bytes>{gm(f)})) << "n=" << n;
  }
}

INSTANTIATE_TEST_SUITE_P(Gm, GmCatalogueList, ::testing::Values(&gm_lists()[0], &gm_lists()[1]),
                         [](const auto &p) { return std::string(p.param->name); });
INSTANTIATE_TEST_SUITE_P(Gm, GmCatalogueMember, ::testing::ValuesIn(all_members()),
                         [](const auto &p) { return std::string(p.param.list->name) + "_" + p.param.member().name; });

TEST_F(GmCatalogue, TableSizes) {
  EXPECT_EQ(vaz::act::gm_isfi_tests().size(), 19u);
  EXPECT_EQ(vaz::act::gm_efi_tests().size(), 16u);
}

TEST_F(GmCatalogue, DocumentedWireBytes) {
  h.menuChoices = {0, 0, -1, -1};
  ACT_GM_ISFI();
  h.menuChoices = {0, 0, -1, -1};
  ACT_GM_EFI();
  h.menuChoices = {1, 1, -1, -1};
  ACT_GM_ISFI();
  h.menuChoices = {18, -1};
  h.inputs = {800};
  ACT_GM_ISFI();
  h.menuChoices = {12, -1};
  h.inputs = {800};
  ACT_GM_EFI();
  ASSERT_EQ(frames.size(), 5u);
  EXPECT_EQ(hex(frames[0]), "F4 60 04 01 01 00 00 00 00 00 00 00 00 A6");
  EXPECT_EQ(hex(frames[1]), "F4 60 04 01 01 00 00 00 00 00 00 00 A8 FE");
  EXPECT_EQ(hex(frames[2]), "F4 60 04 03 01 00 00 00 00 00 00 00 00 A4");
  EXPECT_EQ(hex(frames[3]), "F4 60 04 7F 77 01 00 00 19 40 00 36 00 22");
  EXPECT_EQ(hex(frames[4]), "F4 60 04 00 00 00 00 00 00 02 20 00 A8 DE");
}

TEST_F(GmCatalogue, FailedRequestFailsTheList) {
  h.menuChoices = {4, 0};
  h.gmResults = {-1};
  EXPECT_EQ(ACT_GM_EFI(), -1);
  EXPECT_EQ(frames.size(), 1u);
}

}  // namespace
