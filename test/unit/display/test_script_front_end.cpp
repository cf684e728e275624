// Script front end: each screen kind answered by the script, the transcript
// word for word, an exhausted script, and faulty script lines.
#include "std_api.h"
#include "vaz_contracts.h"

#include <gtest/gtest.h>

#include <climits>

namespace {

class ScriptTest : public ::testing::Test {
 protected:
  void SetUp() override {
    dir.write("TEXTLIB.TXT",
              "0xFE551006 Connecting\n"
              "0xFE551017 Clear all trouble codes?\n"
              "0xFE55100E Clear trouble codes\n"
              "0xFE551020 Select function\n"
              "0xFE551010 Tests\n"
              "0xFE551021 Enter the value\n"
              "0xFE552001 ON\n"
              "0x58025000 3\n"
              "0x58025001 Identification\n"
              "0x58025002 Stored trouble codes\n"
              "0x58025003 Live data\n"
              "0x58030112 Lower\n0x58030113 Raise\n0x58030114 Finish\n");
    dir.write("DSNAMES.TXT",
              "0x58200400 4\n0x58200401 Coolant temperature, \xC2\xB0"
              "C\n"
              "0x58200402 Idle mixture (CO) correction\n0x58200403 Throttle position, %\n"
              "0x58200404 Engine speed, rpm\n");
    dir.write("DTCTEXT.TXT",
              "0x58200102 P0102 Mass air flow sensor circuit low input\n"
              "0x58200401 P0401 EGR flow insufficient\n");
    dir.write("COMMAND.GAG", "0x58300300 [00]\n");
    ASSERT_EQ(StdSetDataDir(dir.str().c_str()), 0) << StdLastError();
  }
  void script(const char *text) { ASSERT_EQ(StdUseScript(text), 0) << StdLastError(); }
  int showMenu() {
    InitMenuID(0xFE551020);
    for (u32 id = 0x58025001; id <= 0x58025003; ++id) AddMenuTextID(id);
    return ShowMenuGetSelectedItem(0, 0, 0);
  }
  int showStream() {
    InitDataStream();
    AddDataStreamItem(0x58200401, "90");
    AddDataStreamItem(0x58200404, "800");
    return ShowDataStream();
  }
  int showSelect(u8 *bitmap) {
    InitStreamSelectedBox(bitmap);
    for (u32 id : {0x58200401u, 0x58200402u, 0x58200404u}) AddStreamSelectBox(id);
    return ShowStreamSelectBox(0, bitmap);
  }
  int showPanel() {
    InitActiveTest(3, 0x58030112u, 0x58030113u, 0x58030114u);
    AddActiveTestItem(0x58200402, "0.3900");
    return ShowActiveTestItem();
  }
  ScratchDir dir{"script"};
};

TEST_F(ScriptTest, MenuChoiceByTextOrPositionAndTranscript) {
  script("# identify, then the third entry\nchoose identification\nchoose 3\nback\n");
  EXPECT_EQ(ShowMessageBoxID(0xFE551006, 0xFE551006, 5), 0);
  EXPECT_EQ(showMenu(), 0);
  EXPECT_EQ(showMenu(), 2);
  EXPECT_EQ(showMenu(), -1);
  EXPECT_STREQ(StdTranscript(),
               "[message, style 5] Connecting\n"
               "Connecting\n"
               "\n"
               "[menu] Select function\n"
               "  1. Identification\n"
               "  2. Stored trouble codes\n"
               "  3. Live data\n"
               "> 1. Identification\n"
               "\n"
               "[menu] Select function\n"
               "  1. Identification\n"
               "  2. Stored trouble codes\n"
               "  3. Live data\n"
               "> 3. Live data\n"
               "\n"
               "[menu] Select function\n"
               "  1. Identification\n"
               "  2. Stored trouble codes\n"
               "  3. Live data\n"
               "> back\n"
               "\n");
}

TEST_F(ScriptTest, SelectionBoxTicksPositionsAllOrBack) {
  script("tick 1, 3\ntick all\nback\n");
  u8 bitmap[40] = {};
  EXPECT_EQ(showSelect(bitmap), 0);
  EXPECT_EQ(bitmap[0], 0xA0);  // items 0 and 2, most significant bit first
  EXPECT_EQ(showSelect(bitmap), 0);
  EXPECT_EQ(bitmap[0], 0xE0);
  bitmap[1] = 0x5A;
  EXPECT_EQ(showSelect(bitmap), 1);
  EXPECT_EQ(bitmap[0], 0xE0);  // Back leaves the bitmap alone
  EXPECT_EQ(bitmap[1], 0x5A);
  std::string t = StdTranscript();
  EXPECT_NE(t.find("[select items]\n"
                   "  1. [ ] Coolant temperature, \xC2\xB0"
                   "C\n"
                   "  2. [ ] Idle mixture (CO) correction\n"
                   "  3. [ ] Engine speed, rpm\n"
                   "> tick 1, 3\n\n"),
            std::string::npos)
      << t;
  EXPECT_NE(t.find("  1. [x] Coolant temperature, \xC2\xB0"
                   "C\n"
                   "  2. [ ] Idle mixture (CO) correction\n"
                   "  3. [x] Engine speed, rpm\n"
                   "> tick 1, 2, 3\n\n"),
            std::string::npos)
      << t;
  EXPECT_NE(t.find("> back\n"), std::string::npos);
}

TEST_F(ScriptTest, DataStreamStaysForNPassesThenBack) {
  script("stay 3\nyes\n");
  EXPECT_EQ(showStream(), 0);
  EXPECT_EQ(showStream(), 0);
  EXPECT_EQ(showStream(), 1);
  EXPECT_EQ(showMenu(), -1);
  EXPECT_EQ(showStream(), 1);  // a new stream, first pass
  std::string t = StdTranscript();
  EXPECT_NE(t.find("[data stream, pass 1]\n"
                   "  Coolant temperature, \xC2\xB0"
                   "C: 90\n"
                   "  Engine speed, rpm: 800\n"
                   "> stay\n\n"
                   "[data stream, pass 2]\n"
                   "  Coolant temperature, \xC2\xB0"
                   "C: 90\n"
                   "  Engine speed, rpm: 800\n"
                   "> stay\n\n"
                   "[data stream, pass 3]\n"
                   "  Coolant temperature, \xC2\xB0"
                   "C: 90\n"
                   "  Engine speed, rpm: 800\n"
                   "> back\n\n"),
            std::string::npos)
      << t;
  EXPECT_NE(t.find("! script line 2 'yes': does not fit the menu; answering back\n"), std::string::npos) << t;
  EXPECT_NE(t.find("! script ended: answering back from here on\n"
                   "> back\n"),
            std::string::npos)
      << t;
}

TEST_F(ScriptTest, TroubleCodesShowCodeAndStatusTextsAndUnknownIds) {
  script("leave\n");
  InitTroubleCode();
  AddTroubleCode(0x58200102, 0xFFFFFFFF);
  AddTroubleCode(0x58200401, 0xFE552001);  // the code file wins over the name file here
  AddTroubleCode(0x58200999, 0xFFFFFFFF);  // a P-code block: the code is known, its text is not
  AddTroubleCode(0x58600980, 0xFFFFFFFF);  // no text carries a code there
  ShowTroubleCode();
  EXPECT_STREQ(StdTranscript(),
               "[trouble codes]\n"
               "  P0102 Mass air flow sensor circuit low input\n"
               "  P0401 EGR flow insufficient (ON)\n"
               "  P0999 unknown code\n"
               "  unknown code (0x58600980)\n"
               "> leave\n"
               "\n");
}

TEST_F(ScriptTest, QuestionsNumberInputAndPanel) {
  script("yes\nno\nno\nenter -10\npress 2\nidle 2\npress Finish\n");
  EXPECT_EQ(ShowMessageBoxID(0xFE551017, 0xFE55100E, 2), 1);
  EXPECT_EQ(ShowMessageBoxID(0xFE551017, 0xFE55100E, 2), 0);
  EXPECT_EQ(ShowMessageBoxID(0xFE551017, 0xFE55100E, 1), 0);  // a notice takes no step
  EXPECT_EQ(ShowMessageBoxID(0xFE551017, 0xFE55100E, 3), 3);
  EXPECT_EQ(InputIntegerID(0xFE551010, 0xFE551021), -10);
  EXPECT_EQ(showPanel(), 1);
  EXPECT_EQ(showPanel(), -1);
  EXPECT_EQ(showPanel(), -1);
  EXPECT_EQ(showPanel(), 2);
  std::string t = StdTranscript();
  EXPECT_NE(t.find("[message, style 2] Clear trouble codes\n"
                   "Clear all trouble codes?\n"
                   "> yes\n\n"),
            std::string::npos)
      << t;
  EXPECT_NE(t.find("[message, style 1] Clear trouble codes\nClear all trouble codes?\n\n"
                   "[message, style 3] Clear trouble codes\nClear all trouble codes?\n> no\n\n"),
            std::string::npos)
      << t;
  EXPECT_NE(t.find("[number input] Tests\nEnter the value\n> -10\n\n"), std::string::npos) << t;
  EXPECT_NE(t.find("[active test, pass 1] buttons: 1. Lower  2. Raise  3. Finish\n"
                   "  Idle mixture (CO) correction: 0.3900\n"
                   "> press 2. Raise\n\n"
                   "[active test, pass 2] buttons: 1. Lower  2. Raise  3. Finish\n"
                   "  Idle mixture (CO) correction: 0.3900\n"
                   "> no button\n\n"),
            std::string::npos)
      << t;
  EXPECT_NE(t.find("> press 3. Finish\n"), std::string::npos) << t;
}

TEST_F(ScriptTest, ExhaustedScriptAnswersBackOrDeclineEverywhere) {
  script("");
  u8 bitmap[40] = {};
  EXPECT_EQ(showMenu(), -1);
  EXPECT_EQ(showSelect(bitmap), 1);
  EXPECT_EQ(showStream(), 1);
  EXPECT_EQ(ShowMessageBoxID(0xFE551017, 0xFE55100E, 3), 3);
  EXPECT_EQ(ShowMessageBoxID(0xFE551017, 0xFE55100E, 2), 0);
  EXPECT_EQ(InputIntegerID(0xFE551010, 0xFE551021), VAZ_INPUT_CANCELLED);  // cancelled: no value test takes it
  EXPECT_EQ(showPanel(), 2);                                               // the finishing button
  std::string t = StdTranscript();
  const std::string note = "! script ended: answering back from here on\n";
  EXPECT_EQ(t.find(note), t.rfind(note)) << "noted once";
  EXPECT_NE(t.find(note), std::string::npos);
}

TEST_F(ScriptTest, StepsThatDoNotFitAreReportedAndAnsweredBack) {
  script("tick 1\nchoose Nonsense\nchoose 7\nchoose 2\npress 9\nyes\n");
  EXPECT_EQ(showMenu(), -1);
  EXPECT_EQ(showMenu(), -1);
  EXPECT_EQ(showMenu(), -1);
  EXPECT_EQ(showMenu(), 1);  // the script goes on after a fault
  EXPECT_EQ(showPanel(), 2);
  EXPECT_EQ(InputIntegerID(0xFE551010, 0xFE551021), VAZ_INPUT_CANCELLED);
  std::string t = StdTranscript();
  EXPECT_NE(t.find("! script line 1 'tick 1': does not fit the menu; answering back\n> back\n"), std::string::npos)
      << t;
  EXPECT_NE(t.find("! script line 2 'choose Nonsense': no entry 'Nonsense'; answering back\n"), std::string::npos) << t;
  EXPECT_NE(t.find("! script line 3 'choose 7': no entry 7; answering back\n"), std::string::npos) << t;
  EXPECT_NE(t.find("! script line 5 'press 9': no button 9; answering the last button\n> press 3. Finish\n"),
            std::string::npos)
      << t;
  EXPECT_NE(t.find("! script line 6 'yes': does not fit the number input; answering cancel\n> cancel\n"),
            std::string::npos)
      << t;
}

TEST_F(ScriptTest, BadScriptLinesAreRejectedWithTheirLine) {
  EXPECT_EQ(StdUseScript("choose 1\n\nfly away\n"), -1);
  EXPECT_STREQ(StdLastError(), "script line 3: unknown step 'fly'");
  EXPECT_EQ(StdUseScript("stay 0\n"), -1);
  EXPECT_STREQ(StdLastError(), "script line 1: 'stay 0': needs a count of 1 or more");
  EXPECT_EQ(StdUseScript("back now\n"), -1);
  EXPECT_STREQ(StdLastError(), "script line 1: 'back now': takes no argument");
  EXPECT_EQ(StdUseScript("tick 1 x\n"), -1);
  EXPECT_STREQ(StdLastError(), "script line 1: 'tick 1 x': bad position 'x'");
  EXPECT_EQ(StdUseScript("enter ten\n"), -1);
  EXPECT_STREQ(StdLastError(), "script line 1: 'enter ten': needs a whole number");
  // Numbers out of range say how far they may go.
  EXPECT_EQ(StdUseScript("stay 1000001\n"), -1);
  EXPECT_STREQ(StdLastError(), "script line 1: 'stay 1000001': count 1000001 too large: at most 1000000");
  EXPECT_EQ(StdUseScript("choose 100001\n"), -1);
  EXPECT_STREQ(StdLastError(), "script line 1: 'choose 100001': position must be at most 100000");
  EXPECT_EQ(StdUseScript("tick 2 99999999999999999999\n"), -1);
  EXPECT_STREQ(StdLastError(),
               "script line 1: 'tick 2 99999999999999999999': position 99999999999999999999 too large: at most 100000");
  EXPECT_EQ(StdUseScript("enter -3000000000\n"), -1);
  EXPECT_STREQ(StdLastError(),
               "script line 1: 'enter -3000000000': number -3000000000 out of range: at least -2147483648, at most "
               "2147483647");
  // Control characters are shown escaped; a byte-order mark is no step.
  EXPECT_EQ(StdUseScript("\xEF\xBB\xBF"
                         "back\nfly\x1B[2J\n"),
            -1);
  EXPECT_STREQ(StdLastError(), "script line 2: unknown step 'fly\\x1B[2J'");
}

TEST_F(ScriptTest, UnknownIdsAreVisibleInTheTranscript) {
  script("stay 1\n");
  InitDataStream();
  AddDataStreamItem(0x58200499, "1");
  AddDataStreamItem(0x58200401, nullptr);
  ShowDataStream();
  EXPECT_STREQ(StdTranscript(),
               "[data stream, pass 1]\n"
               "  <text 0x58200499 missing>: 1\n"
               "  Coolant temperature, \xC2\xB0"
               "C: \n"
               "> back\n"
               "\n");
}

}  // namespace
