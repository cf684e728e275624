// Live-data recording through the display host's control interface: one CSV
// row per pass, the header from the item names with their units, quoting,
// a new file when the items change (the old one again when they come back),
// and a file that cannot be written.
#include "std_api.h"

#include <gtest/gtest.h>

#include <sstream>
#include <vector>

namespace {

std::vector<std::string> linesOf(const std::string &path) {
  std::ifstream in(path);
  std::vector<std::string> out;
  for (std::string l; std::getline(in, l);) out.push_back(l);
  return out;
}

// Drops the time stamp (the first cell) of a row.
std::string afterStamp(const std::string &row) { return row.substr(row.find(',') + 1); }

class StreamLogTest : public ::testing::Test {
 protected:
  void SetUp() override {
    dir.write("TEXTLIB.TXT", "0xFE551020 Select function\n");
    dir.write("DSNAMES.TXT",
              "0x58200400 1\n0x58200401 Coolant temperature, \xC2\xB0"
              "C\n"
              "0x58200403 1\n0x58200404 Engine speed, rpm\n"
              "0x58200412 1\n0x58200413 Lambda control active\n");
    dir.write("DTCTEXT.TXT", "0x58200102 P0102 x\n");
    dir.write("COMMAND.GAG", "0x58300300 [00]\n");
    ASSERT_EQ(StdSetDataDir(dir.str().c_str()), 0) << StdLastError();
    log = dir.str() + "/live.csv";
  }
  void TearDown() override {
    StdSetLogFile(nullptr);
    StdUseScript("");
  }
  int pass(const char *temp, const char *rpm, const char *lambda) {
    InitDataStream();
    AddDataStreamItem(0x58200401, temp);
    AddDataStreamItem(0x58200404, rpm);
    if (lambda) AddDataStreamItem(0x58200413, lambda);
    return ShowDataStream();
  }
  ScratchDir dir{"streamlog"};
  std::string log;
};

TEST_F(StreamLogTest, OneRowPerPassWithNamedColumns) {
  ASSERT_EQ(StdUseScript("stay 3\nstay 1\nstay 1\n"), 0);
  ASSERT_EQ(StdSetLogFile(log.c_str()), 0) << StdLastError();
  EXPECT_EQ(pass("90", "840", "yes, closed"), 0);
  EXPECT_EQ(pass("91", "850", "no"), 0);
  EXPECT_EQ(pass("91", " 860", "say \"hi\""), 1);  // the last pass of the stay answers Back
  auto rows = linesOf(log);
  ASSERT_EQ(rows.size(), 4u);
  EXPECT_EQ(rows[0],
            "time,Coolant temperature (\xC2\xB0"
            "C),Engine speed (rpm),Lambda control active");
  EXPECT_EQ(afterStamp(rows[1]), "90,840,\"yes, closed\"");
  EXPECT_EQ(afterStamp(rows[2]), "91,850,no");
  EXPECT_EQ(afterStamp(rows[3]), "91,\" 860\",\"say \"\"hi\"\"\"");
  // Time stamps: local date and time to the millisecond.
  EXPECT_EQ(rows[1].find(','), 23u) << rows[1];
  EXPECT_EQ(rows[1][10], 'T');

  // Other items: the recording goes on in a second file with its own header.
  EXPECT_EQ(pass("92", "870", nullptr), 1);
  auto second = linesOf(dir.str() + "/live-2.csv");
  ASSERT_EQ(second.size(), 2u);
  EXPECT_EQ(second[0],
            "time,Coolant temperature (\xC2\xB0"
            "C),Engine speed (rpm)");
  EXPECT_EQ(afterStamp(second[1]), "92,870");
  EXPECT_EQ(linesOf(log).size(), 4u);  // the first file is left as it was

  // The first items again: they go on in the first file, under its header.
  EXPECT_EQ(pass("93", "880", "no"), 1);
  rows = linesOf(log);
  ASSERT_EQ(rows.size(), 5u);
  EXPECT_EQ(afterStamp(rows[4]), "93,880,no");
  EXPECT_FALSE(std::ifstream(dir.str() + "/live-3.csv").good());
}

TEST_F(StreamLogTest, StoppedRecordingWritesNothingMore) {
  ASSERT_EQ(StdUseScript("stay 2\n"), 0);
  ASSERT_EQ(StdSetLogFile(log.c_str()), 0);
  pass("90", "840", "no");
  ASSERT_EQ(StdSetLogFile(""), 0);
  pass("90", "840", "no");
  EXPECT_EQ(linesOf(log).size(), 2u);
}

TEST_F(StreamLogTest, UnwritablePathIsRefused) {
  EXPECT_EQ(StdSetLogFile((dir.str() + "/no/such/dir/live.csv").c_str()), -1);
  EXPECT_NE(std::string(StdLastError()).find("cannot write"), std::string::npos) << StdLastError();
}

TEST_F(StreamLogTest, FullScreenFallsBackWithoutTerminal) {
  // Tests run with standard output redirected or captured: the line front end takes over.
  if (isatty(STDIN_FILENO) && isatty(STDOUT_FILENO)) GTEST_SKIP() << "running on a terminal";
  EXPECT_EQ(StdUseFullScreen(), 1);
  EXPECT_NE(std::string(StdLastError()).find("not a terminal"), std::string::npos);
}

}  // namespace
