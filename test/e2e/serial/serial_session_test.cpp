// Whole sessions over the serial line in real time: for the same car and script the
// transcript is the one of the simulated in-process line, line for line; and what a
// session needs from the line over time: the keep-alive that keeps the ECU awake while the
// user sits in a menu, and a clean end when the far side dies in the middle of live data.
#include "ecu_process.h"
#include "script_files.h"

#include <gmock/gmock.h>

#include <chrono>
#include <fstream>
#include <thread>

namespace {

using namespace serial_e2e;
using ::testing::HasSubstr;
using ::testing::Not;

struct Tour {
  const char *name;
  const char *ecu;  // --ecu of vazdiag
  const char *car;  // the simulated ECU on both lines
  std::vector<std::string> car_options;
  const char *script;  // relative to this folder, or an example
  std::vector<std::string> must_show;
};

void PrintTo(const Tour &t, std::ostream *os) { *os << t.name; }

class SameTranscript : public ::testing::TestWithParam<Tour> {};

TEST_P(SameTranscript, OverThePtyAsOnTheSimulatedLine) {
  const Tour &t = GetParam();
  std::vector<std::string> ecu_args{"--car", t.car};
  std::string options;
  for (const std::string &o : t.car_options) {
    ecu_args.insert(ecu_args.end(), {"--car-option", o});
    options += " --car-option '" + o + "'";
  }
  const std::string script = " --script " + script_path(t.script);
  const Outcome simulated = vazdiag(std::string("--ecu ") + t.ecu + " --car " + t.car + options + script);
  ASSERT_EQ(simulated.status, 0) << simulated.err;

  EcuProcess ecu(ecu_args);
  TempDir tmp;
  const std::string trace = tmp.path() + "/wire.txt";
  const Outcome serial =
      vazdiag(std::string("--ecu ") + t.ecu + " --port " + ecu.port() + " --trace " + trace + script);
  EXPECT_EQ(serial.status, 0) << serial.err;
  EXPECT_EQ(serial.err, "");
  EXPECT_EQ(serial.out, simulated.out);
  for (const std::string &s : t.must_show) EXPECT_THAT(serial.out, HasSubstr(s));
  // Every request went out with its echo read back, and nothing was lost on the way.
  const std::string wire = serial_e2e::read_file(trace);
  EXPECT_EQ(count(wire, " T> "), count(wire, " -- echo ")) << wire;
  // A loaded machine may hold a request's bytes past the ECU's patience: such a request is
  // asked again, and nothing else may go unanswered.
  EXPECT_LE(count(wire, "no answer"), count(wire, " repeat ")) << wire;
  EXPECT_THAT(wire, Not(HasSubstr("checksum wrong"))) << wire;
  // The trace of the real line reads like the simulated one's.
  const Outcome decoded = vazdiag("--decode-trace " + trace);
  EXPECT_EQ(decoded.status, 0);
  EXPECT_THAT(decoded.out, HasSubstr(" frames, 0 with a wrong checksum, 0 not understood"));
}

INSTANTIATE_TEST_SUITE_P(
    Tours, SameTranscript,
    ::testing::Values(
        Tour{"M154N",
             "m154n",
             "m154n",
             {"engine=idle-fixed", "dtc=0102,0325", "faults=01 00 04"},
             "examples/m154n_cable_tour.txt",
             {"Firmware identification: M1.5.4N V7", "Canister purge valve circuit fault",
              "P0325 Knock sensor 1 circuit malfunction", "Trouble codes cleared", "[data stream, pass 3]",
              "Command carried out"}},
        Tour{"AutoM797E3",
             "auto",
             "m797-e3",
             {"engine=idle-fixed", "dtc=0102,0325"},
             "auto_m797.txt",
             {"Control unit found: Bosch M7.9.7 E3", "P0102 Mass air flow sensor", "[data stream, pass 3]"}},
        Tour{"GmIsfi",
             "gm-isfi",
             "gm-isfi",
             {"engine=idle-fixed", "dtc=14,33", "faults=01 00 00 00 00 00"},
             "gm_isfi.txt",
             {"Code 33 Manifold pressure sensor voltage high", "Trouble codes cleared", "[data stream, pass 3]"}}),
    [](const auto &p) { return std::string(p.param.name); });

// The plug-in arms the keep-alive and then sits in its menu for 12 s without calling the
// interface: the interface's own thread keeps the ECU awake, and the next request works.
TEST(SerialSession, TheKeepAliveKeepsTheEcuAwakeWhileTheUserWaits) {
  EcuProcess ecu({"--car", "m154", "--car-option", "engine=idle-fixed"});
  TempDir tmp;
  const std::string script = tmp.path() + "/wait.txt", trace = tmp.path() + "/wire.txt";
  { std::ofstream(script) << "wait 12\nchoose Identification\nstay 1\nback\n"; }
  const Outcome r = vazdiag("--ecu m154 --port " + ecu.port() + " --trace " + trace + " --script " + script);
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_THAT(r.out, HasSubstr("(waited 12 s)"));
  EXPECT_THAT(r.out, HasSubstr("Firmware identification"));
  const std::string log = ecu.log();
  // The only sleep is the one the session's StopCommunication asks for.
  EXPECT_EQ(count(log, "asleep"), 1) << log;
  EXPECT_THAT(log, HasSubstr("asleep (communication ended)"));
  const std::string wire = serial_e2e::read_file(trace);
  EXPECT_GE(count(wire, "T> 82 10 F1 3E 01 C2"), 10) << wire;
  EXPECT_THAT(wire, Not(HasSubstr("keep-alive unanswered")));
}

// The far side dies in the middle of live data: the request fails at once, the plug-in
// shows its failure message and vazdiag ends within a second, naming what happened.
TEST(SerialSession, AKilledEcuEndsTheSessionCleanlyWithinASecond) {
  EcuProcess ecu({"--car", "m154", "--car-option", "engine=idle-fixed"});
  TempDir tmp;
  const std::string script = tmp.path() + "/live.txt";
  { std::ofstream(script) << "choose Live data\ntick 1 2 3\nstay 100000\n"; }
  Outcome r;
  double killed_at = 0;
  std::thread session([&] { r = vazdiag("--ecu m154 --port " + ecu.port() + " --script " + script); });
  const auto start = std::chrono::steady_clock::now();
  std::this_thread::sleep_for(std::chrono::seconds(3));
  ecu.kill_now();
  killed_at = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  session.join();
  EXPECT_LT(r.seconds - killed_at, 1.0);
  EXPECT_THAT(r.out, HasSubstr("[data stream, pass 3]"));
  EXPECT_THAT(r.out, HasSubstr("Communication with the control unit failed"));
  EXPECT_THAT(r.err, HasSubstr("stopped working"));
}

}  // namespace
