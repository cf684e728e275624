// The assembled text library (build/data) with the M7-generation parts: it loads without a
// fault, every name list has as many items as its formula routine handles, the command lists
// hold well-formed requests to the right address, and the trouble-code bases are covered.
#include "std_control.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstdlib>
#include <string>

extern "C" {
int GetTextFromTextLib(unsigned textId, char *out, int size);
char *GetFileNameText(int kind);
void *SearchIdOpenFile(const char *path);
int IdSearch(const unsigned char *key, unsigned char *out, int maxLength, void *handle);
int SearchIdCloseFile(void *handle);
}

namespace {

class M7Data : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_EQ(StdSetDataDir(VAZ_DATA_DIR), 0) << StdLastError(); }

  // The record of `id` as the plug-in reads it; false when the file has none.
  static bool record(const char *file, std::uint32_t id, std::string &out, int length = 255) {
    void *h = SearchIdOpenFile(file);
    if (!h) return false;
    const unsigned char key[4] = {static_cast<unsigned char>(id >> 24), static_cast<unsigned char>(id >> 16),
                                  static_cast<unsigned char>(id >> 8), static_cast<unsigned char>(id)};
    unsigned char buf[256] = {};
    const bool found = IdSearch(key, buf, length, h) != 0;
    SearchIdCloseFile(h);
    out.assign(reinterpret_cast<char *>(buf), static_cast<std::size_t>(length));
    return found;
  }
  static std::string text(std::uint32_t id) {
    char buf[64] = {};
    GetTextFromTextLib(id, buf, sizeof buf);
    return buf;
  }
};

TEST_F(M7Data, NameListsCountTheItemsOfTheirFormulas) {
  const std::pair<std::uint32_t, int> lists[] = {{0x58200800, 34}, {0x58200900, 6},  {0x58200B00, 7},  {0x58200C00, 7},
                                                 {0x58200D00, 95}, {0x58200E00, 11}, {0x58200F00, 56}, {0x58201000, 65},
                                                 {0x58200F50, 10}, {0x58200F64, 7},  {0x58201128, 39}, {0x58201150, 7}};
  const char *file = GetFileNameText(3);
  for (auto [list, count] : lists) {
    std::string head, item;
    ASSERT_TRUE(record(file, list, head, 40)) << std::hex << list;
    EXPECT_EQ(std::atoi(head.c_str()), count) << std::hex << list;
    for (int n = 0; n < count; ++n) EXPECT_TRUE(record(file, list + 1 + n, item)) << std::hex << list + 1 + n;
    // The M7.2 data list ends right below the head of its converter list.
    if (list + 1 + count != 0x58201150) { EXPECT_FALSE(record(file, list + 1 + count, item)) << std::hex << list; }
  }
  std::string name;
  ASSERT_TRUE(record(file, 0x58200805, name));
  EXPECT_EQ(name.c_str(), std::string("Coolant temperature, \xC2\xB0"
                                      "C"));
  ASSERT_TRUE(record(file, 0x58200F51, name));
  EXPECT_EQ(name.c_str(), std::string("Mass air flow (sensor), kg/h"));
}

struct CommandList {
  std::uint32_t id;
  int count;
  std::uint8_t address;
};

TEST_F(M7Data, CommandListsHoldRequestsToTheRightAddress) {
  const CommandList lists[] = {
      {0x58300100, 6, 0x11}, {0x58300400, 7, 0x11}, {0x58300500, 7, 0x11}, {0x58300600, 11, 0x10}};
  for (const auto &l : lists) {
    std::string count;
    ASSERT_TRUE(record("COMMAND.GAG", l.id, count, 1)) << std::hex << l.id;
    EXPECT_EQ(static_cast<std::uint8_t>(count[0]), l.count) << std::hex << l.id;
    for (int n = 0; n < l.count; ++n) {
      std::string len, frame;
      ASSERT_TRUE(record("COMMAND.GAG", l.id + 1 + n, len, 1));
      const int L = static_cast<std::uint8_t>(len[0]);
      ASSERT_TRUE(record("COMMAND.GAG", l.id + 1 + n, frame, L + 1));
      const auto fmt = static_cast<std::uint8_t>(frame[1]);
      EXPECT_EQ(L, (fmt & 0x3F) + 4) << "length byte agrees with the format byte";
      EXPECT_EQ(static_cast<std::uint8_t>(frame[2]), l.address);
      EXPECT_EQ(static_cast<std::uint8_t>(frame[3]), 0xF1);
    }
  }
  std::string frame;
  ASSERT_TRUE(record("COMMAND.GAG", 0x58300405, frame, 7));
  EXPECT_EQ(frame, std::string("\x06\x82\x11\xF1\x1A\x9A\x00", 7)) << "M7.0 item 5 reads the key option";
  ASSERT_TRUE(record("COMMAND.GAG", 0x58300101, frame, 10));
  EXPECT_EQ(frame, std::string("\x09\x85\x11\xF1\x23\x00\xF8\x40\x01\x00", 10));
}

TEST_F(M7Data, TroubleCodeBasesAndCurrentBitsAreCovered) {
  const char *file = GetFileNameText(6);
  std::string t;
  for (std::uint32_t base : {0x58700000u, 0x58800000u, 0x58900000u, 0x58B00000u}) {
    ASSERT_TRUE(record(file, base + 0x0300, t)) << std::hex << base;
    EXPECT_EQ(std::string(t.c_str()), "P0300 Random/multiple cylinder misfire detected") << std::hex << base;
    EXPECT_TRUE(record(file, base + 0x0420, t)) << std::hex << base;
    EXPECT_TRUE(record(file, base + 0x1602, t)) << std::hex << base;
  }
  for (std::uint32_t k = 9; k <= 12; ++k)
    for (std::uint32_t mask = 1; mask <= 0x80; mask <<= 1)
      EXPECT_TRUE(record(file, 0x58C00000 + k * 256 + mask, t)) << std::hex << k << " " << mask;
  ASSERT_TRUE(record(file, 0x58C00C01, t));
  EXPECT_EQ(std::string(t.c_str()), "Camshaft position sensor fault");
}

TEST_F(M7Data, StateTextsOfTheM797Lists) {
  EXPECT_EQ(text(0xFE552099), "CLOSED LOOP");
  EXPECT_EQ(text(0xFE55209A), "OPEN LOOP");
  EXPECT_EQ(text(0xFE55209B), "WARM");
  EXPECT_EQ(text(0xFE55209C), "COLD");
  EXPECT_EQ(text(0xFE55209D), "NOT LEARNED");
  EXPECT_EQ(text(0xFE55209E), "LEARNED");
  EXPECT_EQ(text(0xFE552056), "LOCKED");
  EXPECT_EQ(text(0xFE552058), "RELEASED");
  EXPECT_EQ(text(0xFE55200B), "VALID");
  EXPECT_EQ(text(0xFE55200C), "INVALID");
}

}  // namespace
