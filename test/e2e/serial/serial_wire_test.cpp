// Live data with every item ticked over a wire that behaves as real ECUs and cheap cables
// do: slow bytes, USB bursts, late and stray answers, noise, a chattering ECU and a line
// closed in the middle of a frame. Whatever the wire does, every pass on the screen shows
// values of an answer the ECU sent, each pass a newer one than the last: the engine speed
// that vazdiag shows is looked up among the ECU's logged answers.
#include "ecu_process.h"

#include <gmock/gmock.h>

#include <cmath>
#include <fstream>
#include <regex>
#include <sstream>

namespace {

using serial_e2e::EcuProcess;
using serial_e2e::Outcome;
using serial_e2e::TempDir;
using serial_e2e::vazdiag;
using ::testing::HasSubstr;

constexpr const char *kFailed = "Communication with the control unit failed";
constexpr int kPasses = 4;

enum class End { Survives, Fails, Either };

struct Wire {
  const char *name;
  std::vector<std::string> ecu;  // vazdiag-ecu options beside --car m797-e3
  End end;
  double max_seconds;             // the whole session, wake-up included
  const char *port_options = "";  // vazdiag --port-option, as the user of such a cable sets
};

const Wire kWires[] = {
    {"Gaps19ms", {"--gap", "19"}, End::Survives, 30},
    // Bursts every 16 ms: the allowance a USB adapter with a 16 ms latency timer gets.
    {"Bursts16msWithGaps19ms", {"--burst", "16", "--gap", "19"}, End::Survives, 40, "allowance=16"},
    {"AnswersAt49ms", {"--answer-delay", "49"}, End::Survives, 20},
    {"Noise3msBeforeTheAnswer", {"--noise", "3"}, End::Survives, 20},
    {"OneLateAnswer", {"--fault", "late:21:2:1"}, End::Survives, 20},
    {"KeepAliveAnswerAtPass2", {"--fault", "wrong:21:1:1"}, End::Survives, 20},
    {"ShortBlockAtPass2", {"--fault", "short:21:1:1"}, End::Either, 20},
    // The fault starts at the second pass, about a second into the session.
    {"EndlessFrames", {"--fault", "endless:21:1:1"}, End::Fails, 6},
    {"LineClosedMidFrame", {"--fault", "cut:21:2:1"}, End::Fails, 3},
};

void PrintTo(const Wire &w, std::ostream *os) { *os << w.name; }

// Engine speed in whole rpm (item 9 of the M7.9.7 E3 list: tenths of rpm, hi * 255 + lo
// at frame bytes 14 and 15, shown cut to whole rpm) of every 61 01 answer the ECU logged,
// in order.
std::vector<long> logged_speeds(const std::string &log) {
  std::vector<long> speeds;
  std::istringstream in(log);
  for (std::string line; std::getline(in, line);) {
    const auto at = line.find(" answer 80 F1 10 ");
    if (at == std::string::npos) continue;
    std::istringstream hex(line.substr(at + 8));
    std::vector<int> b;
    for (unsigned v; hex >> std::hex >> v;) b.push_back(static_cast<int>(v));
    if (b.size() > 15 && b[4] == 0x61 && b[5] == 0x01) speeds.push_back((b[14] * 255 + b[15]) / 10);
  }
  return speeds;
}

std::vector<long> shown_speeds(const std::string &out) {
  std::vector<long> speeds;
  static const std::regex kSpeed(R"(\n  Engine speed, rpm: ([0-9.]+)\n)");
  for (auto it = std::sregex_iterator(out.begin(), out.end(), kSpeed); it != std::sregex_iterator(); ++it)
    speeds.push_back(std::lround(std::stod((*it)[1])));
  return speeds;
}

class WireBehaviour : public ::testing::TestWithParam<Wire> {};

TEST_P(WireBehaviour, LiveDataShowsOnlyWhatTheEcuSent) {
  const Wire &w = GetParam();
  std::vector<std::string> args{"--car", "m797-e3"};
  args.insert(args.end(), w.ecu.begin(), w.ecu.end());
  EcuProcess ecu(args);
  TempDir tmp;
  const std::string script = tmp.path() + "/live.txt", trace = tmp.path() + "/wire.txt";
  std::ofstream(script) << "choose Live data\ntick all\nstay " << kPasses << "\nback\nback\n";
  const Outcome r = vazdiag("--ecu m797-e3 --port " + ecu.port() +
                            (*w.port_options ? std::string(" --port-option ") + w.port_options : std::string()) +
                            " --trace " + trace + " --script " + script);
  const std::string log = ecu.log();
  const bool failed = r.out.find(kFailed) != std::string::npos;
  if (w.end == End::Survives || (w.end == End::Either && !failed)) {
    EXPECT_EQ(r.status, 0) << r.err << log;
    EXPECT_THAT(r.out, HasSubstr("[data stream, pass " + std::to_string(kPasses) + "]"));
  } else {
    EXPECT_EQ(r.status, 3) << r.err;
    EXPECT_TRUE(failed) << r.out;
  }
  EXPECT_LT(r.seconds, w.max_seconds);

  // Each shown pass is a later answer than the pass before: never the previous values
  // again, never bytes the ECU did not send as this block.
  const std::vector<long> sent = logged_speeds(log);
  const std::vector<long> shown = shown_speeds(r.out);
  EXPECT_FALSE(shown.empty()) << r.out;
  std::size_t next = 0;
  for (std::size_t pass = 0; pass < shown.size(); ++pass) {
    while (next < sent.size() && sent[next] != shown[pass]) ++next;
    EXPECT_LT(next, sent.size()) << "pass " << pass + 1 << " shows " << shown[pass]
                                 << " rpm, not one of the answers after the last pass's\n"
                                 << log;
    ++next;
  }
}

INSTANTIATE_TEST_SUITE_P(Wire, WireBehaviour, ::testing::ValuesIn(kWires),
                         [](const auto &p) { return std::string(p.param.name); });

}  // namespace
