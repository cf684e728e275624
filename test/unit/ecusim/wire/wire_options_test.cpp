// vazdiag-ecu's command line: what is accepted, and a reason for everything that is not.
#include "wire_options.h"

#include <gtest/gtest.h>

#include <sstream>

namespace ecusim::wire {
namespace {

std::vector<std::string> words(const std::string &line) {
  std::istringstream in(line);
  std::vector<std::string> w;
  for (std::string s; in >> s;) w.push_back(s);
  return w;
}

TEST(WireOptions, AFullCommandLine) {
  std::string error;
  const auto o = parse_wire_options(
      words("--car gm-efi --car-option dtc=14,33 --pty --link /tmp/ecu --log /tmp/ecu.log --echo corrupt:3 "
            "--fault late --fault bad-checksum:01:2:1 --fault no-answer:any:0 --gap 19 --burst 16 "
            "--answer-delay 49 --noise 3 --fault short:01:1:1"),
      error);
  ASSERT_TRUE(o) << error;
  EXPECT_EQ(o->line, CarLine::Aldl);
  ASSERT_EQ(o->car_options.size(), 1u);
  EXPECT_EQ(o->car_options[0].second, "14,33");
  EXPECT_EQ(o->echo.kind, EchoMode::Kind::Corrupt);
  EXPECT_EQ(o->echo.corrupt_byte, 3);
  ASSERT_EQ(o->faults.size(), 4u);
  EXPECT_EQ(o->faults[0].sid, -1);
  EXPECT_EQ(o->faults[0].count, -1);
  EXPECT_EQ(o->faults[1].kind, FaultKind::BadChecksum);
  EXPECT_EQ(o->faults[1].sid, 0x01);
  EXPECT_EQ(o->faults[1].skip, 2);
  EXPECT_EQ(o->faults[1].count, 1);
  EXPECT_EQ(o->faults[2].kind, FaultKind::NoAnswer);
  EXPECT_EQ(o->faults[3].kind, FaultKind::Short);
  EXPECT_EQ(o->timing.gap_ms, 19);
  EXPECT_EQ(o->timing.burst_ms, 16);
  EXPECT_EQ(o->timing.answer_ms, 49);
  EXPECT_EQ(o->timing.noise_ms, 3);
}

TEST(WireOptions, BadCommandLinesAreRefusedWithAReason) {
  struct Case {
    const char *args;
    const char *reason;
  };
  const Case cases[] = {
      {"--pty", "--car NAME is needed"},
      {"--car trabant --pty", "unknown car 'trabant'"},
      {"--car none --pty", "silent line"},
      {"--car obd-iso --pty", "OBD-II"},
      {"--car m154", "--pty or --port DEVICE is needed"},
      {"--car m154 --pty --port /dev/ttyUSB0", "exclude each other"},
      {"--car m154 --port /dev/ttyUSB0 --link /tmp/x", "--link works only with --pty"},
      {"--car m154 --pty --car-option dtc", "--car-option needs KEY=VALUE"},
      {"--car m154 --pty --echo maybe", "--echo is on, off or corrupt:N"},
      {"--car m154 --pty --echo corrupt:0", "--echo is on, off or corrupt:N"},
      {"--car m154 --pty --fault slow", "unknown kind 'slow'"},
      {"--car m154 --pty --fault late:0x21", "SID is a hex byte"},
      {"--car m154 --pty --fault late:121", "SID is a hex byte"},
      {"--car m154 --pty --fault late:21:-1", "SKIP is a number"},
      {"--car m154 --pty --fault late:21:0:0", "COUNT is a number"},
      {"--car m154 --pty --fault late:21:0:1:9", "KIND[:SID[:SKIP[:COUNT]]]"},
      {"--car gm-isfi --pty --fault pending", "ALDL has no response-pending answer"},
      {"--car gm-isfi --pty --fault wrong:01:1:1", "ALDL has no keep-alive answer"},
      {"--car m154 --pty --gap 26", "--gap is a time in ms, 0..25, got '26'"},
      {"--car m154 --pty --burst 0", "--burst is a time in ms, 1..100"},
      {"--car m154 --pty --noise 3ms", "--noise is a time in ms"},
      {"--car m154 --pty --answer-delay 20 --noise 20", "--noise must come before the answer"},
      {"--car m154 --pty --gap", "needs a value"},
      {"--car m154 --pty --bogus", "unknown option '--bogus'"},
      {"--car m154 --pty --log", "needs a value"},
  };
  for (const Case &c : cases) {
    std::string error;
    EXPECT_FALSE(parse_wire_options(words(c.args), error)) << c.args;
    EXPECT_NE(error.find(c.reason), std::string::npos) << c.args << " -> " << error;
  }
}

}  // namespace
}  // namespace ecusim::wire
