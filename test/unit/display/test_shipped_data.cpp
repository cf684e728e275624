// The shipped text library (assembled from data/ into the build): loads without a fault and holds every
// record the plug-in needs for the M1.5.4 family, with lists that add up.
#include "std_api.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>

namespace {

class ShippedData : public ::testing::Test {
 protected:
  // Loading checks every menu, name and command list's count against its entries.
  void SetUp() override { ASSERT_EQ(StdSetDataDir(VAZ_DATA_SOURCE_DIR), 0) << StdLastError(); }
  static std::string text(u32 id) {
    char buf[256] = {};
    GetTextFromTextLib(id, buf, sizeof buf);
    return buf;
  }
  // Record of `id` in a file, as the plug-in reads it.
  static bool record(const char *file, u32 id, std::string &out) {
    void *h = SearchIdOpenFile(file);
    if (!h) return false;
    u8 key[4];
    keyOf(id, key);
    char buf[256] = {};
    bool found = IdSearch(key, reinterpret_cast<u8 *>(buf), 255, h) != 0;
    SearchIdCloseFile(h);
    out = buf;
    return found;
  }
};

TEST_F(ShippedData, EveryMessageTitleAndStateTextIsThere) {
  const u32 ids[] = {0xFE551003, 0xFE551004, 0xFE551005, 0xFE551006, 0xFE551009, 0xFE55100B, 0xFE55100E, 0xFE55100F,
                     0xFE551010, 0xFE551011, 0xFE551014, 0xFE551016, 0xFE551017, 0xFE551018, 0xFE551019, 0xFE55101A,
                     0xFE55101C, 0xFE55101E, 0xFE55101F, 0xFE551020, 0xFE551021, 0xFE551022, 0xFE551023, 0xFE551024,
                     0xFE551025, 0xFE551026, 0xFE55102C, 0xFE55102D, 0xFE55102E, 0xFE55102F, 0xFE551030, 0xFE551031,
                     0xFE551032, 0xFE551033, 0xFE551034, 0xFE551035, 0xFE5520A1, 0xFE5520A2, 0xFE552001, 0xFE552002,
                     0xFE552003, 0xFE552004, 0xFE552011, 0xFE552094, 0xFE552095, 0xFE552096, 0xFE552097, 0xFE552098,
                     0x58030112, 0x58030113, 0x58030114};
  for (u32 id : ids) EXPECT_FALSE(text(id).empty()) << std::hex << id;
  EXPECT_EQ(text(0xFE551004), "Communication with the control unit failed");
  EXPECT_EQ(text(0xFE552001), "ON");
  EXPECT_EQ(text(0xFE552095), "RICH");
}

TEST_F(ShippedData, MenusCountTheirEntries) {
  const std::pair<u32, int> menus[] = {{0x58021000, 6}, {0x58022000, 5},  {0x58025000, 8},
                                       {0x58026000, 8}, {0x58023000, 7},  {0x58028000, 8},
                                       {0x58027000, 2}, {0x58030200, 11}, {0x58030300, 2}};
  for (auto [menu, count] : menus) {
    char buf[16] = {};
    GetTextFromTextLib(menu, buf, 16);  // as the plug-in reads a menu head
    EXPECT_EQ(std::atoi(buf), count) << std::hex << menu;
    for (int n = 0; n < count; ++n) EXPECT_FALSE(text(menu + 1 + n).empty()) << std::hex << menu + 1 + n;
    EXPECT_TRUE(text(menu + 1 + count).empty()) << std::hex << menu;
  }
  EXPECT_EQ(text(0x58025001), "Identification");
  EXPECT_EQ(text(0x58025005), "Live data");
}

TEST_F(ShippedData, NameListsCountTheirItems) {
  const std::pair<u32, int> lists[] = {
      {0x58200400, 34}, {0x58200500, 37}, {0x58200600, 5}, {0x58200700, 6}, {0x58200A00, 11}};
  const char *file = GetFileNameText(3);
  for (auto [list, count] : lists) {
    std::string head, item;
    ASSERT_TRUE(record(file, list, head)) << std::hex << list;
    EXPECT_EQ(std::atoi(head.c_str()), count) << std::hex << list;
    for (int n = 0; n < count; ++n) EXPECT_TRUE(record(file, list + 1 + n, item)) << std::hex << list + 1 + n;
    EXPECT_FALSE(record(file, list + 1 + count, item)) << std::hex << list;
  }
  std::string name;
  ASSERT_TRUE(record(file, 0x58200401, name));
  EXPECT_EQ(name,
            "Coolant temperature, \xC2\xB0"
            "C");
}

TEST_F(ShippedData, IdentificationCommandsAreKwpFrames) {
  void *h = SearchIdOpenFile("COMMAND.GAG");
  ASSERT_NE(h, nullptr);
  u8 key[4];
  u8 count = 0;
  keyOf(0x58300300, key);
  ASSERT_NE(IdSearch(key, &count, 1, h), 0);
  EXPECT_EQ(count, 11);
  for (u32 n = 0; n < count; ++n) {
    u8 frame[16] = {};
    keyOf(0x58300301 + n, key);
    ASSERT_NE(IdSearch(key, frame, 1, h), 0);
    ASSERT_NE(IdSearch(key, frame, frame[0] + 1, h), 0);
    const u8 expected[] = {0x06, 0x82, 0x10, 0xF1, 0x1A, static_cast<u8>(0x90 + n), 0x00};
    EXPECT_EQ(std::memcmp(frame, expected, sizeof expected), 0) << n;
  }
  SearchIdCloseFile(h);
}

TEST_F(ShippedData, TroubleCodeTextsCoverStoredCodesAndCurrentFaultBits) {
  const char *file = GetFileNameText(6);
  std::string t;
  ASSERT_TRUE(record(file, 0x58200102, t));
  EXPECT_EQ(t, "P0102 Mass air flow sensor circuit low input");
  for (u32 k = 9; k <= 11; ++k)
    for (u32 mask = 1; mask <= 0x80; mask <<= 1)
      EXPECT_TRUE(record(file, 0x58600000 + k * 256 + mask, t)) << std::hex << k << " " << mask;
  EXPECT_TRUE(record(file, 0x58600901, t));
  EXPECT_EQ(t, "Coolant temperature sensor fault");
}

}  // namespace
