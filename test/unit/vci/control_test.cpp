// Control interface: car catalogue, options, reset, trace text and trace file.
#include "line_fixture.h"

#include <unistd.h>
#include <cstdio>
#include <fstream>
#include <regex>
#include <sstream>

namespace {

TEST_F(LineTest, UnknownCarListsTheKnownOnes) {
  EXPECT_EQ(VciSelectCar("m7.0"), -1);
  EXPECT_NE(std::string(VciLastError()).find("m154, m154-add, m154n, none"), std::string::npos);
  EXPECT_EQ(VciSelectCar(nullptr), -1);
}

TEST_F(LineTest, OptionsNeedACarAndKnownKeys) {
  EXPECT_EQ(VciCarOption("colour", "red"), -1);
  EXPECT_EQ(VciCarOption("engine", "racing"), -1);
  EXPECT_EQ(VciCarOption("header", "medium"), -1);
  EXPECT_EQ(VciCarOption("id-key", "M"), -1);
  ASSERT_EQ(VciSelectCar("none"), 0);
  EXPECT_EQ(VciCarOption("dtc", ""), -1);
}

TEST_F(LineTest, ResetForgetsLineCarAndTrace) {
  connect();
  VciReset();
  VciUseVirtualClock(1);
  EXPECT_EQ(trace().find("T>"), std::string::npos);
  open_line();
  EXPECT_EQ(fast_init(), -1) << "no car after a reset";
}

TEST_F(LineTest, TraceLinesFollowTheFormat) {
  connect();
  ASSERT_EQ(request({0x82, 0x10, 0xF1, 0x21, 0x01}), 1);
  std::istringstream lines(trace());
  const std::regex shape(R"( *\d+\.\d{3} (T> ([0-9A-F]{2} )*[0-9A-F]{2}|E< ([0-9A-F]{2} )*[0-9A-F]{2}|-- .+))");
  std::string l;
  int n = 0;
  while (std::getline(lines, l)) {
    EXPECT_TRUE(std::regex_match(l, shape)) << l;
    ++n;
  }
  EXPECT_GT(n, 10);
}

TEST_F(LineTest, SameSessionGivesTheSameTrace) {
  auto session = [this] {
    VciReset();
    VciUseVirtualClock(1);
    EXPECT_EQ(VciSelectCar("m154"), 0);
    connect();
    arm_keep_alive();
    for (int i = 0; i < 5; ++i) {
      VciAdvanceClock(1700);
      request({0x82, 0x10, 0xF1, 0x21, 0x01});
    }
    return trace();
  };
  EXPECT_EQ(session(), session());
}

TEST_F(LineTest, TraceFileGetsEveryLine) {
  char path[] = "/tmp/vci_trace_XXXXXX";
  const int fd = mkstemp(path);
  ASSERT_GE(fd, 0);
  close(fd);
  ASSERT_EQ(VciSetTraceFile(path), 0);
  connect();
  ASSERT_EQ(request({0x82, 0x10, 0xF1, 0x21, 0x01}), 1);
  ASSERT_EQ(VciSetTraceFile(""), 0);
  std::ifstream in(path);
  std::stringstream content;
  content << in.rdbuf();
  std::remove(path);
  const std::string file = content.str();
  EXPECT_NE(file.find("T> 81 10 F1 81 03"), std::string::npos);
  EXPECT_NE(file.find("T> 82 10 F1 21 01 A5"), std::string::npos);
  EXPECT_NE(file.find("E< 80 F1 10 22 61 01"), std::string::npos);
  EXPECT_NE(trace().find(file.substr(0, 40)), std::string::npos) << "file and memory hold the same lines";
}

TEST_F(LineTest, TraceFileThatCannotBeOpened) { EXPECT_EQ(VciSetTraceFile("/nonexistent-dir/trace.txt"), -1); }

TEST_F(LineTest, UnusedAndLaterLinesReportFailure) {
  unsigned char frame[8] = {0xF4, 0x57, 0x01, 0x00, 0xB4};
  EXPECT_EQ(OneToOne_SendDataToEcuGetAnswer(0xFF, ans, 0xFF, 1, 5, frame, 0, 1, -82), -1);
  EXPECT_EQ(GMSendMultiFrameToECUGetAnswer(5, frame, ans, 256), -1);
  EXPECT_EQ(PWM_SendDataToEcuGetAnswer(0xFF, ans, 100, 1, 5, frame), -1);
  EXPECT_EQ(OpenStdCommDll(), 0);
}

}  // namespace
