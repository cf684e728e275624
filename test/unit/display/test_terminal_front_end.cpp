// Terminal front end fed through pipes: answers typed as lines, live data left
// with Enter, and Back everywhere once the input ends.
#include "std_api.h"

#include <fcntl.h>
#include <gtest/gtest.h>

namespace {

class TerminalTest : public ::testing::Test {
 protected:
  void SetUp() override {
    dir.write("TEXTLIB.TXT",
              "0xFE551020 Select function\n0x58025000 2\n0x58025001 Identification\n0x58025002 Live data\n");
    dir.write("DSNAMES.TXT",
              "0x58200400 1\n0x58200401 Coolant temperature, \xC2\xB0"
              "C\n");
    dir.write("DTCTEXT.TXT", "0x58200102 P0102 x\n");
    dir.write("COMMAND.GAG", "0x58300300 [00]\n");
    ASSERT_EQ(StdSetDataDir(dir.str().c_str()), 0) << StdLastError();
    ASSERT_EQ(pipe(in), 0);
    ASSERT_EQ(pipe(out), 0);
    fcntl(out[0], F_SETFL, O_NONBLOCK);
    ASSERT_EQ(StdUseTerminalOn(in[0], out[1]), 0);
  }
  void TearDown() override {
    StdUseScript("");
    for (int fd : {in[0], in[1], out[0], out[1]})
      if (fd >= 0) close(fd);
  }
  void type(const std::string &s) { ASSERT_EQ(write(in[1], s.data(), s.size()), static_cast<ssize_t>(s.size())); }
  std::string shown() {
    std::string all;
    char buf[4096];
    ssize_t n;
    while ((n = read(out[0], buf, sizeof buf)) > 0) all.append(buf, static_cast<std::size_t>(n));
    return all;
  }
  int showMenu() {
    InitMenuID(0xFE551020);
    AddMenuTextID(0x58025001);
    AddMenuTextID(0x58025002);
    return ShowMenuGetSelectedItem(0, 0, 0);
  }
  int showStream() {
    InitDataStream();
    AddDataStreamItem(0x58200401, "90");
    return ShowDataStream();
  }
  ScratchDir dir{"terminal"};
  int in[2] = {-1, -1};
  int out[2] = {-1, -1};
};

TEST_F(TerminalTest, MenuSelectionAndStreamAnswers) {
  type("7\nx\n2\nb\n");
  EXPECT_EQ(showMenu(), 1);  // 7 and x are not entries: asked again
  EXPECT_EQ(showMenu(), -1);
  std::string screen = shown();
  EXPECT_NE(screen.find("[menu] Select function\n  1. Identification\n  2. Live data\n"), std::string::npos) << screen;

  type("1 3\nb\n");
  u8 bitmap[40] = {};
  InitStreamSelectedBox(bitmap);
  for (int i = 0; i < 3; ++i) AddStreamSelectBox(0x58200401);
  EXPECT_EQ(ShowStreamSelectBox(0, bitmap), 0);
  EXPECT_EQ(bitmap[0], 0xA0);
  EXPECT_EQ(ShowStreamSelectBox(0, bitmap), 1);

  EXPECT_EQ(showStream(), 0);  // nothing typed: keep refreshing
  type("\n");
  EXPECT_EQ(showStream(), 1);  // Enter: back
  screen = shown();
  EXPECT_NE(screen.find("[data stream, pass 1]\n  Coolant temperature, \xC2\xB0"
                        "C: 90\n"),
            std::string::npos)
      << screen;
}

TEST_F(TerminalTest, EndOfInputMeansBackEverywhere) {
  close(in[1]);
  in[1] = -1;
  EXPECT_EQ(showMenu(), -1);
  EXPECT_EQ(showStream(), 1);
  EXPECT_EQ(ShowMessageBoxID(0xFE551020, 0xFE551020, 3), 3);
  EXPECT_EQ(InputIntegerID(0xFE551020, 0xFE551020), -2147483647 - 1);  // cancelled: nothing is sent
  InitActiveTest(2, 0x58025001u, 0x58025002u);
  EXPECT_EQ(ShowActiveTestItem(), 1);
}

}  // namespace
