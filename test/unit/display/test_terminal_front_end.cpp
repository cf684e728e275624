// Terminal front end fed through pipes: answers typed as lines, live data left
// with Enter, and Back everywhere once the input ends.
#include "std_api.h"
#include "vaz_contracts.h"

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
  EXPECT_EQ(InputIntegerID(0xFE551020, 0xFE551020), VAZ_INPUT_CANCELLED);  // cancelled: nothing is sent
  InitActiveTest(2, 0x58025001u, 0x58025002u);
  EXPECT_EQ(ShowActiveTestItem(), 1);
}

// Questions take y/n and the Cyrillic д/н (the Russian prompt says so); messages and the
// number box show their texts without the transcript's markup, and the number prompt
// names the test chosen last.
TEST_F(TerminalTest, QuestionsTakeCyrillicAnswersAndScreensCarryNoMarkup) {
  const struct {
    const char *language;
    const char *typed;
    int style;
    int answer;
    const char *prompt;
  } rows[] = {
      {"en", "y\n", 3, 1, "y/n> "},
      {"en", "n\n", 3, 3, "y/n> "},
      {"ru", "\u0434\n", 3, 1, "\u0434/\u043D> "},
      {"ru", "\u041D\n", 3, 3, "\u0434/\u043D> "},
      {"ru", "x\n\u0414\n", 2, 1, "\u0434/\u043D> "},
      {"en", "\u043D\n", 2, 0, "y/n> "},
  };
  std::filesystem::create_directories(dir.str() + "/ru");
  dir.write("ru/TEXTLIB.TXT",
            "0xFE551020 \u0412\u044B\u0431\u043E\u0440\n0x58025000 2\n0x58025001 \u0410\n0x58025002 \u0411\n");
  dir.write("ru/DSNAMES.TXT", "0x58200400 1\n0x58200401 \u0422\n");
  dir.write("ru/DTCTEXT.TXT", "0x58200102 P0102 \u0422\n");
  for (const auto &r : rows) {
    ASSERT_EQ(StdSetLanguage(r.language), 0) << StdLastError();
    shown();
    type(r.typed);
    EXPECT_EQ(ShowMessageBoxID(0x58025001, 0xFE551020, r.style), r.answer) << r.typed;
    const std::string screen = shown();
    EXPECT_EQ(screen.find("[message"), std::string::npos) << screen;
    EXPECT_NE(screen.find(r.prompt), std::string::npos) << screen;
  }
  ASSERT_EQ(StdSetLanguage("en"), 0);
  type("2\n");
  EXPECT_EQ(showMenu(), 1);
  shown();
  type("12\n");
  EXPECT_EQ(InputIntegerID(0xFE551020, 0x58025001), 12);
  const std::string box = shown();
  EXPECT_EQ(box.find("[number input]"), std::string::npos) << box;
  EXPECT_NE(box.find("Live data: Identification"), std::string::npos) << "the prompt names the test\n" << box;
}

}  // namespace
