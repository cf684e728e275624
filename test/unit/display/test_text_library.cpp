// Text library: parsing of the source files, file handles, IdSearch and
// GetTextFromTextLib, as the plug-in sees them.
#include "std_api.h"

#include <gtest/gtest.h>

#include <cstring>

namespace {

const char *kTexts =
    "\xEF\xBB\xBF# messages\n"
    "\n"
    "0xFE551004 Communication with the control unit failed\r\n"
    "   # indented comment\n"
    "0xFE551006   Two lines\\nand a \\\\ backslash   \n"
    "0xFE551007 \\[not binary]\n"
    "0x58025000 1\n"
    "0x58025001 Identification\n";
const char *kNames =
    "0x58200400 2\n0x58200401 Coolant temperature, \xC2\xB0"
    "C\n0x58200402 Engine speed, rpm\n";
const char *kCodes =
    "0x58200102 P0102 Mass air flow sensor circuit low input\n0x58200401 P0401 EGR flow insufficient\n";
const char *kCommands = "0x58300300 [01]\n0x58300301 [06 82 10 F1 1A 90 00]\n";

class TextLibraryTest : public ::testing::Test {
 protected:
  void SetUp() override {
    dir.write("TEXTLIB.TXT", kTexts);
    dir.write("DSNAMES.TXT", kNames);
    dir.write("DTCTEXT.TXT", kCodes);
    dir.write("COMMAND.GAG", kCommands);
    ASSERT_EQ(StdSetDataDir(dir.str().c_str()), 0) << StdLastError();
  }
  std::string text(u32 id, int size = 256) {
    char buf[256];
    std::memset(buf, 'Z', sizeof buf);
    GetTextFromTextLib(id, buf, size);
    return buf;
  }
  ScratchDir dir{"texts"};
};

TEST_F(TextLibraryTest, ParsesTextsEscapesAndLineEnds) {
  EXPECT_STREQ(StdLastError(), "");
  EXPECT_EQ(text(0xFE551004), "Communication with the control unit failed");  // CR dropped, BOM skipped
  EXPECT_EQ(text(0xFE551006), "Two lines\nand a \\ backslash");
  EXPECT_EQ(text(0xFE551007), "[not binary]");
  EXPECT_EQ(text(0x58025000), "1");
  EXPECT_EQ(text(0x58200401),
            "Coolant temperature, \xC2\xB0"
            "C");  // name file, after the text library
}

TEST_F(TextLibraryTest, GetTextTruncatesAndAlwaysTerminates) {
  char buf[16];
  std::memset(buf, 'Z', sizeof buf);
  EXPECT_EQ(GetTextFromTextLib(0xFE551004, buf, 8), 7);
  EXPECT_STREQ(buf, "Communi");
  EXPECT_EQ(buf[8], 'Z');  // nothing written past size
  EXPECT_EQ(GetTextFromTextLib(0xFE551004, buf, 1), 0);
  EXPECT_STREQ(buf, "");
  buf[0] = 'Q';
  EXPECT_EQ(GetTextFromTextLib(0xFE551004, buf, 0), 0);
  EXPECT_EQ(buf[0], 'Q');
  EXPECT_EQ(GetTextFromTextLib(0xFE551004, nullptr, 8), 0);
  // Unknown ID: empty text.
  EXPECT_EQ(text(0x12345678), "");
  // A cut inside the two bytes of the degree sign drops the whole sign.
  EXPECT_EQ(text(0x58200401, 23), "Coolant temperature, ");
  EXPECT_EQ(text(0x58200401, 24), "Coolant temperature, \xC2\xB0");
}

TEST_F(TextLibraryTest, FileNamesAreShortAndOpen) {
  EXPECT_STREQ(GetFileNameText(3), "DSNAMES.TXT");
  EXPECT_STREQ(GetFileNameText(6), "DTCTEXT.TXT");
  EXPECT_STREQ(GetFileNameText(1), "");
  for (int kind : {3, 6}) {
    EXPECT_LT(std::strlen(GetFileNameText(kind)), 20u);
    void *h = SearchIdOpenFile(GetFileNameText(kind));
    ASSERT_NE(h, nullptr);
    EXPECT_EQ(SearchIdCloseFile(h), 0);
  }
  void *h = SearchIdOpenFile("COMMAND.GAG");
  ASSERT_NE(h, nullptr);
  SearchIdCloseFile(h);
  h = SearchIdOpenFile((dir.str() + "/DTCTEXT.TXT").c_str());
  ASSERT_NE(h, nullptr);
  SearchIdCloseFile(h);
  EXPECT_EQ(SearchIdOpenFile("NOSUCH.TXT"), nullptr);
  EXPECT_EQ(SearchIdOpenFile(""), nullptr);
  EXPECT_EQ(SearchIdOpenFile(nullptr), nullptr);
}

TEST_F(TextLibraryTest, IdSearchCopiesAtMostMaxLengthWithoutTerminator) {
  void *h = SearchIdOpenFile("COMMAND.GAG");
  ASSERT_NE(h, nullptr);
  u8 key[4];
  u8 out[16];
  keyOf(0x58300301, key);

  std::memset(out, 0xEE, sizeof out);
  EXPECT_NE(IdSearch(key, out, 1, h), 0);  // the length byte only
  EXPECT_EQ(out[0], 0x06);
  EXPECT_EQ(out[1], 0xEE);

  std::memset(out, 0xEE, sizeof out);
  EXPECT_NE(IdSearch(key, out, 16, h), 0);  // longer than the record: record only, no terminator
  const u8 frame[] = {0x06, 0x82, 0x10, 0xF1, 0x1A, 0x90, 0x00, 0xEE};
  EXPECT_EQ(std::memcmp(out, frame, sizeof frame), 0);

  keyOf(0x58300300, key);
  out[0] = 0;
  EXPECT_NE(IdSearch(key, out, 1, h), 0);
  EXPECT_EQ(out[0], 0x01);

  keyOf(0x58300399, key);
  std::memset(out, 0xEE, sizeof out);
  EXPECT_EQ(IdSearch(key, out, 16, h), 0);
  EXPECT_EQ(out[0], 0xEE);
  EXPECT_EQ(IdSearch(nullptr, out, 16, h), 0);
  SearchIdCloseFile(h);
}

TEST_F(TextLibraryTest, IdSearchRefusesNullStaleAndForeignHandles) {
  u8 key[4];
  u8 out[4] = {};
  keyOf(0x58200102, key);
  EXPECT_EQ(IdSearch(key, out, 4, nullptr), 0);
  void *h = SearchIdOpenFile("DTCTEXT.TXT");
  ASSERT_NE(h, nullptr);
  EXPECT_NE(IdSearch(key, out, 4, h), 0);
  EXPECT_EQ(std::memcmp(out, "P010", 4), 0);
  EXPECT_EQ(SearchIdCloseFile(h), 0);
  EXPECT_EQ(IdSearch(key, out, 4, h), 0);  // closed
  EXPECT_EQ(SearchIdCloseFile(h), -1);
  int local = 0;
  EXPECT_EQ(IdSearch(key, out, 4, &local), 0);
}

TEST_F(TextLibraryTest, EachFileIsSearchedOnItsOwn) {
  u8 key[4];
  char out[40] = {};
  keyOf(0x58200401, key);
  void *names = SearchIdOpenFile(GetFileNameText(3));
  void *codes = SearchIdOpenFile(GetFileNameText(6));
  ASSERT_NE(IdSearch(key, reinterpret_cast<u8 *>(out), 39, names), 0);
  EXPECT_STREQ(out,
               "Coolant temperature, \xC2\xB0"
               "C");
  std::memset(out, 0, sizeof out);
  ASSERT_NE(IdSearch(key, reinterpret_cast<u8 *>(out), 39, codes), 0);
  EXPECT_STREQ(out, "P0401 EGR flow insufficient");
  SearchIdCloseFile(names);
  SearchIdCloseFile(codes);
}

TEST(TextLibraryFaults, BadLinesAreReportedWithFileAndLine) {
  ScratchDir dir("faults");
  dir.write("TEXTLIB.TXT",
            "0xFE551004 Good text\n"
            "0xFE55100 too short\n"
            "FE551005 no prefix\n"
            "0xFE551006\n"
            "# fine\n"
            "0xFE551004 Again\n");
  dir.write("DSNAMES.TXT", "0x58200400 0\n");
  dir.write("DTCTEXT.TXT", "0x58200102 P0102 x\n");
  dir.write("COMMAND.GAG",
            "0x58300300 [00]\n"
            "0x58300301 [06 8Z]\n"
            "0x58300302 [06 82\n"
            "0x58300303 [06] tail\n"
            "0x58300304 []\n"
            "0x58300305 [6 82]\n");
  EXPECT_EQ(StdSetDataDir(dir.str().c_str()), -1);
  const std::string d = dir.str() + "/";
  EXPECT_EQ(std::string(StdLastError()),
            d + "TEXTLIB.TXT:2: bad text ID '0xFE55100' (0x and eight hex digits expected)\n" + d +
                "TEXTLIB.TXT:3: bad text ID 'FE551005' (0x and eight hex digits expected)\n" + d +
                "TEXTLIB.TXT:4: text ID 0xFE551006 without a text\n" + d +
                "TEXTLIB.TXT:6: text ID 0xFE551004 already defined at line 1\n" + d +
                "COMMAND.GAG:2: bad byte '8Z' (two hex digits expected)\n" + d +
                "COMMAND.GAG:3: binary record without closing ']'\n" + d +
                "COMMAND.GAG:4: text after the closing ']'\n" + d + "COMMAND.GAG:5: empty binary record\n" + d +
                "COMMAND.GAG:6: bad byte '6' (two hex digits expected)");
  // The good records stay usable; the first definition wins.
  char buf[32];
  GetTextFromTextLib(0xFE551004, buf, sizeof buf);
  EXPECT_STREQ(buf, "Good text");
}

// A list whose count disagrees with its entries would make a session fail later without a
// word (the plug-in believes the count): each is a fault of the file, with its line.
TEST(TextLibraryFaults, ListsThatDoNotAddUpAreReported) {
  struct Case {
    const char *file;
    const char *content;
    const char *fault;
  };
  const Case cases[] = {
      {"TEXTLIB.TXT", "0x58025000 3\n0x58025001 A\n0x58025002 B\n",
       "TEXTLIB.TXT:1: list 0x58025000 counts 3 entries but holds 2; 0x58025003 is missing"},
      {"TEXTLIB.TXT", "0x58025001 A\n0x58025002 B\n",
       "TEXTLIB.TXT:1: entry 0x58025001 is counted by no list (its list has no head with the count)"},
      {"DSNAMES.TXT", "0x58200400 1\n0x58200401 A, rpm\n0x58200402 B, %\n",
       "DSNAMES.TXT:3: entry 0x58200402 is counted by no list (list 0x58200400 before it counts fewer entries)"},
      {"DSNAMES.TXT", "0x58200401 A, rpm\n", "DSNAMES.TXT:1: entry 0x58200401 is counted by no list"},
      {"COMMAND.GAG", "0x58300300 [02]\n0x58300301 [06 82 10 F1 1A 90 00]\n",
       "COMMAND.GAG:1: list 0x58300300 counts 2 entries but holds 1; 0x58300302 is missing"},
      {"COMMAND.GAG", "0x58300301 [06 82 10 F1 1A 90 00]\n", "COMMAND.GAG:1: entry 0x58300301 is counted by no list"},
      {"DTCTEXT.TXT", "# nothing yet\n", "DTCTEXT.TXT: no record at all (an empty text library file)"},
  };
  for (const Case &c : cases) {
    ScratchDir dir("lists");
    dir.write("TEXTLIB.TXT", kTexts);
    dir.write("DSNAMES.TXT", kNames);
    dir.write("DTCTEXT.TXT", kCodes);
    dir.write("COMMAND.GAG", kCommands);
    dir.write(c.file, c.content);
    EXPECT_EQ(StdSetDataDir(dir.str().c_str()), -1) << c.content;
    EXPECT_NE(std::string(StdLastError()).find(dir.str() + "/" + c.fault), std::string::npos)
        << "expected: " << c.fault << "\ngot: " << StdLastError();
  }
}

TEST(TextLibraryFaults, MissingFileAndDirectoryAreReported) {
  ScratchDir dir("missing");
  dir.write("TEXTLIB.TXT", "0xFE551004 x\n");
  dir.write("DSNAMES.TXT", "0x58200400 0\n");
  dir.write("COMMAND.GAG", "0x58300300 [00]\n");
  EXPECT_EQ(StdSetDataDir(dir.str().c_str()), -1);
  EXPECT_EQ(std::string(StdLastError()), "cannot read " + dir.str() + "/DTCTEXT.TXT");
  EXPECT_EQ(SearchIdOpenFile(GetFileNameText(6)), nullptr);
  EXPECT_NE(SearchIdOpenFile(GetFileNameText(3)), nullptr);
  EXPECT_EQ(StdSetDataDir(""), -1);
  EXPECT_EQ(StdSetDataDir(nullptr), -1);
}

TEST(HostPath, DiagGetFilePathIsTheLibraryDirectory) {
  char buf[512];
  ASSERT_EQ(DiagGetFilePath(buf, sizeof buf), 0);
  std::string dir(buf);
  ASSERT_FALSE(dir.empty());
  EXPECT_EQ(dir.back(), '/');
  EXPECT_TRUE(std::filesystem::exists(dir + "libSTD.so"));
  EXPECT_NE(DiagGetFilePath(buf, static_cast<int>(dir.size())), 0);  // no room for the terminator
  EXPECT_NE(DiagGetFilePath(nullptr, 512), 0);
}

}  // namespace
