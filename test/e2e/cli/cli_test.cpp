// vazdiag from the command line: help, refused options with exit status 2,
// and a scripted session printing its transcript and writing the wire trace.
#include <gmock/gmock.h>
#include <sys/wait.h>
#include <unistd.h>

#include <array>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

using ::testing::HasSubstr;
using ::testing::Not;

namespace {

struct Outcome {
  int status = -1;
  std::string out;  // standard output and error together
};

Outcome vazdiag(const std::string &args) {
  Outcome r;
  const std::string command = std::string(VAZ_BUILD_DIR) + "vazdiag " + args + " 2>&1 </dev/null";
  FILE *p = popen(command.c_str(), "r");
  if (p == nullptr) return r;
  std::array<char, 4096> buf{};
  size_t n = 0;
  while ((n = fread(buf.data(), 1, buf.size(), p)) > 0) r.out.append(buf.data(), n);
  const int raw = pclose(p);
  r.status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
  return r;
}

TEST(Cli, HelpExplainsEveryOption) {
  Outcome r = vazdiag("--help");
  EXPECT_EQ(r.status, 0);
  for (const char *option : {"--ecu", "--car", "--script", "--functions", "--connector", "--trace"})
    EXPECT_THAT(r.out, HasSubstr(option));
}

TEST(Cli, BadOptionsAreRefusedWithStatusTwoAndAReason) {
  struct Case {
    const char *args;
    const char *reason;
  };
  const Case cases[] = {
      {"--bogus", "unknown option '--bogus'"},
      {"--ecu m999", "unknown ECU 'm999'"},
      {"--ecu 12", "unknown ECU '12'"},
      {"--ecu", "needs a value"},
      {"--functions banana", "--functions needs a number"},
      {"--connector 256", "--connector needs a number 0..255"},
      {"--car-option dtc", "--car-option needs KEY=VALUE"},
      {"--script /nonexistent/script.txt", "cannot read the script"},
  };
  for (const Case &c : cases) {
    Outcome r = vazdiag(c.args);
    EXPECT_EQ(r.status, 2) << c.args;
    EXPECT_THAT(r.out, HasSubstr(c.reason)) << c.args;
  }
}

TEST(Cli, AnUnknownCarIsNamedWithTheKnownOnes) {
  Outcome r = vazdiag("--ecu m154 --car trabant --script " VAZ_EXAMPLES_DIR "m154n_tour.txt");
  EXPECT_EQ(r.status, 2);
  EXPECT_THAT(r.out, HasSubstr("trabant"));
  EXPECT_THAT(r.out, HasSubstr("m154n"));
}

TEST(Cli, ScriptedSessionPrintsIdentificationCodesAndLiveData) {
  const auto trace = std::filesystem::temp_directory_path() / ("vazdiag_trace_" + std::to_string(getpid()));
  Outcome r = vazdiag("--ecu m154n --car-option dtc=0102,0325 --trace " + trace.string() + " --script " VAZ_EXAMPLES_DIR
                  "m154n_tour.txt");
  EXPECT_EQ(r.status, 0) << r.out;
  EXPECT_THAT(r.out, HasSubstr("Firmware identification: M1.5.4N V7"));
  EXPECT_THAT(r.out, HasSubstr("P0325 Knock sensor 1 circuit malfunction"));
  EXPECT_THAT(r.out, HasSubstr("[data stream, pass 3]"));
  EXPECT_THAT(r.out, HasSubstr("Engine speed, rpm: "));
  EXPECT_THAT(r.out, Not(HasSubstr("! script")));  // every step fitted its screen
  std::ifstream in(trace);
  std::stringstream wire;
  wire << in.rdbuf();
  EXPECT_THAT(wire.str(), HasSubstr("T> 81 10 F1 81 03"));
  EXPECT_THAT(wire.str(), HasSubstr("T> 84 10 F1 18 00 FF 00 9C"));
  std::filesystem::remove(trace);
}

}  // namespace
