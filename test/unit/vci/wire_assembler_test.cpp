// Frame assembly of the serial lines: every input split at every byte boundary gives the
// same frames, echoes are taken off (also when they share a read with the answer), the
// KWP2000 length rules and the ALDL length code decide where a frame ends, and a gap
// longer than P1max cuts a frame off. Noise, a false start or a frame to another tester
// never costs the answer behind it: the bytes are scanned again.
#include "wire_assembler.h"

#include "hex_bytes.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using vci::WireAssembler;
using vci::WireBytes;
using vci::WireProtocol;

struct Case {
  const char *name;
  WireProtocol protocol;
  const char *echo;                 // bytes the tester sent
  const char *input;                // what the line hands back: echo, then the ECU's bytes
  std::vector<std::string> frames;  // good frames, in order ("!" prefix: checksum wrong)
  int tester;                       // the tester's address the answers must carry, -1: any
};

const Case kCases[] = {
    {"short form after its echo",
     WireProtocol::Kwp,
     "81 10 F1 81 03",
     "81 10 F1 81 03 83 F1 10 C1 EF 8F C3",
     {"83 F1 10 C1 EF 8F C3"},
     0xF1},
    {"long form with a length byte",
     WireProtocol::Kwp,
     "82 10 F1 21 01 A5",
     "82 10 F1 21 01 A5 80 F1 10 03 61 01 7F 65",
     {"80 F1 10 03 61 01 7F 65"},
     0xF1},
    {"no address bytes", WireProtocol::Kwp, "", "02 7E 00 80", {"02 7E 00 80"}, -1},
    {"pending then answer, two frames",
     WireProtocol::Kwp,
     "",
     "83 F1 10 7F 30 78 AB 82 F1 10 70 01 F4",
     {"83 F1 10 7F 30 78 AB", "82 F1 10 70 01 F4"},
     0xF1},
    {"wrong checksum kept as such", WireProtocol::Kwp, "", "83 F1 10 C1 EF 8F C4", {"!83 F1 10 C1 EF 8F C4"}, 0xF1},
    {"CARB format byte skipped", WireProtocol::Kwp, "", "48 83 F1 10 C1 EF 8F C3", {"83 F1 10 C1 EF 8F C3"}, -1},
    {"noise 00 and FF before the answer",
     WireProtocol::Kwp,
     "",
     "00 FF 83 F1 10 C1 EF 8F C3",
     {"83 F1 10 C1 EF 8F C3"},
     0xF1},
    {"a false start spoilt, the answer inside it found",
     WireProtocol::Kwp,
     "",
     "82 F1 83 F1 10 C1 EF 8F C3",
     {"!82 F1 83 F1 10 C1", "83 F1 10 C1 EF 8F C3"},
     0xF1},
    {"a frame to another tester passed over",
     WireProtocol::Kwp,
     "",
     "82 F2 10 7E 01 03 83 F1 10 C1 EF 8F C3",
     {"83 F1 10 C1 EF 8F C3"},
     0xF1},
    {"ALDL after echo",
     WireProtocol::Aldl,
     "F4 57 01 00 B4",
     "F4 57 01 00 B4 F4 58 01 AA BB 4E",
     {"F4 58 01 AA BB 4E"},
     -1},
    {"ALDL resynchronises on F4", WireProtocol::Aldl, "", "00 13 F4 55 F4 56 0A AC", {"F4 56 0A AC"}, -1},
    {"ALDL answer inside a spoilt frame",
     WireProtocol::Aldl,
     "",
     "F4 57 F4 56 0A AC",
     {"!F4 57 F4 56 0A", "F4 56 0A AC"},
     -1},
};

