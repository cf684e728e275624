// The ECU reset menus of the miscellaneous tests: the question before each reset,
// the reset frames, the 5 s restart wait and reconnect where the item has one.
#include "actuator_test.h"

namespace {

class MiscTest : public ActuatorTest {};

TEST_F(MiscTest, M154ResetSendsWithoutReconnect) {
  h.menuChoices = {0, -1};
  EXPECT_EQ(BOSCH_M154_MISC_TEST(), 1);
  ASSERT_EQ(frames.size(), 1u);
  EXPECT_EQ(hex(frames[0]), "82 10 F1 11 00 94");
  EXPECT_TRUE(h.sleeps.empty());
  EXPECT_TRUE(h.commCodes.empty());
  EXPECT_EQ(h.boxes,
            (std::vector<Box>{{0xFE551038, 0xFE551010, 3}, {0xFE55101A, 0xFE551010, 5}, {0xFE55101E, 0xFE551010, 1}}));
  ASSERT_EQ(h.menus.size(), 2u);
  EXPECT_EQ(h.menus[0].title, 0xFE551020u);
  EXPECT_EQ(h.menus[0].items, (std::vector<u32>{0x58027001, 0x58027002}));
  EXPECT_EQ(h.menus[1].preselect, 0);
}

// Each reset asks first (a confirmation, No highlighted); declined, nothing is sent. An
// entry the unit has no request for says so and sends nothing.
TEST_F(MiscTest, EveryResetAsksFirstAndAnEntryWithoutRequestSaysSo) {
  const struct {
    const char *what;
    int (*routine)(void);
    int item;
    u32 question;  // 0: not available on this unit
    const char *frame;
  } rows[] = {
      {"M1.5.4 reset", BOSCH_M154_MISC_TEST, 0, 0xFE551038, "82 10 F1 11 00 94"},
      {"M1.5.4 adaptation", BOSCH_M154_MISC_TEST, 1, 0, nullptr},
      {"M7.9.7 reset", BOSCH_M797_MISC_TEST, 0, 0xFE551038, "82 10 F1 11 01 95"},
      {"M7.9.7 adaptation", BOSCH_M797_MISC_TEST, 1, 0xFE551039, "82 10 F1 11 90 24"},
      {"M7.2 reset", BOSCH_M72_MISC_TEST, 0, 0xFE551038, "82 10 F1 11 01 95"},
      {"M7.2 adaptation", BOSCH_M72_MISC_TEST, 1, 0, nullptr},
  };
  for (const auto &row : rows) {
    SetUp();
    h.menuChoices = {row.item, -1};
    h.confirmAnswers = {3};
    EXPECT_EQ(row.routine(), 1) << row.what;
    EXPECT_TRUE(frames.empty()) << row.what;
    EXPECT_TRUE(h.sleeps.empty()) << row.what;
    const Box first = row.question ? Box{row.question, 0xFE551010, 3} : Box{0xFE55103A, 0xFE551010, 1};
    EXPECT_EQ(h.boxes, (std::vector<Box>{first})) << row.what;
    ASSERT_EQ(h.menus.size(), 2u) << row.what;
    EXPECT_EQ(h.menus[1].preselect, row.item) << row.what;
    if (!row.frame) continue;
    SetUp();
    h.menuChoices = {row.item, -1};
    EXPECT_EQ(row.routine(), 1) << row.what;
    ASSERT_EQ(frames.size(), 1u) << row.what;
    EXPECT_EQ(hex(frames[0]), row.frame) << row.what;
  }
}

TEST_F(MiscTest, M797BothItemsResetWaitAndReconnect) {
  h.menuChoices = {0, 1, -1};
  EXPECT_EQ(BOSCH_M797_MISC_TEST(), 1);
  ASSERT_EQ(frames.size(), 2u);
  EXPECT_EQ(hex(frames[0]), "82 10 F1 11 01 95");
  EXPECT_EQ(hex(frames[1]), "82 10 F1 11 90 24");
  EXPECT_EQ(h.sleeps, (std::vector<unsigned>{5, 5}));
  EXPECT_EQ(h.commCodes, (std::vector<u8>{FC_CONNECT, FC_CONNECT}));
  EXPECT_EQ(h.menus.front().items.front(), 0x5802B001u);
  // Order: notice, request, wait, reconnect, completion.
  const std::vector<std::string> one = {"Box FE55101A FE551010 5", "KWP 82 10 F1 11 90 24", "sleep 5", "Comm 54 0",
                                        "Box FE55101E FE551010 1"};
  auto it = std::search(h.calls.begin(), h.calls.end(), one.begin(), one.end());
  EXPECT_NE(it, h.calls.end());
}

TEST_F(MiscTest, M72ResetReconnects) {
  h.menuChoices = {0, -1};
  EXPECT_EQ(BOSCH_M72_MISC_TEST(), 1);
  EXPECT_EQ(hex(frames.at(0)), "82 10 F1 11 01 95");
  EXPECT_EQ(h.sleeps.size(), 1u);
  EXPECT_EQ(h.commCodes, (std::vector<u8>{FC_CONNECT}));
}

TEST_F(MiscTest, ReconnectResultIsIgnored) {
  h.menuChoices = {0, -1};
  h.commResults = {-1};
  EXPECT_EQ(BOSCH_M797_MISC_TEST(), 1);
  EXPECT_EQ(h.boxes.back(), (Box{0xFE55101E, 0xFE551010, 1}));
}

TEST_F(MiscTest, FailedResetReportsAndStopsWithoutReconnect) {
  h.menuChoices = {1};
  h.kwpResults = {-1};
  EXPECT_EQ(BOSCH_M797_MISC_TEST(), -1);
  EXPECT_EQ(h.boxes,
            (std::vector<Box>{{0xFE551039, 0xFE551010, 3}, {0xFE55101A, 0xFE551010, 5}, {0xFE55101C, 0xFE551010, 1}}));
  EXPECT_TRUE(h.sleeps.empty());
  EXPECT_TRUE(h.commCodes.empty());
}

TEST_F(MiscTest, MenuFailures) {
  h.initMenuResult = 1;
  EXPECT_EQ(BOSCH_M154_MISC_TEST(), -2);
  SetUp();
  h.addMenuResult = 1;
  EXPECT_EQ(BOSCH_M72_MISC_TEST(), -2) << "a refused menu is left, not redrawn";
  EXPECT_TRUE(frames.empty());
}

TEST_F(MiscTest, UnlistedChoiceRedraws) {
  h.menuChoices = {5, -1};
  EXPECT_EQ(BOSCH_M797_MISC_TEST(), 1);
  EXPECT_TRUE(frames.empty());
  EXPECT_EQ(h.menus.size(), 2u);
}

}  // namespace
