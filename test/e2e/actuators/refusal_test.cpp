// What the control unit refuses (answer 7F), through the real plug-in, display host and
// vehicle interface: every test, reset and CO step reports the refusal and never "Command
// carried out"; a guard read that is refused drives nothing; numbers the value byte cannot
// carry are refused before sending; the detection says that a unit answered.
#include <dlfcn.h>

#include <gmock/gmock.h>

#include <climits>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "e2e_support.h"
#include "instant_waits.h"

using ::testing::Contains;
using ::testing::Not;

namespace {

constexpr int kM154 = 1, kM154N = 3, kM72 = 6, kM70E2 = 4, kM797E2 = 7, kEfi = 9, kIsfi = 10, kAuto = 11;
const std::string kDone = "[message, style 1] Tests | Command carried out";
// A refusal names the reason the ECU gave; a code without a known reason keeps the plain words.
const std::string kRefused =
    "[message, style 1] Tests | The control unit refused the command (conditions not correct: engine running?)";
const std::string kRefusedPlain = "[message, style 1] Tests | The control unit refused the command";
const std::string kOutOfRange = "[message, style 1] Tests | Value out of range for this test: nothing was sent";
std::string out_of_range(const char *range) {
  return "[message, style 1] Tests | Value out of range for this test: enter " + std::string(range) +
         "; nothing was sent";
}
const std::string kFailure = "[message, style 1] Communication error | Communication with the control unit failed";

vazdiag::SessionResult run(int ecu, const std::string &car, const std::string &refuse, const std::string &script) {
  e2e::clear_waits();
  auto s = e2e::session(ecu, car, script);
  if (!refuse.empty()) s.carOptions.push_back({"refuse", refuse});
  return e2e::bench().run(s);
}

int count(const std::vector<std::string> &v, const std::string &x) {
  return static_cast<int>(std::count(v.begin(), v.end(), x));
}

// The ECU's answer right after the tester's frame, as "E< ..." without its checksum.
std::string answer_to(const std::string &trace, const std::string &request) {
  const auto f = e2e::frames(trace);
  for (std::size_t i = 0; i + 1 < f.size(); ++i)
    if (f[i] == "T> " + request) return f[i + 1].substr(0, f[i + 1].rfind(' '));
  return "(not sent)";
}

// Each row: a command the car refuses, the frame that goes out, the ECU's refusal; the
// user is told, stays in the list or menu, and the session goes on (no failure box).
TEST(Refusals, EveryRefusedCommandIsReportedAndNeverCarriedOut) {
  const struct {
    const char *what;
    int ecu;
    const char *car;
    const char *refuse;
    const char *script;
    const char *frame;
    const char *answer;
  } rows[] = {
      {"M1.5.4 switch (the reported case)", kM154, "m154", "30:22",
       "choose Actuator tests\nchoose Injectors\nyes\nchoose Switch off\nback\nback\nback\n", "84 10 F1 30 01 06 00 BC",
       "E< 83 F1 10 7F 30 22"},
      {"M1.5.4 value", kM154, "m154", "30:22", "choose Actuator tests\nchoose Idle speed, rpm\nenter 850\nback\nback\n",
       "84 10 F1 30 42 07 55 53", "E< 83 F1 10 7F 30 22"},
      {"M1.5.4 CO panel", kM154, "m154", "30:22", "choose Actuator tests\nchoose CO correction\nback\nback\n",
       "84 10 F1 30 61 08 0A 28", "E< 83 F1 10 7F 30 22"},
      {"M1.5.4 reset", kM154, "m154", "11:22", "choose Special tests\nchoose Reset control unit\nyes\nback\nback\n",
       "82 10 F1 11 00 94", "E< 83 F1 10 7F 11 22"},
      {"M1.5.4 leaving the list", kM154, "m154", "30:22", "choose Actuator tests\nback\nback\n", "83 10 F1 30 01 00 B5",
       "E< 83 F1 10 7F 30 22"},
      {"M7.2 switch", kM72, "m72", "30:22",
       "choose Actuator tests\nchoose Fuel pump relay\nyes\nchoose Switch on\nback\nback\nback\n",
       "84 10 F1 30 09 06 01 C5", "E< 83 F1 10 7F 30 22"},
      {"M7.2 reset with reconnect", kM72, "m72", "11:22", "choose Special tests\nchoose 1\nyes\nback\nback\n",
       "82 10 F1 11 01 95", "E< 83 F1 10 7F 11 22"},
      {"M7.2 reset, a code with no reason known", kM72, "m72", "11:78",
       "choose Special tests\nchoose 1\nyes\nback\nback\n", "82 10 F1 11 01 95", "E< 83 F1 10 7F 11 78"},
      {"M7.9.7 switch", kM797E2, "m797-e2", "30:22",
       "choose Actuator tests\nchoose Injector 1\nyes\nchoose Switch on\nback\nback\nback\n", "84 10 F1 30 01 06 FF BB",
       "E< 83 F1 10 7F 30 22"},
      {"M7.9.7 value", kM797E2, "m797-e2", "30:22",
       "choose Actuator tests\nchoose CO correction\nenter 128\nback\nback\n", "84 10 F1 30 61 08 32 50",
       "E< 83 F1 10 7F 30 22"},
      {"M7.9.7 reset", kM797E2, "m797-e2", "11:22", "choose Special tests\nchoose 2\nyes\nback\nback\n",
       "82 10 F1 11 90 24", "E< 83 F1 10 7F 11 22"},
      {"M7.0 routine switch", kM70E2, "m70-e2", "31:22,32:22",
       "choose Actuator tests\nchoose 1\nyes\nchoose Switch on\nback\nback\nback\n", "85 11 F1 32 10 17 50 0A 3A",
       "E< 83 F1 11 7F 32 22"},
      {"M7.0 value", kM70E2, "m70-e2", "30:22", "choose Actuator tests\nchoose 12\nenter 5\nback\nback\n",
       "84 11 F1 30 31 06 05 F2", "E< 83 F1 11 7F 30 22"},
  };
  for (const auto &row : rows) {
    auto r = run(row.ecu, row.car, row.refuse, row.script);
    EXPECT_GE(e2e::times_sent(r.trace, row.frame), 1) << row.what;
    EXPECT_EQ(answer_to(r.trace, row.frame), row.answer) << row.what;
    const auto boxes = e2e::messages(r.transcript);
    const bool reasonKnown = std::string(row.refuse).ends_with(":22");
    EXPECT_THAT(boxes, Contains(reasonKnown ? kRefused : kRefusedPlain)) << row.what;
    EXPECT_THAT(boxes, Not(Contains(kDone))) << row.what;
    EXPECT_THAT(boxes, Not(Contains(kFailure))) << row.what << ": the session goes on";
    EXPECT_TRUE(e2e::blocks(r.transcript, "[data stream").empty()) << row.what << ": no live data for a refused value";
    EXPECT_TRUE(e2e::blocks(r.transcript, "[active test").empty()) << row.what << ": no CO panel";
    EXPECT_TRUE(e2e::waits().empty()) << row.what << ": a refused reset restarts nothing";
  }
}

// The switch test stays open after a refusal: the next item still goes out, and the list
// is left with its return-control frame as usual.
TEST(Refusals, ARefusedSwitchItemLeavesTheTestOpen) {
  auto s = e2e::session(
      kM154, "m154",
      "choose Actuator tests\nchoose Fuel pump relay\nyes\nchoose Switch on\nchoose Switch off\nback\nback\nback\n");
  s.faults.push_back({.kind = "negative", .sid = 0x30, .nrc = 0x22, .skip = 0, .count = 1});
  auto r = e2e::bench().run(s);
  EXPECT_EQ(answer_to(r.trace, "84 10 F1 30 09 06 01 C5"), "E< 83 F1 10 7F 30 22");
  EXPECT_EQ(answer_to(r.trace, "84 10 F1 30 09 06 00 C4"), "E< 84 F1 10 70 09 06 00");
  EXPECT_EQ(e2e::times_sent(r.trace, "83 10 F1 30 01 00 B5"), 1);
  const auto boxes = e2e::messages(r.transcript);
  EXPECT_EQ(count(boxes, kRefused), 1);
  EXPECT_EQ(count(boxes, kDone), 1) << "only for the item carried out";
  EXPECT_EQ(boxes.back(), kDone);
}

// A refused CO step is undone on the panel; steps past 0 are refused before sending.
TEST(Refusals, CoPanelReportsARefusedStepAndNeverWrapsBelowZero) {
  auto s = e2e::session(kM154, "m154",
                        "choose Actuator tests\nchoose CO correction\npress Raise\npress Finish\nno\nback\nback\n");
  s.faults.push_back({.kind = "negative", .sid = 0x30, .nrc = 0x22, .skip = 1, .count = 1});
  auto r = e2e::bench().run(s);
  EXPECT_EQ(answer_to(r.trace, "84 10 F1 30 61 08 0B 29"), "E< 83 F1 10 7F 30 22");
  auto panels = e2e::blocks(r.transcript, "[active test");
  ASSERT_EQ(panels.size(), 2u);
  EXPECT_THAT(panels[1], testing::HasSubstr("Idle mixture (CO) correction: 0.0390")) << "the ECU kept its value";
  EXPECT_THAT(e2e::messages(r.transcript), Contains(kRefused));

  // From the ECU's own 0A: ten steps to 00, the eleventh refused.
  std::string lower;
  for (int i = 0; i < 11; ++i) lower += "press Lower\n";
  auto low = run(kM154, "m154", "",
                 "choose Actuator tests\nchoose CO correction\n" + lower + "press Finish\nno\nback\nback\n");
  EXPECT_EQ(e2e::times_sent(low.trace, "84 10 F1 30 61 08 00 1E"), 1);
  EXPECT_EQ(e2e::times_sent(low.trace, "84 10 F1 30 61 08 FF 1D"), 0) << "no wrap to FF";
  const auto boxes = e2e::messages(low.transcript);
  EXPECT_EQ(count(boxes, kOutOfRange), 1);
  EXPECT_EQ(
      boxes.back(),
      "[message, style 1] Tests | The CO correction stays at the last value set on the panel; control handed back "
      "to the control unit")
      << "the finish was carried out";
}

// The M7.9.7 guard read refused (or answered by anything but the block): the test is
// refused and no output is driven, although an earlier answer left a non-zero byte 12.
TEST(Refusals, ARefusedGuardReadDrivesNothing) {
  auto r = run(kM797E2, "m797-e2", "21:22",
               "choose Identification\nstay 1\nchoose Actuator tests\nchoose Fuel pump relay\nyes\nback\nback\n");
  EXPECT_EQ(answer_to(r.trace, "82 10 F1 21 01 A5"), "E< 83 F1 10 7F 21 22");
  for (const auto &f : e2e::sent(r.trace)) EXPECT_EQ(f.find("84 10 F1 30 09 06"), std::string::npos) << f;
  EXPECT_THAT(e2e::messages(r.transcript), Contains(kRefused));
  EXPECT_THAT(e2e::messages(r.transcript), Not(Contains(kDone)));
}

// Each row: a value test and a number whose converted value its byte cannot carry. Nothing
// goes out, the user is told and may enter another (the valid one then goes out).
TEST(Refusals, NumbersTheValueByteCannotCarryAreRefusedBeforeSending) {
  const struct {
    int ecu;
    const char *car;
    const char *open;  // menu entries up to the test
    int bad;
    int good;
    const char *prefix;  // the value frame without its value byte
    const char *goodFrame;
    const char *range;  // what the refusal names; none for a cancelled box
  } rows[] = {
      {kM154, "m154", "choose Actuator tests\nchoose Idle speed, rpm\n", 2560, 850, "84 10 F1 30 42 07 ",
       "84 10 F1 30 42 07 55 53", "0 to 2559"},
      {kM154, "m154", "choose Actuator tests\nchoose Idle speed, rpm\n", 3000, 850, "84 10 F1 30 42 07 ",
       "84 10 F1 30 42 07 55 53", "0 to 2559"},
      {kM154, "m154", "choose Actuator tests\nchoose Idle speed, rpm\n", -100, 850, "84 10 F1 30 42 07 ",
       "84 10 F1 30 42 07 55 53", "0 to 2559"},
      {kM797E2, "m797-e2", "choose Actuator tests\nchoose CO correction\n", -5, 128, "84 10 F1 30 61 08 ",
       "84 10 F1 30 61 08 32 50", "0 to 652"},
      {kIsfi, "gm-isfi", "choose 6\nchoose 19\n", 3200, 800, "F4 60 04 7F 77 01 00 00 19 ",
       "F4 60 04 7F 77 01 00 00 19 40 00 36 00 22", "0 to 3199"},
      {kEfi, "gm-efi", "choose 5\nchoose 14\n", 256, 25, "F4 60 04 00 00 00 00 00 00 04 00 ",
       "F4 60 04 00 00 00 00 00 00 04 00 FA A8 02", "0 to 255"},
      {kEfi, "gm-efi", "choose 5\nchoose 15\n", 112, 70, "F4 60 04 00 00 00 00 00 00 08 00 00 ",
       "F4 60 04 00 00 00 00 00 00 08 00 00 F5 AB", "-23 to 111"},
      // What a cancelled number box returns (Esc, or a script step that does not fit it):
      // every value test family sends nothing and says nothing.
      {kM154, "m154", "choose Actuator tests\nchoose Idle speed, rpm\n", INT_MIN, 850, "84 10 F1 30 42 07 ",
       "84 10 F1 30 42 07 55 53", nullptr},
      {kM797E2, "m797-e2", "choose Actuator tests\nchoose CO correction\n", INT_MIN, 128, "84 10 F1 30 61 08 ",
       "84 10 F1 30 61 08 32 50", nullptr},
      {kM70E2, "m70-e2", "choose Actuator tests\nchoose 12\n", INT_MIN, 5, "84 11 F1 30 31 06 ",
       "84 11 F1 30 31 06 05 F2", nullptr},
      {kIsfi, "gm-isfi", "choose 6\nchoose 19\n", INT_MIN, 800, "F4 60 04 7F 77 01 00 00 19 ",
       "F4 60 04 7F 77 01 00 00 19 40 00 36 00 22", nullptr},
      {kEfi, "gm-efi", "choose 5\nchoose 14\n", INT_MIN, 25, "F4 60 04 00 00 00 00 00 00 04 00 ",
       "F4 60 04 00 00 00 00 00 00 04 00 FA A8 02", nullptr},
      {kEfi, "gm-efi", "choose 5\nchoose 15\n", INT_MIN, 70, "F4 60 04 00 00 00 00 00 00 08 00 00 ",
       "F4 60 04 00 00 00 00 00 00 08 00 00 F5 AB", nullptr},
  };
  for (const auto &row : rows) {
    const std::string open = row.open;
    const std::string again = open.substr(open.find('\n') + 1);  // back in the list: the test again
    auto r = run(row.ecu, row.car, "",
                 open + "enter " + std::to_string(row.bad) + "\n" + again + "enter " + std::to_string(row.good) +
                     "\nstay 1\nback\nback\n");
    int valueFrames = 0;
    for (const auto &f : e2e::sent(r.trace)) valueFrames += f.rfind(row.prefix, 0) == 0;
    EXPECT_EQ(valueFrames, 1) << row.car << " n=" << row.bad << ": only the good number went out";
    EXPECT_EQ(e2e::times_sent(r.trace, row.goodFrame), 1) << row.car << " n=" << row.good;
    const auto boxes = e2e::messages(r.transcript);
    EXPECT_EQ(count(boxes, kOutOfRange), 0) << row.car << " n=" << row.bad << ": the range is named";
    if (row.range) { EXPECT_EQ(count(boxes, out_of_range(row.range)), 1) << row.car << " n=" << row.bad; }
    EXPECT_EQ(count(boxes, kDone), 1) << row.car << ": only for the good number";
    const auto reports = std::count_if(boxes.begin(), boxes.end(),
                                       [](const std::string &b) { return b.rfind("[message, style 1]", 0) == 0; });
    if (!row.range) { EXPECT_EQ(reports, 1) << row.car << ": a cancelled box says nothing"; }
  }
}

// The M1.5.4 family keeps its session after 11 00, so the next menu entry works (the
// plug-in does not reconnect after that reset).
TEST(Refusals, AfterAResetWithoutReconnectTheNextEntryStillWorks) {
  const struct {
    int ecu;
    const char *car;
    const char *reset;
  } rows[] = {{kM154, "m154", "choose Special tests\nchoose Reset control unit\nyes\nback\n"},
              {kM154N, "m154n", "choose Special tests\nchoose Reset control unit\nyes\nback\n"}};
  for (const auto &row : rows) {
    auto r = run(row.ecu, row.car, "", std::string(row.reset) + "choose Live data\ntick 1\nstay 1\nback\nback\n");
    EXPECT_EQ(answer_to(r.trace, "82 10 F1 11 00 94"), "E< 82 F1 10 51 00") << row.car;
    EXPECT_EQ(e2e::stream_pass(r.transcript).size(), 1u) << row.car << ": live data after the reset";
    EXPECT_THAT(e2e::messages(r.transcript), Contains(kDone)) << row.car;
    EXPECT_THAT(e2e::messages(r.transcript), Not(Contains(kFailure))) << row.car;
  }
}

// Detection: a unit that refuses the identification or the data request did answer.
TEST(Refusals, DetectionSaysAUnitAnsweredWhenItRefused) {
  for (const char *refuse : {"1A:22", "21:22"}) {
    auto r = run(kAuto, "m154", refuse, "");
    EXPECT_EQ(e2e::messages(r.transcript).back(),
              "[message, style 1] Automatic control unit detection | A control unit answered but was not recognised")
        << refuse;
  }
  auto s = e2e::session(kAuto, "m154", "");
  s.carOptions.push_back({"id-key", "XX"});
  auto r = e2e::bench().run(s);
  EXPECT_EQ(e2e::messages(r.transcript).back(),
            "[message, style 1] Automatic control unit detection | No known control unit answered")
      << "a readable but unknown identification keeps its message";
}

// A command-library record whose length byte disagrees with its format byte (09 80 10 F1 FF
// announces 260 bytes) is refused by the plug-in; nothing of it reaches the line.
TEST(Refusals, AnUnsoundLibraryRecordIsNeverSent) {
  namespace fs = std::filesystem;
  const fs::path data = fs::temp_directory_path() / ("vaz_e2e_data_" + std::to_string(::getpid()));
  fs::remove_all(data);
  fs::copy(fs::path(VAZ_BUILD_DIR) / "data", data, fs::copy_options::recursive);
  {
    std::ifstream in(data / "COMMAND.GAG");
    std::stringstream text;
    text << in.rdbuf();
    std::string s = text.str();
    const std::string good = "0x58300301 [06 82 10 F1 1A 90 00]";
    ASSERT_NE(s.find(good), std::string::npos);
    s.replace(s.find(good), good.size(), "0x58300301 [09 80 10 F1 FF 1A 90 00 00 00]");
    std::ofstream(data / "COMMAND.GAG", std::ios::trunc) << s;
  }
  e2e::bench();  // the workbench's display host, to point at the spoilt data
  void *std = dlopen((std::string(VAZ_BUILD_DIR) + "libSTD.so").c_str(), RTLD_NOW | RTLD_NOLOAD);
  ASSERT_NE(std, nullptr);
  auto set_dir = reinterpret_cast<int (*)(const char *)>(dlsym(std, "StdSetDataDir"));
  ASSERT_NE(set_dir, nullptr);
  ASSERT_EQ(set_dir(data.c_str()), 0);
  auto r = run(kM154, "m154", "", "choose Identification\nstay 1\nback\nback\n");
  set_dir((std::string(VAZ_BUILD_DIR) + "data").c_str());
  dlclose(std);
  fs::remove_all(data);

  for (const auto &f : e2e::sent(r.trace)) EXPECT_EQ(f.rfind("80 10 F1 FF", 0), std::string::npos) << f;
  EXPECT_EQ(e2e::times_sent(r.trace, "82 10 F1 1A 91 3E"), 0) << "the read stopped at the bad record";
  EXPECT_EQ(e2e::messages(r.transcript).back(), kFailure);
}

}  // namespace