// Every split of the input into two reads gives the same frames.
TEST(WireAssembler, FramesDoNotDependOnHowReadsSplitTheBytes) {
  for (const Case &c : kCases) {
    const WireBytes echo = hex(c.echo), input = hex(c.input);
    for (std::size_t split = 0; split <= input.size(); ++split) {
      WireAssembler as(c.protocol, 20.0);
      if (c.tester >= 0) as.answers_to(static_cast<std::uint8_t>(c.tester));
      as.expect_echo(echo.data(), echo.size());
      as.feed(input.data(), split, 1.0);
      as.feed(input.data() + split, input.size() - split, 2.0);
      std::vector<std::string> got;
      while (auto f = as.next_frame()) got.push_back((f->checksum_ok ? "" : "!") + text(f->bytes));
      EXPECT_EQ(got, c.frames) << c.name << ", split at " << split;
      EXPECT_EQ(as.echo_pending(), 0u) << c.name;
      EXPECT_FALSE(as.echo_mismatch()) << c.name;
      EXPECT_FALSE(as.receiving()) << c.name;
    }
  }
}

TEST(WireAssembler, AWrongEchoIsReportedAndNeverHandedOn) {
  const WireBytes echo = hex("82 10 F1 21 01 A5"), input = hex("82 10 F0 21 01 A5");
  WireAssembler as(WireProtocol::Kwp, 20.0);
  as.expect_echo(echo.data(), echo.size());
  as.feed(input.data(), input.size(), 1.0);
  EXPECT_TRUE(as.echo_mismatch());
  const auto notes = as.take_notes();
  ASSERT_FALSE(notes.empty());
  EXPECT_EQ(notes[0].text, "echo wrong: sent F1, line gave back F0");
}

TEST(WireAssembler, AGapLongerThanP1maxCutsTheFrameOff) {
  const WireBytes a = hex("83 F1 10"), b = hex("C1 EF 8F C3 83 F1 10 C1 EF 8F C3");
  WireAssembler as(WireProtocol::Kwp, 20.0);
  as.feed(a.data(), a.size(), 10.0);
  as.idle(29.0);  // 19 ms: still the same frame
  EXPECT_TRUE(as.receiving());
  as.feed(b.data(), 4, 29.5);
  ASSERT_TRUE(as.next_frame());

  // Bytes read late (the reader was held up) are no gap: only a silence seen cuts.
  as.feed(b.data() + 4, 3, 40.0);
  as.feed(b.data() + 7, 4, 70.0);
  ASSERT_TRUE(as.next_frame());

  as.feed(b.data() + 4, 3, 80.0);
  as.idle(100.5);  // 20.5 ms without a byte
  EXPECT_FALSE(as.receiving());
  EXPECT_FALSE(as.next_frame());
  const auto notes = as.take_notes();
  ASSERT_EQ(notes.size(), 1u);
  EXPECT_EQ(notes[0].text, "frame cut short after 3 byte(s) (gap longer than 20 ms): dropped");

  // A noise byte that announced a long frame swallowed the answer until the silence: the
  // bytes after it are scanned again and give the answer.
  const WireBytes noisy = hex("00 83 F1 10 C1 EF 8F C3");
  as.feed(noisy.data(), noisy.size(), 200.0);
  EXPECT_FALSE(as.next_frame());
  as.idle(221.0);
  const auto found = as.next_frame();
  ASSERT_TRUE(found);
  EXPECT_EQ(text(found->bytes), "83 F1 10 C1 EF 8F C3");
  EXPECT_TRUE(found->checksum_ok);
  EXPECT_EQ(as.cut_frames(), 2u);
}

TEST(WireAssembler, KwpLengthRules) {
  struct Size {
    const char *bytes;
    int size;
  } sizes[] = {
      {"81", 5}, {"BF", 67}, {"80 F1 10", 0}, {"80 F1 10 FF", 260}, {"80 F1 10 00", -1},
      {"01", 3}, {"00", 0},  {"00 05", 8},    {"40", -1},           {"C2", 6},
  };
  for (const Size &s : sizes) {
    const WireBytes b = hex(s.bytes);
    EXPECT_EQ(vci::kwp_frame_size(b.data(), b.size()), s.size) << s.bytes;
  }
}

}  // namespace
