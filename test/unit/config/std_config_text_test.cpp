// The configuration reader's text helpers and the byte utilities exported
// with it.
#include <gtest/gtest.h>

#include <array>
#include <cstring>
#include <string>
#include <vector>

#include "vaz_old.h"

namespace {

// The key search modifies its text, so each case gets its own exact-size copy.
int value_of(const std::string &text, const char *key) {
  std::vector<char> buffer(text.begin(), text.end());
  buffer.push_back('\0');
  return GetIniCfgIntValueFromKey(buffer.data(), key);
}

TEST(IniKeySearch, KeyAtLineStartWithCommentAfterValue) {
  EXPECT_EQ(value_of("; header\nStdVer=1 ;comment\n", "StdVer="), 1);
  EXPECT_EQ(value_of("; header\nA=0\nStdVer=12\r\nB=3", "StdVer="), 12);
  EXPECT_EQ(value_of("; header\nStdVer=   7", "StdVer="), 7);
  EXPECT_EQ(value_of("; header\nStdVer=-3;x", "StdVer="), -3);
}

TEST(IniKeySearch, FoundValueIsCutAtItsCommentInPlace) {
  char text[] = "; h\nStdVer=1 ;x\nNext=2\n";
  EXPECT_EQ(GetIniCfgIntValueFromKey(text, "StdVer="), 1);
  EXPECT_STREQ(text, "; h\nStdVer=1 ");
}

TEST(IniKeySearch, KeyAtVeryStartOfTextEndsSearchWithZero) {
  EXPECT_EQ(value_of("StdVer=1\n", "StdVer="), 0);
  EXPECT_EQ(value_of("StdVer=1\nStdVer=2\n", "StdVer="), 0);
}

TEST(IniKeySearch, OnlyOccurrencesAtLineStartCount) {
  EXPECT_EQ(value_of("; h\nMyStdVer=1\n", "StdVer="), 0);
  EXPECT_EQ(value_of("; h\nMyStdVer=1\nStdVer=3\n", "StdVer="), 3);
  EXPECT_EQ(value_of("; h\n;StdVer=1\n", "StdVer="), 0);      // commented out
  EXPECT_EQ(value_of("; h\nA=0 ;StdVer=4\n", "StdVer="), 0);  // inside a comment
  EXPECT_EQ(value_of("; h\n StdVer=4\n", "StdVer="), 0);      // indented
}

TEST(IniKeySearch, MissingOrUnreadableValueGivesZero) {
  EXPECT_EQ(value_of("; h\nOther=1\n", "StdVer="), 0);
  EXPECT_EQ(value_of("; h\nStdVer=x1\n", "StdVer="), 0);
  EXPECT_EQ(value_of("; h\nStdVer=", "StdVer="), 0);      // value at the very end of the text
  EXPECT_EQ(value_of("; h\nStdVer;1=5\n", "StdVer"), 0);  // no '=' before the cut
  EXPECT_EQ(value_of("; h\n", ""), 0);
  EXPECT_EQ(GetIniCfgIntValueFromKey(nullptr, "StdVer="), 0);
  char text[] = "; h\nStdVer=1\n";
  EXPECT_EQ(GetIniCfgIntValueFromKey(text, nullptr), 0);
}

TEST(IniKeySearch, HugeValueSaturates) { EXPECT_EQ(value_of("; h\nK=99999999999999999999\n", "K="), 2147483647); }

TEST(StringReplace, ShorteningReplacementRepeatsFromStart) {
  char text[] = "/a//b///c////";
  StringReplace(text, "//", "/");
  EXPECT_STREQ(text, "/a/b/c/");
}

TEST(StringReplace, LongerReplacementChangesNothing) {
  char text[] = "a/b";
  StringReplace(text, "/", "//");
  EXPECT_STREQ(text, "a/b");
}

TEST(StringReplace, EqualLengthReplacementEnds) {
  char same[] = "aaaa";
  StringReplace(same, "a", "a");  // would find its own output for ever
  EXPECT_STREQ(same, "aaaa");
  char swap[] = "xyz";
  StringReplace(swap, "y", "Y");
  EXPECT_STREQ(swap, "xYz");
}

TEST(ProductDirPath, KnownSerialPrefixes) {
  const std::array<std::pair<const char *, const char *>, 6> table{{{"98269", "Tolvane"},
                                                                    {"98279", "Mirsk"},
                                                                    {"98384", "Quelbox"},
                                                                    {"98394", "Pandrel"},
                                                                    {"98374", "Sorvik"},
                                                                    {"98364", "Yestra"}}};
  for (const auto &[prefix, dir] : table) {
    char base[] = "/x/veltrano";
    char out[128] = {};
    EXPECT_EQ(GetProductTypeDirPath(base, (std::string(prefix) + "0000001").c_str(), out), 1);
    EXPECT_EQ(std::string(out), std::string("/x/veltrano/assets/") + dir + "/StdCfg.ini");
  }
}

TEST(ProductDirPath, OutputMayBeTheBase) {
  char text[128] = "/x/veltrano";
  EXPECT_EQ(GetProductTypeDirPath(text, "983740000001/bin/", text), 1);
  EXPECT_STREQ(text, "/x/veltrano/assets/Sorvik/StdCfg.ini");
}

TEST(ProductDirPath, ShortOrUnknownSerialIsRefused) {
  char base[] = "/x/veltrano";
  char out[64] = "untouched";
  EXPECT_EQ(GetProductTypeDirPath(base, "98374000000", out), -1);  // 11 characters
  EXPECT_EQ(GetProductTypeDirPath(base, "989990000001", out), -1);
  EXPECT_STREQ(out, "untouched");
}

TEST(HexText, PairsBecomeBytes) {
  std::array<u8, 4> out{0xEE, 0xEE, 0xEE, 0xEE};
  EXPECT_EQ(MakeStringToHexBuffer(out.data(), "1F0A"), 2);
  EXPECT_EQ(out, (std::array<u8, 4>{0x1F, 0x0A, 0xEE, 0xEE}));
}

TEST(HexText, OddLastCharacterIsIgnored) {
  std::array<u8, 3> out{0xEE, 0xEE, 0xEE};
  EXPECT_EQ(MakeStringToHexBuffer(out.data(), "A0B"), 1);
  EXPECT_EQ(out, (std::array<u8, 3>{0xA0, 0xEE, 0xEE}));
  EXPECT_EQ(MakeStringToHexBuffer(out.data(), ""), 0);
  EXPECT_EQ(MakeStringToHexBuffer(out.data(), nullptr), 0);
}

TEST(HexText, LowerCaseDigitsAndOtherCharacters) {
  std::array<u8, 2> out{};
  EXPECT_EQ(MakeStringToHexBuffer(out.data(), "ffZ9"), 2);
  EXPECT_EQ(out, (std::array<u8, 2>{0xFF, 0x09}));
}

TEST(UpdateKey, InsertsAndMovesTheRestUp) {
  std::array<u8, 17> key{0x01, 0x02, 0x03};
  EXPECT_EQ(UpdateKey(key.data(), 3, 0xAA, 1), 4);
  EXPECT_EQ((std::vector<u8>(key.begin(), key.begin() + 5)), (std::vector<u8>{0x01, 0xAA, 0x02, 0x03, 0x00}));
  EXPECT_EQ(UpdateKey(key.data(), 4, 0xBB, 0), 5);
  EXPECT_EQ(UpdateKey(key.data(), 5, 0xCC, 5), 6);  // position = length appends
  EXPECT_EQ((std::vector<u8>(key.begin(), key.begin() + 6)), (std::vector<u8>{0xBB, 0x01, 0xAA, 0x02, 0x03, 0xCC}));
}

TEST(UpdateKey, FillsUpToSixteenBytes) {
  std::array<u8, 17> key{};
  key[16] = 0x5A;  // guard byte behind the 16-byte buffer
  int length = 0;
  for (int i = 0; i < 16; ++i) length = UpdateKey(key.data(), length, static_cast<u8>(i + 1), length);
  EXPECT_EQ(length, 16);
  EXPECT_EQ(key[15], 16);
  EXPECT_EQ(UpdateKey(key.data(), 16, 0xFF, 3), 16);  // full: nothing inserted
  EXPECT_EQ(key[3], 4);
  EXPECT_EQ(key[16], 0x5A);
}

TEST(UpdateKey, PositionOutsideTheKeyIsRefused) {
  std::array<u8, 17> key{0x01, 0x02, 0x03};
  const auto before = key;
  EXPECT_EQ(UpdateKey(key.data(), 3, 0xAA, 4), 3);
  EXPECT_EQ(UpdateKey(key.data(), 3, 0xAA, -1), 3);
  EXPECT_EQ(key, before);
}

}  // namespace
