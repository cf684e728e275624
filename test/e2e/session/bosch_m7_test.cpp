// The M7.0, M7.9.7 and M7.2 function menus end to end: the requests of every
// entry byte for byte, value texts from the frozen engine, and the M7.9.7
// set-up retry rule.
#include <gmock/gmock.h>

#include "e2e_support.h"

using ::testing::Contains;
using ::testing::HasSubstr;

namespace {

constexpr int kM70E2 = VAZ_ECU_TYPE_M70_E2, kM70E3 = VAZ_ECU_TYPE_M70_E3, kM72 = VAZ_ECU_TYPE_M72,
              kM797E2 = VAZ_ECU_TYPE_M797_E2, kM797E3 = VAZ_ECU_TYPE_M797_E3;

std::string kwp(std::vector<int> bytes) {  // frame text with its checksum appended
  int sum = 0;
  std::string out;
  char b[4];
  for (int x : bytes) {
    sum += x;
    std::snprintf(b, sizeof b, "%02X ", x);
    out += b;
  }
  std::snprintf(b, sizeof b, "%02X", sum & 0xFF);
  return out + b;
}

struct EntryCase {
  int ecu;
  const char *car;
  const char *script;
  std::vector<std::string> requests;  // the entry's requests, in order, between connect and disconnect
};

// Everything sent after the connect sequence and before the stop requests.
std::vector<std::string> between_connect_and_stop(const std::string &trace, size_t connectFrames) {
  auto sent = e2e::sent(trace);
  std::vector<std::string> out;
  for (size_t i = connectFrames; i < sent.size(); ++i) {
    const std::string &f = sent[i];
    if (f == "81 10 F1 20 A2" || f == "81 10 F1 82 04" || f == "81 11 F1 82 05") break;
    out.push_back(f);
  }
  return out;
}

std::vector<std::string> identification_requests(int address, std::vector<int> options) {
  std::vector<std::string> out;
  for (int o : options) out.push_back(kwp({0x82, address, 0xF1, 0x1A, o}));
  return out;
}

TEST(BoschM7Menus, EveryEntrySendsItsRequests) {
  const std::vector<int> m70Options = {0x90, 0x91, 0x92, 0x94, 0x9A, 0x99, 0x98};
  std::vector<int> allOptions;
  for (int o = 0x90; o <= 0x9A; ++o) allOptions.push_back(o);
  std::vector<std::string> m70Adc;
  for (int cell = 0x40; cell <= 0x45; ++cell) m70Adc.push_back(kwp({0x85, 0x11, 0xF1, 0x23, 0x00, 0xF8, cell, 0x01}));

  const EntryCase cases[] = {
      // M7.0: connect is wake-up, session, timing (3 frames)
      {kM70E2, "m70-e2", "choose Identification\nstay 1\n", identification_requests(0x11, m70Options)},
      {kM70E2, "m70-e2", "choose 2\nleave\nchoose 3\nleave\n", {"84 11 F1 18 00 FF 00 9D", "84 11 F1 18 00 FF 00 9D"}},
      {kM70E3, "m70-e3", "choose Clear trouble codes\nyes\n", {"83 11 F1 14 FF 00 98"}},
      {kM70E3, "m70-e3", "choose Live data\ntick 1\nstay 2\nback\n", {"82 11 F1 21 01 A6", "82 11 F1 21 01 A6"}},
      // E2 converter list: one request a pass; the first pass takes the frame of the
      // first ticked item, later passes the item past the shown ones (none: item 0)
      {kM70E2, "m70-e2", "choose Converter values\ntick 3 5\nstay 2\nback\n", {m70Adc[2], m70Adc[0]}},
      // E3 converter list: one request per shown item
      {kM70E3, "m70-e3", "choose Converter values\ntick 2 6\nstay 1\nback\n", {m70Adc[1], m70Adc[5]}},
      // M7.9.7: connect is wake-up, session, timing (3 frames)
      {kM797E2, "m797-e2", "choose Identification\nstay 1\n", identification_requests(0x10, allOptions)},
      {kM797E3, "m797-e3", "choose Trouble codes\nleave\n", {"84 10 F1 18 00 FF 00 9C"}},
      {kM797E3, "m797-e3", "choose Clear trouble codes\nyes\n", {"83 10 F1 14 FF 00 97"}},
      {kM797E2, "m797-e2", "choose Live data\ntick 2\nstay 1\nback\n", {"82 10 F1 21 01 A5"}},
      {kM797E3, "m797-e3", "choose Converter values\ntick all\nstay 1\nback\n", {"82 10 F1 21 03 A7"}},
      {kM797E3, "m797-e3", "choose Immobiliser data\nstay 2\n", {"82 10 F1 21 A0 44", "82 10 F1 21 A0 44"}},
      // M7.2: connect is the wake-up only (1 frame)
      {kM72, "m72", "choose Identification\nstay 1\n", identification_requests(0x10, allOptions)},
      {kM72, "m72", "choose Current trouble codes\n", {"82 10 F1 21 01 A5"}},
      {kM72, "m72", "choose Stored trouble codes\nleave\n", {"84 10 F1 18 00 FF 00 9C"}},
      {kM72, "m72", "choose Live data\ntick 1\nstay 1\nback\n", {"82 10 F1 21 01 A5"}},
      {kM72, "m72", "choose Converter values\ntick 1\nstay 1\nback\n", {"82 10 F1 21 03 A7"}},
  };
  for (const EntryCase &c : cases) {
    auto s = e2e::session(c.ecu, c.car, c.script);
    s.carOptions.push_back({"dtc", "0102"});
    auto r = e2e::bench().run(s);
    const size_t connect = c.ecu == kM72 ? 1 : 3;
    EXPECT_EQ(between_connect_and_stop(r.trace, connect), c.requests) << c.car << ": " << c.script;
    EXPECT_THAT(r.transcript, ::testing::Not(HasSubstr("! script line"))) << c.car << ": " << c.script;
  }
}

TEST(BoschM7Menus, ConnectSequencesOfTheTwoSessionFamilies) {
  auto m70 = e2e::bench().run(e2e::session(kM70E3, "m70-e3", "back\n"));
  EXPECT_EQ(e2e::sent(m70.trace), (std::vector<std::string>{"81 11 F1 81 04", "83 11 F1 10 81 14 2A",
                                                            "87 11 F1 83 03 32 50 01 14 00 A6", "81 11 F1 82 05"}));
  EXPECT_THAT(m70.trace, HasSubstr("fast-init pattern: mode 2, 26 ms low, 25 ms high"));
  EXPECT_THAT(m70.trace, HasSubstr("keep-alive armed: 81 11 F1 3E C1"));
  auto m797 = e2e::bench().run(e2e::session(kM797E2, "m797-e2", "back\n"));
  EXPECT_EQ(e2e::sent(m797.trace), (std::vector<std::string>{"81 10 F1 81 03", "83 10 F1 10 81 14 29",
                                                             "87 10 F1 83 03 00 02 00 14 00 24", "81 10 F1 82 04"}));
}

TEST(BoschM7Menus, M797RetriesEachSetUpRequestOnce) {
  auto once = e2e::session(kM797E3, "m797-e3", "back\n");
  once.faults.push_back({.kind = "no-answer", .sid = 0x10, .count = 1});
  auto r = e2e::bench().run(once);
  EXPECT_EQ(e2e::times_sent(r.trace, "83 10 F1 10 81 14 29"), 2);
  EXPECT_EQ(e2e::blocks(r.transcript, "[menu").size(), 1u);

  auto twice = e2e::session(kM797E3, "m797-e3", "back\n");
  twice.faults.push_back({.kind = "no-answer", .sid = 0x83, .count = 2});
  r = e2e::bench().run(twice);
  EXPECT_EQ(e2e::times_sent(r.trace, "87 10 F1 83 03 00 02 00 14 00 24"), 2);
  EXPECT_TRUE(e2e::blocks(r.transcript, "[menu").empty());
  EXPECT_EQ(e2e::messages(r.transcript).back(),
            "[message, style 1] Communication error | Communication with the control unit failed");
}

TEST(BoschM7Menus, M70SessionRefusalEndsTheConnect) {
  auto s = e2e::session(kM70E2, "m70-e2", "back\n");
  s.faults.push_back({.kind = "no-answer", .sid = 0x10});
  auto r = e2e::bench().run(s);
  EXPECT_EQ(e2e::sent(r.trace), (std::vector<std::string>{"81 11 F1 81 04", "83 11 F1 10 81 14 2A"}));
  EXPECT_TRUE(e2e::blocks(r.transcript, "[menu").empty());
}

TEST(BoschM7Menus, LiveValuesOfEachFamily) {
  struct Case {
    int ecu;
    const char *car;
    const char *ticks;
    std::vector<std::string> shown;
  };
  const Case cases[] = {
      {kM70E2,
       "m70-e2",
       "1 5 6",
       {"Operating mode (1 warm-up, 2 idle): 2", "Coolant temperature, °C: 90.0", "Ignition advance, °: 12.0"}},
      {kM797E3,
       "m797-e3",
       "2 5 9",
       {"Coolant temperature, °C: 90.00", "Battery voltage, V: 14.0", "Engine speed, rpm: 840.0"}},
      {kM72, "m72", "1 2 4", {"Coolant temperature, °C: 90", "Air/fuel ratio: 14.70", "Engine speed, rpm: 840"}},
  };
  for (const Case &c : cases) {
    auto r = e2e::bench().run(
        e2e::session(c.ecu, c.car, std::string("choose Live data\ntick ") + c.ticks + "\nstay 1\nback\n"));
    EXPECT_EQ(e2e::stream_pass(r.transcript), c.shown) << c.car;
  }
}

TEST(BoschM7Menus, M72CurrentFaultBitsUseTheirOwnCodeBase) {
  auto s = e2e::session(kM72, "m72", "choose Current trouble codes\nleave\n");
  s.carOptions.push_back({"faults", "01 00 00 80"});
  auto r = e2e::bench().run(s);
  auto lists = e2e::blocks(r.transcript, "[trouble codes");
  ASSERT_EQ(lists.size(), 1u);
  EXPECT_THAT(lists[0], ::testing::Not(HasSubstr("missing")));
  EXPECT_EQ(std::count(lists[0].begin(), lists[0].end(), '\n'), 3);  // two codes and the answer line
}

}  // namespace
