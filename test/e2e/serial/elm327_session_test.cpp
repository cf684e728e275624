// Whole sessions through an ELM327 adapter in real time: vazdiag with its probe and the
// adapter stack on one side, vazdiag-ecu --adapter elm327 (on a pty or on loopback TCP) on
// the other. One table: the tours give the simulated line's transcript line for line; the
// clones and the failures end as a user must see them.
#include "ecu_process.h"
#include "script_files.h"

#include <gmock/gmock.h>

#include <fstream>

namespace {

using namespace serial_e2e;
using ::testing::HasSubstr;
using ::testing::Not;

struct AdapterCase {
  const char *name;
  const char *ecu;  // --ecu of vazdiag
  const char *car;  // the simulated ECU behind the adapter (and on the simulated line)
  std::vector<std::string> car_options;
  std::vector<std::string> adapter;  // vazdiag-ecu's adapter options after --adapter elm327
  const char *script;                // a file of this folder, an example, or "wait12"
  int status;                        // 0: the transcript must be the simulated line's
  double max_seconds;
  std::vector<std::string> err;   // what standard error must say
  std::vector<std::string> wire;  // what the trace must hold
  int asleep = -1;                // how often the ECU's log says it fell asleep (-1: any)
};

void PrintTo(const AdapterCase &c, std::ostream *os) { *os << c.name; }

class ThroughAnElm327 : public ::testing::TestWithParam<AdapterCase> {};

TEST_P(ThroughAnElm327, SessionEndsAsTheUserMustSeeIt) {
  const AdapterCase &c = GetParam();
  TempDir tmp;
  std::string script = script_path(c.script);
  if (std::string(c.script) == "wait12") {
    script = tmp.path() + "/wait.txt";
    std::ofstream(script) << "wait 12\nchoose Identification\nstay 1\nback\n";
  }
  std::vector<std::string> ecu_args{"--car", c.car, "--adapter", "elm327"};
  std::string options;
  for (const std::string &o : c.car_options) {
    ecu_args.insert(ecu_args.end(), {"--car-option", o});
    options += " --car-option '" + o + "'";
  }
  ecu_args.insert(ecu_args.end(), c.adapter.begin(), c.adapter.end());
  EcuProcess ecu(ecu_args);
  const std::string trace = tmp.path() + "/wire.txt";
  const Outcome r =
      vazdiag(std::string("--ecu ") + c.ecu + " --port " + ecu.port() + " --trace " + trace + " --script " + script);
  EXPECT_EQ(r.status, c.status) << r.err << r.out;
  EXPECT_LT(r.seconds, c.max_seconds);
  for (const std::string &s : c.err) EXPECT_THAT(r.err, HasSubstr(s));
  const std::string wire = serial_e2e::read_file(trace);
  for (const std::string &s : c.wire) EXPECT_THAT(wire, HasSubstr(s)) << wire;
  const std::string log = ecu.log();
  // Nothing was ever sent to the adapter before its prompt (it would have stopped).
  EXPECT_THAT(log, Not(HasSubstr("stopped by a character"))) << log;
  if (c.asleep >= 0) { EXPECT_EQ(count(log, "asleep"), c.asleep) << log; }
  if (c.status != 0) return;
  const Outcome simulated =
      vazdiag(std::string("--ecu ") + c.ecu + " --car " + c.car + options + " --script " + script);
  ASSERT_EQ(simulated.status, 0) << simulated.err;
  EXPECT_EQ(r.out, simulated.out);
  EXPECT_THAT(wire, Not(HasSubstr("no answer"))) << wire;
  const Outcome decoded = vazdiag("--decode-trace " + trace);
  EXPECT_THAT(decoded.out, HasSubstr(" 0 with a wrong checksum, 0 not understood"));
}

const std::vector<std::string> kM154n{"engine=idle-fixed", "dtc=0102,0325", "faults=01 00 04"};
const std::vector<std::string> kM797{"engine=idle-fixed", "dtc=0102,0325"};
constexpr const char *kTour = "examples/m154n_cable_tour.txt";

INSTANTIATE_TEST_SUITE_P(
    Adapters, ThroughAnElm327,
    ::testing::Values(
        AdapterCase{"TourOnThePty",
                    "m154n",
                    "m154n",
                    kM154n,
                    {},
                    kTour,
                    0,
                    30,
                    {},
                    {"adapter probe: an ELM327 (ELM327 v1.5) at 38400 baud", "A> 21011", "A> ATWM 82 10 F1 3E 01"}},
        AdapterCase{
            "TourOverTcp", "m154n", "m154n", kM154n, {"--tcp", "0"}, kTour, 0, 30, {}, {"A> ATSH 81 10 F1", "A> ATFI"}},
        AdapterCase{"DetectsM797E3", "auto", "m797-e3", kM797, {}, "auto_m797.txt", 0, 30, {}, {"A> ATSH 81 10 F1"}},
        AdapterCase{"CloneWithoutFastInitAndWakeUp",
                    "m154",
                    "m154",
                    {"engine=idle-fixed"},
                    {"--adapter-lacks", "ATFI,ATSW,ATWM"},
                    "wait12",
                    0,
                    40,
                    {},
                    {"BUS INIT: ...OK", "sent by the interface", "keep-alive\n"},
                    1},
        AdapterCase{"CloneWithoutTheDigit",
                    "m154n",
                    "m154n",
                    kM154n,
                    {"--adapter-lacks", "digit"},
                    kTour,
                    0,
                    40,
                    {},
                    {"refuses the responses-expected digit", "A> 2101\n"}},
        AdapterCase{
            "CloneForgettingLongAnswers", "m154n", "m154n", kM154n, {"--adapter-forgets-al"}, kTour, 0, 30, {}, {}},
        AdapterCase{"AdapterRestartsMidSession",
                    "m154n",
                    "m154n",
                    kM154n,
                    {"--adapter-reset-after", "12"},
                    kTour,
                    0,
                    30,
                    {"the adapter restarted itself"},
                    {"set up again"}},
        AdapterCase{"IgnitionOff",
                    "m154",
                    "m154",
                    {},
                    {"--ignition", "off"},
                    kTour,
                    3,
                    20,
                    {"fast init got no answer", "check that the ignition is on"},
                    {"A< BUS INIT: ...ERROR"}},
        AdapterCase{"TcpDroppedMidSession",
                    "m154n",
                    "m154n",
                    kM154n,
                    {"--tcp", "0", "--adapter-drop-after", "15"},
                    kTour,
                    3,
                    20,
                    {"dropped the connection"},
                    {"adapter lost"}},
        AdapterCase{"GmUnitRefusedAtOnce",
                    "gm-isfi",
                    "m154",
                    {},
                    {},
                    "gm_isfi.txt",
                    2,
                    3,
                    {"has no ALDL protocol", "need an ALDL cable"},
                    {}}),
    [](const auto &p) { return std::string(p.param.name); });

}  // namespace
