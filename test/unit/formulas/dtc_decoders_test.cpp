// Trouble-code decoders: bit-mapped answers (GM and the Bosch current codes)
// and KWP2000 count-and-record answers.
#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "dtc_fakes.h"

namespace vaz::test {
namespace {

constexpr u32 kNone = 0xFFFFFFFFu;

class DtcDecoders : public ::testing::Test {
 protected:
  void SetUp() override {
    std::memset(&TOKEN_OLD, 0, sizeof TOKEN_OLD);
    file.bind();
  }
  void TearDown() override { FakeCodeFile::unbind(); }

  std::vector<u32> codes() const { return {TOKEN_OLD.dwDtcCode, TOKEN_OLD.dwDtcCode + TOKEN_OLD.cDtcNum}; }
  void expect_no_status() const {
    for (unsigned i = 0; i < TOKEN_OLD.cDtcNum; ++i) EXPECT_EQ(TOKEN_OLD.dwDtcState[i], kNone);
  }

  FakeCodeFile file;
  u8 *a = TOKEN_OLD.bAnsBuf;
};

TEST_F(DtcDecoders, GmBitMaps) {
  struct Case {
    int (*decoder)();
    u32 base;
    std::vector<std::pair<int, int>> bytes;
    std::set<u32> known;
    std::vector<u32> expected;
  };
  const std::vector<Case> cases{
      // Both bits known: listed low bit first.
      {CalDtc_GM_ISFI_ENG_CUR, 0x58300000, {{5, 0x05}}, {0x58300501, 0x58300504}, {0x58300501, 0x58300504}},
      // The first set bit unknown hides the higher bits of the byte.
      {CalDtc_GM_ISFI_ENG_CUR, 0x58300000, {{6, 0x03}}, {0x58300602}, {}},
      // ...but not the next byte.
      {CalDtc_GM_ISFI_ENG_CUR, 0x58300000, {{6, 0x03}, {7, 0x80}}, {0x58300602, 0x58300780}, {0x58300780}},
      // A known bit before an unknown one is kept.
      {CalDtc_GM_ISFI_ENG_CUR, 0x58300000, {{10, 0x07}}, {0x58300A01, 0x58300A04}, {0x58300A01}},
      // Bytes outside the scanned run are ignored.
      {CalDtc_GM_ISFI_ENG_CUR, 0x58300000, {{4, 0xFF}, {11, 0xFF}}, {0x58300401, 0x58300B01}, {}},
      // Stored codes: byte k + 7 gives the same text ID as byte k.
      {CalDtc_GM_ISFI_ENG_STORE, 0x58300000, {{5, 0x01}, {12, 0x02}}, {0x58300501, 0x58300502}, {0x58300502}},
      {CalDtc_GM_ISFI_ENG_STORE, 0x58300000, {{17, 0x80}}, {0x58300A80}, {0x58300A80}},
      {CalDtc_GM_EFI, 0x58400000, {{7, 0x10}, {8, 0x01}}, {0x58400710, 0x58400801}, {0x58400710}},
  };
  for (const Case &c : cases) {
    std::memset(&TOKEN_OLD, 0, sizeof TOKEN_OLD);
    TOKEN_OLD.dwDtcBase = c.base;
    for (const auto &[pos, value] : c.bytes) a[pos] = static_cast<u8>(value);
    file.known = c.known;
    c.decoder();
    EXPECT_EQ(codes(), c.expected);
    expect_no_status();
  }
}

TEST_F(DtcDecoders, BoschCurrentCodesShiftTheAnswer) {
  TOKEN_OLD.dwDtcBase = 0x58600000;
  file.known = {0x58600901};
  // Short form: A[2] = 0x83 becomes S[0], so S[9] is A[11].
  a[0] = 1;
  a[1] = 0x20;
  a[2] = 0x83;
  a[5] = 0x61;
  a[11] = 0x01;
  CalDtc_BOSCH_M154_ENG_CURRENT();
  EXPECT_EQ(a[0], 0x83);
  EXPECT_EQ(a[3], 0x61);
  EXPECT_EQ(codes(), std::vector<u32>{0x58600901});
  expect_no_status();

  // Long form: the format byte goes too, so S[3] is still the service identifier.
  std::memset(&TOKEN_OLD.bAnsBuf, 0, VAZ_ANS_SIZE);
  a[0] = 1;
  a[1] = 0x20;
  a[2] = 0x80;
  a[6] = 0x61;
  a[12] = 0x01;
  CalDtc_BOSCH_M154_ENG_CURRENT();
  EXPECT_EQ(a[3], 0x61);
  EXPECT_EQ(codes(), std::vector<u32>{0x58600901});
}

TEST_F(DtcDecoders, M72ScansFourBytesM154Three) {
  file.known = {0x58C00C01, 0x58600C01};
  auto load = [this](u32 base) {
    std::memset(&TOKEN_OLD, 0, sizeof TOKEN_OLD);
    TOKEN_OLD.dwDtcBase = base;
    a[0] = 1;
    a[1] = 0x20;
    a[2] = 0x90;
    a[14] = 0x01;  // S[12]
  };
  load(0x58C00000);
  CalDtc_BOSCH_M72_ENG_CURRENT();
  EXPECT_EQ(codes(), std::vector<u32>{0x58C00C01});
  load(0x58600000);
  CalDtc_BOSCH_M154_ENG_CURRENT();
  EXPECT_TRUE(codes().empty());
}

TEST_F(DtcDecoders, BitMapKeepsTheFirst32Codes) {
  TOKEN_OLD.dwDtcBase = 0x58300000;
  for (int k = 5; k <= 10; ++k) {
    a[k] = 0xFF;
    for (u32 m = 1; m <= 0x80; m <<= 1) file.known.insert(0x58300000 + k * 256u + m);
  }
  TOKEN_OLD.dwLibCdAddr = 0xA5A5A5A5;
  CalDtc_GM_ISFI_ENG_CUR();
  ASSERT_EQ(TOKEN_OLD.cDtcNum, 32);
  EXPECT_EQ(TOKEN_OLD.dwDtcCode[0], 0x58300501u);
  EXPECT_EQ(TOKEN_OLD.dwDtcCode[31], 0x58300880u);
  EXPECT_EQ(TOKEN_OLD.dwLibCdAddr, 0xA5A5A5A5u);
  expect_no_status();
}

TEST_F(DtcDecoders, UnboundLookupListsNothing) {
  FakeCodeFile::unbind();
  TOKEN_OLD.dwDtcBase = 0x58300000;
  a[5] = 0xFF;
  TOKEN_OLD.cDtcNum = 7;
  CalDtc_GM_ISFI_ENG_CUR();
  EXPECT_EQ(TOKEN_OLD.cDtcNum, 0);
}

TEST_F(DtcDecoders, RecordDecoders) {
  for (auto decoder : {CalDtc_BOSCH_M154_ENG, CalDtc_BOSCH_M70_ENG, CalDtc_BOSCH_M797_E2_ENG}) {
    std::memset(&TOKEN_OLD, 0, sizeof TOKEN_OLD);
    TOKEN_OLD.dwDtcBase = 0x58200000;
    const u8 answer[] = {0x8B, 0xF1, 0x10, 0x58, 2, 0x01, 0x02, 0xE0, 0x03, 0x04, 0x21};
    std::memcpy(a, answer, sizeof answer);
    decoder();
    EXPECT_EQ(codes(), (std::vector<u32>{0x58200102, 0x58200304}));
    expect_no_status();
    EXPECT_EQ(file.opens, 0) << "records are listed without a lookup";

    a[4] = 0;
    decoder();
    EXPECT_EQ(TOKEN_OLD.cDtcNum, 0);
  }
}

TEST_F(DtcDecoders, RecordDecoderKeepsTheFirst32Codes) {
  TOKEN_OLD.dwDtcBase = 0x58700000;
  a[4] = 255;
  for (int i = 0; i < 100; ++i) {
    a[5 + 3 * i] = static_cast<u8>(i);
    a[6 + 3 * i] = static_cast<u8>(i + 1);
  }
  TOKEN_OLD.dwLibCdAddr = 0xA5A5A5A5;
  CalDtc_BOSCH_M70_ENG();
  ASSERT_EQ(TOKEN_OLD.cDtcNum, 32);
  EXPECT_EQ(TOKEN_OLD.dwDtcCode[31], 0x58701F20u);
  EXPECT_EQ(TOKEN_OLD.dwLibCdAddr, 0xA5A5A5A5u);
  expect_no_status();
}

}  // namespace
}  // namespace vaz::test
