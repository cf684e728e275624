// vazdiag's full-screen front end in a real terminal: a whole session against
// the simulated Bosch M1.5.4 typed through tmux, Ctrl-C and resizing, and the
// line front end when standard output is not a terminal.
#include "ecu_process.h"
#include "tmux_driver.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <regex>
#include <vector>

namespace {

namespace fs = std::filesystem;

const std::string kVazdiag = std::string(VAZ_BUILD_DIR) + "vazdiag";

std::vector<std::string> linesOf(const fs::path &path) {
  std::ifstream in(path);
  std::vector<std::string> out;
  for (std::string l; std::getline(in, l);) out.push_back(l);
  return out;
}

// The number behind "label" on the screen (first match), or -1.
long numberAfter(const std::string &screen, const std::string &label) {
  std::smatch m;
  if (!std::regex_search(screen, m, std::regex(label + R"(\s+(-?\d+))"))) return -1;
  return std::stol(m[1]);
}

// Row of the live table: name, value, unit, min, max.
struct Row {
  double value = 0, min = 0, max = 0;
  bool found = false;
};
Row tableRow(const std::string &screen, const std::string &name) {
  std::smatch m;
  Row r;
  if (std::regex_search(screen, m, std::regex(name + R"(\s+(-?[\d.]+)\s+\S+\s+(-?[\d.]+)\s+(-?[\d.]+))"))) {
    r = {std::stod(m[1]), std::stod(m[2]), std::stod(m[3]), true};
  }
  return r;
}

// The shell's terminal settings after vazdiag left: line editing and echo back on.
void expectSaneTerminal(Tmux &t) {
  t.type(
      "clear; stty -a | tr ' ;' '\\n\\n' | grep -x -e icanon -e echo -e -icanon -e -echo | sort | tr '\\n' ' '; echo");
  ASSERT_TRUE(t.waitFor("echo icanon")) << t.screen();
  EXPECT_EQ(t.screen().find("-echo"), std::string::npos) << t.screen();
  EXPECT_EQ(t.screen().find("-icanon"), std::string::npos) << t.screen();
}

class TerminalSession : public ::testing::Test {
 protected:
  void SetUp() override {
    if (!Tmux::available())
      GTEST_SKIP() << "tmux is not installed (scripts/setup.sh installs it): terminal sessions not tested";
    dir = fs::temp_directory_path() / ("vazdiag_tui_" + std::to_string(::getpid()));
    fs::remove_all(dir);
    fs::create_directories(dir);
    tmux = std::make_unique<Tmux>(100, 30);
    // Recordings by key (and the history) go to vazdiag's data directory: this one.
    tmux->type("cd " + dir.string() + " && export XDG_DATA_HOME=" + dir.string());
  }
  void TearDown() override {
    tmux.reset();
    if (!dir.empty()) fs::remove_all(dir);
  }
  void start(const std::string &args, const std::string &ecu = "m154") {
    tmux->type(kVazdiag + " --ecu " + ecu + " " + args + "; echo EXIT=$?");
    ASSERT_TRUE(tmux->waitFor("1. Identification")) << tmux->screen();
  }
  // Moves from the top menu into an entry by typing its number.
  void open(const std::string &number, const std::string &expect) {
    tmux->keys("-l " + number);
    tmux->keys("Enter");
    ASSERT_TRUE(tmux->waitFor(expect)) << tmux->screen();
  }
  fs::path dir;
  std::unique_ptr<Tmux> tmux;
};

TEST_F(TerminalSession, WholeSessionThroughMenusCodesLiveDataAndTests) {
  Tmux &t = *tmux;
  start("--car-option dtc=0102,0325 --log live.csv --trace wire.txt");
  EXPECT_TRUE(t.alternateScreen());
  EXPECT_NE(t.screen().find("vazdiag | Bosch M1.5.4 \u203A Select function"), std::string::npos) << t.screen();

  // Identification: every field whole (a leading zero keeps a part number text), no live-data furniture.
  open("1", "XTA21099043512345");
  std::string s = t.screen();
  EXPECT_NE(s.find("Bosch M1.5.4 \u203A Identification"), std::string::npos) << s;
  EXPECT_TRUE(std::regex_search(s, std::regex(R"(Hardware number\s+0261204259\s)"))) << s;
  EXPECT_NE(s.find("CAL 2111 0103"), std::string::npos) << s;
  for (const char *absent : {"pass", "Min", "Max", "plot", "record"})
    EXPECT_EQ(s.find(absent), std::string::npos) << absent << "\n" << s;
  t.keys("Escape");
  ASSERT_TRUE(t.waitFor("1. Identification")) << t.screen();

  // Arrow keys and Enter: the third entry holds the stored codes.
  t.keys("Down Down Enter");
  ASSERT_TRUE(t.waitFor("P0325")) << t.screen();
  s = t.screen();
  EXPECT_EQ(s.find("Status"), std::string::npos) << "no code has a status text\n" << s;
  EXPECT_NE(s.find("2 codes"), std::string::npos) << s;
  EXPECT_TRUE(std::regex_search(s, std::regex(R"(P0102\s+Mass air flow sensor circuit low input)"))) << s;
  t.keys("Enter");
  ASSERT_TRUE(t.waitFor("1. Identification")) << t.screen();

  // The checklist: Space ticks and steps down, a ticks all, again none, numbers jump.
  open("5", "0 of 34 ticked");
  t.keys("Enter");
  ASSERT_TRUE(t.waitFor("tick at least one item")) << t.screen();
  t.keys("Space Down Space Space");
  ASSERT_TRUE(t.waitFor("3 of 34 ticked")) << t.screen();
  s = t.screen();
  EXPECT_NE(s.find("1. [x] Coolant temperature"), std::string::npos) << s;
  EXPECT_NE(s.find("2. [ ] Idle mixture"), std::string::npos) << s;
  EXPECT_NE(s.find("3. [x] Throttle position"), std::string::npos) << s;
  EXPECT_NE(s.find("4. [x] Engine speed"), std::string::npos) << s;
  t.keys("a");
  ASSERT_TRUE(t.waitFor("34 of 34 ticked")) << t.screen();
  t.keys("a");
  ASSERT_TRUE(t.waitFor("0 of 34 ticked")) << t.screen();
  t.keys("1 Space 3 Space 4 Space");
  ASSERT_TRUE(t.waitFor("3 of 34 ticked")) << t.screen();
  t.keys("Enter");

  // Live values: the table refreshes, the warming engine moves the coolant
  // temperature, and minimum and maximum follow it.
  ASSERT_TRUE(t.waitFor("Min")) << t.screen();
  s = t.screen();
  EXPECT_TRUE(std::regex_search(s, std::regex(R"(Name\s+Value\s+Unit\s+Min\s+Max)"))) << s;
  EXPECT_NE(s.find("Engine speed"), std::string::npos) << s;
  EXPECT_EQ(s.find("Battery voltage"), std::string::npos) << s;  // not ticked
  const long firstPass = numberAfter(s, "pass");
  const Row firstTemp = tableRow(s, "Coolant temperature");
  ASSERT_TRUE(firstTemp.found) << s;
  Row temp = firstTemp;
  for (int i = 0; i < 300 && temp.value == firstTemp.value; ++i) {
    t.waitFor("~never~", 50);
    s = t.screen();
    temp = tableRow(s, "Coolant temperature");
  }
  EXPECT_NE(temp.value, firstTemp.value) << s;
  EXPECT_GT(numberAfter(s, "pass"), firstPass) << s;
  EXPECT_LT(temp.min, temp.max) << s;
  EXPECT_NE(s.find("\xC2\xB0"
                   "C"),
            std::string::npos)
      << s;

  // The recording key: it stops the --log recording, then starts one of its own.
  EXPECT_NE(s.find("REC live.csv"), std::string::npos) << s;
  t.keys("r");
  ASSERT_TRUE(t.waitFor("Recording stopped")) << t.screen();
  EXPECT_NE(t.screen().find("rows in live.csv"), std::string::npos) << t.screen();
  t.keys("r");
  ASSERT_TRUE(t.waitFor("REC vazdiag-live-")) << t.screen();
  // The whole path of the file is shown.
  EXPECT_NE(t.screen().find(dir.string() + "/vazdiag/recordings/"), std::string::npos) << t.screen();
  t.keys("r");
  ASSERT_TRUE(t.waitFor("Recording stopped")) << t.screen();

  // The plot of the marked item.
  t.keys("Home Space p");
  ASSERT_TRUE(
      t.waitFor("Coolant temperature (\xC2\xB0"
                "C)  now"))
      << t.screen();
  EXPECT_NE(t.screen().find(" |"), std::string::npos);
  t.keys("p");
  ASSERT_TRUE(t.waitFor("* Coolant temperature")) << t.screen();

  // Esc leaves the stream, then the checklist; coming back, the same items are ticked.
  t.keys("Escape");
  ASSERT_TRUE(t.waitFor("of 34 ticked")) << t.screen();
  t.keys("Escape");
  ASSERT_TRUE(t.waitFor("1. Identification")) << t.screen();
  open("5", "3 of 34 ticked");
  EXPECT_NE(t.screen().find("4. [x] Engine speed"), std::string::npos) << t.screen();
  t.keys("Escape");
  ASSERT_TRUE(t.waitFor("1. Identification")) << t.screen();

  // Clearing the codes: the question opens on No, so a hasty Enter keeps them.
  open("4", "[> No <]");
  t.keys("Enter");
  ASSERT_TRUE(t.waitFor("1. Identification")) << t.screen();
  open("4", "[> No <]");
  t.keys("Left Enter");
  ASSERT_TRUE(t.waitFor("Trouble codes cleared")) << t.screen();
  t.keys("Enter");
  open("3", "No trouble codes");
  t.keys("Enter");
  ASSERT_TRUE(t.waitFor("1. Identification")) << t.screen();

  // The header says which actuator a switch menu is for.
  open("7", "9. Idle speed");
  EXPECT_NE(t.screen().find("Bosch M1.5.4 \u203A Actuator tests"), std::string::npos) << t.screen();
  open("1", "Bosch M1.5.4 \u203A Actuator tests \u203A Injectors");
  t.keys("Escape");
  ASSERT_TRUE(t.waitFor("9. Idle speed")) << t.screen();

  // A value test: the prompt names it; Esc cancels: nothing is sent and nothing said.
  open("9", "Idle speed, rpm: Enter the value");
  t.keys("-l 12");
  t.keys("Escape");
  ASSERT_TRUE(t.waitGone("Enter the value")) << t.screen();
  ASSERT_TRUE(t.waitFor("9. Idle speed")) << t.screen();
  EXPECT_EQ(t.screen().find("[> OK <]"), std::string::npos) << t.screen();
  // The number field refuses letters, empty and too large input.
  open("9", "Enter the value");
  t.keys("Enter");
  ASSERT_TRUE(t.waitFor("Enter a whole number")) << t.screen();
  t.keys("-l x99999999999");
  t.keys("Enter");
  ASSERT_TRUE(t.waitFor("must lie between")) << t.screen();
  EXPECT_NE(t.screen().find("> 99999999999"), std::string::npos) << t.screen();
  t.keys("BSpace BSpace BSpace BSpace BSpace BSpace BSpace BSpace BSpace BSpace BSpace");
  t.keys("-l 855");
  t.keys("BSpace 0");
  ASSERT_TRUE(t.waitFor("> 850 ")) << t.screen();
  t.keys("Enter");
  ASSERT_TRUE(t.waitFor("Min")) << t.screen();  // the ECU's live data after the value was set
  t.keys("Escape");
  ASSERT_TRUE(t.waitFor("[> OK <]")) << t.screen();
  t.keys("Enter");
  ASSERT_TRUE(t.waitFor("10. CO correction")) << t.screen();

  // The CO panel: its value and buttons, Right moves, Enter presses, 3 finishes.
  t.keys("1 0 Enter");
  ASSERT_TRUE(t.waitFor("[>1 Lower<]")) << t.screen();
  EXPECT_TRUE(std::regex_search(t.screen(), std::regex(R"(Idle mixture \(CO\) correction\s+\d)"))) << t.screen();
  t.keys("Right");
  ASSERT_TRUE(t.waitFor("[>2 Raise<]")) << t.screen();
  t.keys("Enter");
  t.keys("3");
  ASSERT_TRUE(t.waitFor("[> Yes <]")) << t.screen();
  t.keys("n");
  ASSERT_TRUE(t.waitFor("[> OK <]")) << t.screen();
  t.keys("Enter");
  ASSERT_TRUE(t.waitFor("10. CO correction")) << t.screen();

  // Esc back to the top; Esc there asks before ending the session (No highlighted, "n"
  // stays), then a Cyrillic "д" answers yes: the shell gets its terminal back.
  t.keys("Escape");
  ASSERT_TRUE(t.waitFor("1. Identification")) << t.screen();
  t.keys("Escape");
  ASSERT_TRUE(t.waitFor("End the session?")) << t.screen();
  EXPECT_NE(t.screen().find("[  Yes  ]    [> No <]"), std::string::npos) << t.screen();
  t.keys("n");
  ASSERT_TRUE(t.waitGone("End the session?")) << t.screen();
  ASSERT_TRUE(t.waitFor("1. Identification")) << t.screen();
  t.keys("Escape");
  ASSERT_TRUE(t.waitFor("End the session?")) << t.screen();
  t.keys("-l \u0434");
  ASSERT_TRUE(t.waitFor("EXIT=0")) << t.screen();
  EXPECT_FALSE(t.alternateScreen());
  expectSaneTerminal(t);

  // Only the 850 went out: the cancelled box sent nothing.
  int idleFrames = 0;
  for (const auto &l : linesOf(dir / "wire.txt")) idleFrames += l.find("T> 84 10 F1 30 42 07") != std::string::npos;
  EXPECT_EQ(idleFrames, 1);

  // --log: a header naming the ticked items with their units, then rows.
  auto rows = linesOf(dir / "live.csv");
  ASSERT_GE(rows.size(), 3u);
  EXPECT_EQ(rows[0],
            "time,Coolant temperature (\xC2\xB0"
            "C),Throttle position (%),Engine speed (rpm)");
  // The key recording wrote the same columns.
  bool keyed = false;
  for (const auto &e : fs::directory_iterator(dir / "vazdiag" / "recordings"))
    if (e.path().filename().string().rfind("vazdiag-live-", 0) == 0) {
      keyed = true;
      auto k = linesOf(e.path());
      ASSERT_GE(k.size(), 2u);
      EXPECT_EQ(k[0], rows[0]);
    }
  EXPECT_TRUE(keyed);
}

TEST_F(TerminalSession, CtrlCRestoresTheTerminal) {
  start("");
  EXPECT_TRUE(tmux->alternateScreen());
  tmux->keys("C-c");
  // The shell drops the rest of a command line whose program died of Ctrl-C: ask afresh.
  ASSERT_TRUE(tmux->waitGone("1. Identification")) << tmux->screen();
  tmux->type("echo EXIT=$?");
  ASSERT_TRUE(tmux->waitFor("EXIT=130")) << tmux->screen();
  EXPECT_FALSE(tmux->alternateScreen());
  expectSaneTerminal(*tmux);
}

// The cable's far end dies in the middle of live data: the failure shows within a second,
// and after it vazdiag leaves the terminal as it found it, naming what happened.
TEST_F(TerminalSession, AKilledEcuOnTheSerialLineEndsTheSessionCleanly) {
  serial_e2e::EcuProcess ecu({"--car", "m154", "--car-option", "engine=idle-fixed"});
  // The tester end at a real-time priority where the machine allows it, as in the serial tests.
  tmux->type("rt=$(chrt -f 10 true 2>/dev/null && echo chrt -f 10)");
  tmux->type("$rt " + kVazdiag + " --ecu m154 --port " + ecu.port() + "; echo EXIT=$?");
  ASSERT_TRUE(tmux->waitFor("1. Identification")) << tmux->screen();
  open("5", "0 of 34 ticked");
  tmux->keys("1 Space 3 Space Enter");
  ASSERT_TRUE(tmux->waitFor("pass 3")) << tmux->screen();
  ecu.kill_now();
  ASSERT_TRUE(tmux->waitFor("Communication with the control unit failed", 1000)) << tmux->screen();
  tmux->keys("Enter");
  ASSERT_TRUE(tmux->waitFor("EXIT=3")) << tmux->screen();  // the session ended on a communication failure
  EXPECT_FALSE(tmux->alternateScreen());
  EXPECT_NE(tmux->screen().find("line stopped working"), std::string::npos) << tmux->screen();
  expectSaneTerminal(*tmux);
}

TEST_F(TerminalSession, SmallAndResizedTerminal) {
  start("");
  tmux->resize(30, 8);
  ASSERT_TRUE(tmux->waitFor("Terminal too small")) << tmux->screen();
  tmux->keys("Down");  // keys still work while the notice is shown
  tmux->resize(60, 14);
  ASSERT_TRUE(tmux->waitFor("2. Current trouble codes")) << tmux->screen();
  // A long list scrolls inside the small screen: the checklist keeps its cursor visible.
  tmux->keys("Up 5 Enter");
  ASSERT_TRUE(tmux->waitFor("0 of 34 ticked")) << tmux->screen();
  tmux->keys("End Space");
  ASSERT_TRUE(tmux->waitFor("34. [x] Mixture before catalyst")) << tmux->screen();
  tmux->keys("Escape");
  ASSERT_TRUE(tmux->waitFor("1. Identification")) << tmux->screen();
  tmux->keys("Escape");
  ASSERT_TRUE(tmux->waitFor("End the session?")) << tmux->screen();
  tmux->keys("y");
  ASSERT_TRUE(tmux->waitFor("EXIT=0")) << tmux->screen();
  EXPECT_FALSE(tmux->alternateScreen());
}

// A name with a comma inside parentheses is one name without unit, repeated names stay
// apart, on screen and in the CSV header; on a wide terminal values sit next to names.
TEST_F(TerminalSession, CommaInsideParenthesesStaysInTheName) {
  Tmux &t = *tmux;
  t.resize(200, 30);
  start("--log live.csv", "m797-e3");
  open("4", "0 of");
  t.keys("1 Space 2 8 Space 2 9 Space Enter");
  ASSERT_TRUE(t.waitFor("pass 2")) << t.screen();
  std::smatch m;
  const std::string s = t.screen();
  ASSERT_TRUE(std::regex_search(s, m, std::regex(R"(Operating mode \(1 warm-up, 2 idle\)( +)\d+ )"))) << s;
  EXPECT_LE(m[1].length(), 12) << s;
  EXPECT_TRUE(std::regex_search(s, std::regex(R"(Misfires, cylinder 1 +\d+ )"))) << s;
  EXPECT_TRUE(std::regex_search(s, std::regex(R"(Misfires, cylinder 2 +\d+ )"))) << s;
  t.keys("Escape");
  ASSERT_TRUE(t.waitFor("of ")) << t.screen();
  t.keys("Escape");
  ASSERT_TRUE(t.waitFor("1. Identification")) << t.screen();
  t.keys("Escape");
  ASSERT_TRUE(t.waitFor("End the session?")) << t.screen();
  t.keys("y");
  ASSERT_TRUE(t.waitFor("EXIT=0")) << t.screen();
  auto rows = linesOf(dir / "live.csv");
  ASSERT_GE(rows.size(), 2u);
  EXPECT_EQ(rows[0], "time,\"Operating mode (1 warm-up, 2 idle)\",\"Misfires, cylinder 1\",\"Misfires, cylinder 2\"");
}

// A terminal that cannot place the cursor gets the line front end, not a blank full screen;
// a silent car ends the session with a non-zero status and says what to check.
TEST_F(TerminalSession, DumbTerminalGetsTheLineFrontEnd) {
  Tmux &t = *tmux;
  t.type("TERM=dumb " + kVazdiag + " --ecu m154; echo EXIT=$?");
  ASSERT_TRUE(t.waitFor("[menu] Select function")) << t.screen();
  EXPECT_FALSE(t.alternateScreen());
  t.type("b");
  ASSERT_TRUE(t.waitFor("EXIT=0")) << t.screen();
  t.type("clear; " + kVazdiag + " --ecu m154 --car none; echo EXIT=$?");
  ASSERT_TRUE(t.waitFor("ignition on")) << t.screen();
  t.keys("Enter");
  ASSERT_TRUE(t.waitFor("EXIT=3")) << t.screen();
}

TEST(LineFallback, PipedOutputGetsTheLineFrontEnd) {
  const auto out = fs::temp_directory_path() / ("vazdiag_line_" + std::to_string(::getpid()) + ".txt");
  const std::string cmd = "printf 'b\\n' | " + kVazdiag + " --ecu m154 > " + out.string() + " 2>&1";
  ASSERT_EQ(std::system(cmd.c_str()), 0);
  std::ifstream in(out);
  std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  fs::remove(out);
  EXPECT_NE(text.find("[menu] Select function\n  1. Identification\n"), std::string::npos) << text;
  EXPECT_EQ(text.find("\x1b["), std::string::npos) << "no terminal control sequences in piped output";
}

}  // namespace
