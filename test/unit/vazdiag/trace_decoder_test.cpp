// The wire-trace decoder: frame layouts, checksums verified both ways, service
// names of requests, answers and refusals, and lines it must leave alone.
#include "trace_decoder.h"

#include <gtest/gtest.h>

#include <sstream>

using vazdiag::describeFrame;

namespace {

TEST(TraceDecoder, KwpRequestsAndAnswers) {
  auto n = describeFrame({0x82, 0x10, 0xF1, 0x21, 0x01, 0xA5}, true);
  EXPECT_TRUE(n.parsed);
  EXPECT_TRUE(n.checksumOk);
  EXPECT_EQ(n.text, "tester to ECU: KWP F1->10 ReadDataByLocalIdentifier (21) 01; checksum A5 ok");

  n = describeFrame({0x81, 0x11, 0xF1, 0x81, 0x04}, true);
  EXPECT_EQ(n.text, "tester to ECU: KWP F1->11 StartCommunication (81); checksum 04 ok");

  n = describeFrame({0x83, 0xF1, 0x10, 0xC1, 0xEF, 0x8F, 0xC3}, false);
  EXPECT_EQ(n.text, "ECU to tester: KWP 10->F1 positive response to StartCommunication (81): EF 8F; checksum C3 ok");

  // Long form: format 80, a length byte after the source address.
  n = describeFrame({0x80, 0xF1, 0x10, 0x03, 0x61, 0x01, 0x00, 0xE6}, false);
  EXPECT_TRUE(n.checksumOk) << n.text;
  EXPECT_EQ(n.text,
            "ECU to tester: KWP 10->F1 positive response to ReadDataByLocalIdentifier (21): 01 00; checksum E6 ok");
}

TEST(TraceDecoder, NegativeAnswerNamesServiceAndCode) {
  // 83 F1 10 7F 21 22: sum 0x246.
  auto n = describeFrame({0x83, 0xF1, 0x10, 0x7F, 0x21, 0x22, 0x46}, false);
  EXPECT_EQ(n.text,
            "ECU to tester: KWP 10->F1 negative response to ReadDataByLocalIdentifier (21): 22 "
            "conditionsNotCorrect-requestSequenceError; checksum 46 ok");
}

TEST(TraceDecoder, WrongChecksumsAndBrokenLengthsAreFlagged) {
  auto n = describeFrame({0x82, 0x10, 0xF1, 0x21, 0x01, 0xA6}, true);
  EXPECT_TRUE(n.parsed);
  EXPECT_FALSE(n.checksumOk);
  EXPECT_NE(n.text.find("checksum A6 WRONG, expected A5"), std::string::npos) << n.text;

  n = describeFrame({0x83, 0x10, 0xF1, 0x21, 0x01, 0xA5}, true);  // announces 3 service bytes, has 2
  EXPECT_FALSE(n.parsed);
  EXPECT_EQ(n.text, "tester to ECU: KWP frame of 6 bytes, its header announces 7");

  n = describeFrame({0x80, 0xF1, 0x10}, false);
  EXPECT_FALSE(n.parsed);
  n = describeFrame({0x12, 0x34}, false);
  EXPECT_FALSE(n.parsed);
  EXPECT_EQ(n.text, "ECU to tester: unknown frame layout (first byte 12)");
}

TEST(TraceDecoder, AldlFrames) {
  auto n = describeFrame({0xF4, 0x57, 0x01, 0x00, 0xB4}, true);
  EXPECT_TRUE(n.checksumOk);
  EXPECT_EQ(n.text, "tester to ECU: ALDL mode 01 read data: 00; checksum B4 ok");
  n = describeFrame({0xF4, 0x56, 0x0A, 0xAC}, true);
  EXPECT_EQ(n.text, "tester to ECU: ALDL mode 0A clear trouble codes; checksum AC ok");
  n = describeFrame({0xF4, 0x56, 0x0A, 0xAD}, true);
  EXPECT_FALSE(n.checksumOk);
  EXPECT_NE(n.text.find("checksum AD WRONG, expected AC"), std::string::npos);
  n = describeFrame({0xF4, 0x58, 0x0A, 0xAC}, true);
  EXPECT_FALSE(n.parsed);
}

TEST(TraceDecoder, WholeTraceKeepsEventsAndCounts) {
  std::istringstream in(
      "     0.000 -- baud rate 10416\n"
      "    50.000 T> 81 10 F1 81 03\n"
      "    87.800 E< 83 F1 10 C1 EF 8F C4\n"
      "   100.000 E< 05 06\n"
      "not a trace line\n");
  std::ostringstream out;
  auto sum = vazdiag::decodeTrace(in, out);
  EXPECT_EQ(sum.frames, 3);
  EXPECT_EQ(sum.badChecksums, 1);
  EXPECT_EQ(sum.unparsed, 1);
  EXPECT_EQ(out.str(),
            "     0.000 -- baud rate 10416\n"
            "    50.000 T> 81 10 F1 81 03\n"
            "             tester to ECU: KWP F1->10 StartCommunication (81); checksum 03 ok\n"
            "    87.800 E< 83 F1 10 C1 EF 8F C4\n"
            "             ECU to tester: KWP 10->F1 positive response to StartCommunication (81): EF 8F; "
            "checksum C4 WRONG, expected C3\n"
            "   100.000 E< 05 06\n"
            "             ECU to tester: unknown frame layout (first byte 05)\n"
            "not a trace line\n"
            "-- 3 frames, 1 with a wrong checksum, 1 not understood\n");
}

}  // namespace
