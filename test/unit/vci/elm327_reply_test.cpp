// Every text an ELM327 prints for a request has one outcome, and a hex line counts as an
// answer only when its length and checksum hold.
#include "elm327_reply.h"

#include <gtest/gtest.h>

namespace {

using vci::AdapterFrame;
using vci::ReplyKind;

struct ReplyCase {
  const char *text;  // what the adapter printed before its prompt
  ReplyKind kind;
  std::vector<AdapterFrame> frames;
};

class AdapterReplies : public ::testing::TestWithParam<ReplyCase> {};

TEST_P(AdapterReplies, HaveTheirOneOutcome) {
  const ReplyCase &c = GetParam();
  const auto r = vci::read_reply(vci::reply_lines(c.text));
  EXPECT_EQ(r.kind, c.kind) << c.text;
  EXPECT_EQ(r.frames, c.frames) << c.text;
}

INSTANTIATE_TEST_SUITE_P(
    Texts, AdapterReplies,
    ::testing::Values(
        // Answers: short and four-byte headers, with or without spaces, after the adapter's own init.
        ReplyCase{"83F110C1EF8FC3\r", ReplyKind::Frames, {{0x83, 0xF1, 0x10, 0xC1, 0xEF, 0x8F, 0xC3}}},
        ReplyCase{"BUS INIT: ...OK\r83 F1 10 C1 EF 8F C3\r\r",
                  ReplyKind::Frames,
                  {{0x83, 0xF1, 0x10, 0xC1, 0xEF, 0x8F, 0xC3}}},
        ReplyCase{"80F110026101E5\r", ReplyKind::Frames, {{0x80, 0xF1, 0x10, 0x02, 0x61, 0x01, 0xE5}}},
        ReplyCase{"SEARCHING...\r83F1107F21789C\r83F110610102E8\r",
                  ReplyKind::Frames,
                  {{0x83, 0xF1, 0x10, 0x61, 0x01, 0x02, 0xE8}}},
        // Only "response pending": the real answer is still to come.
        ReplyCase{"83F1107F21789C\r", ReplyKind::Pending, {}},
        // A wrong checksum or a frame cut short is asked for again, never handed up.
        ReplyCase{"83F110C1EF8FC4\r", ReplyKind::Repeat, {}}, ReplyCase{"83F110C1EF8F\r", ReplyKind::Repeat, {}},
        ReplyCase{"STOPPED\r", ReplyKind::Repeat, {}}, ReplyCase{"BUFFER FULL\r", ReplyKind::Repeat, {}},
        ReplyCase{"83F110C1EF8FC3\r<DATA ERROR\r", ReplyKind::Repeat, {}},
        ReplyCase{"<RX ERROR\r", ReplyKind::Repeat, {}}, ReplyCase{"NO DATA\r", ReplyKind::NoData, {}},
        ReplyCase{"?\r", ReplyKind::Refused, {}}, ReplyCase{"BUS ERROR\r", ReplyKind::BusFault, {}},
        ReplyCase{"CAN ERROR\r", ReplyKind::BusFault, {}}, ReplyCase{"FB ERROR\r", ReplyKind::BusFault, {}},
        ReplyCase{"BUS INIT: ...ERROR\r", ReplyKind::InitFailed, {}},
        ReplyCase{"UNABLE TO CONNECT\r", ReplyKind::InitFailed, {}}, ReplyCase{"LV RESET\r", ReplyKind::Reset, {}},
        ReplyCase{"\rELM327 v1.5\r", ReplyKind::Reset, {}}, ReplyCase{"OK\r", ReplyKind::Ok, {}},
        ReplyCase{"12.6V\r", ReplyKind::Text, {}}));

}  // namespace
