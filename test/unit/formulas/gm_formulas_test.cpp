// GM ISFI and EFI data and status lists: rows read the ALDL answer in place,
// high byte first, with the out-of-range behaviour of each list and the zero
// divisors of the ISFI list.
#include <cstdio>
#include <cstring>

#include "formula_test_support.h"

namespace vaz::test {
namespace {

// Bytes (position in A, value) of an answer whose frame starts at A[0].
using Raw = std::vector<std::pair<int, int>>;

std::string run_raw(CalcFn fn, u16 item, const Raw &a) {
  AnswerBuf buf{};
  buf[0] = 0xF4;  // device identifier
  buf[1] = 0x95;  // ALDL length byte
  buf[2] = 0x01;  // mode 1
  for (const auto &[pos, value] : a) buf[static_cast<std::size_t>(pos)] = static_cast<u8>(value);
  char out[256];
  std::snprintf(out, sizeof out, "%s", kUntouched);
  fn(item, buf.data(), out, 0, 0);
  return out;
}

struct RawCase {
  u16 item;
  Raw a;
  std::string expected;
};

class GmFormulas : public TextLibTest {
 protected:
  void expect_raw(CalcFn fn, const std::vector<RawCase> &cases) {
    for (const RawCase &c : cases) { EXPECT_EQ(run_raw(fn, c.item, c.a), c.expected) << "item " << c.item; }
  }
};

TEST_F(GmFormulas, IsfiDataItems) {
  expect_raw(CalCd_GM_ISFI_ENG, {
                                    {1, {{19, 0}}, "-40"},
                                    {1, {{19, 255}}, "151"},
                                    {3, {{21, 100}}, "35"},
                                    {4, {{22, 255}}, "5.00"},
                                    {5, {{23, 128}}, "50"},
                                    {6, {{24, 3}}, "37"},
                                    {7, {{25, 0x03}, {26, 0xE8}}, "3932"},
                                    {9, {{28, 3}}, "13"},
                                    {11, {{30, 0}}, "-100"},
                                    {11, {{30, 128}}, "0"},
                                    {11, {{30, 127}}, "0"},
                                    {11, {{30, 255}}, "99"},
                                    {12, {{31, 0}}, "-100"},
                                    {16, {{35, 255}}, "99"},
                                    {19, {{38, 123}}, "12.3"},
                                    {20, {{39, 0x01}, {40, 0x00}}, "90.0"},
                                    {21, {{41, 0x01}, {42, 0x00}}, "3.91"},
                                    {22, {{43, 0x00}, {44, 0x10}}, "102.4"},
                                    {23, {{45, 0x12}, {46, 0x34}}, "4660"},
                                    {24, {{47, 0x01}, {48, 0x80}}, "1.5"},
                                    {25, {{49, 0xFF}, {50, 0xFF}}, "256.0"},
                                    {27, {{52, 7}}, "7"},
                                    {28, {{3, 0x01}, {4, 0x02}}, "258"},
                                });
}

TEST_F(GmFormulas, IsfiZeroDivisorsPrintSaturatedAndInfinity) {
  expect_raw(CalCd_GM_ISFI_ENG, {
                                    {7, {{25, 0}, {26, 0}}, "2147483647"},
                                    {22, {{43, 0}, {44, 0}}, "inf"},
                                });
}

TEST_F(GmFormulas, IsfiReadsTheAnswerInPlaceNotFromADataStart) {
  // A Bosch long-form format byte at A[2] must not shift the GM rows.
  expect_raw(CalCd_GM_ISFI_ENG, {{28, {{2, 0x80}, {3, 0x00}, {4, 0x05}}, "5"}});
}

TEST_F(GmFormulas, IsfiOutOfRangeWritesQuestionMarks) {
  expect_raw(CalCd_GM_ISFI_ENG, {{0, {}, "???"}, {29, {}, "???"}});
}

TEST_F(GmFormulas, EfiDataItems) {
  expect_raw(CalCd_GM_EFI_ENG, {
                                   {1, {{3, 0x12}, {4, 0x34}}, "4660"},
                                   {2, {{8, 0}}, "-40"},
                                   {4, {{10, 255}}, "4.98"},
                                   {5, {{11, 128}}, "50"},
                                   {6, {{12, 4}}, "100"},
                                   {7, {{13, 0xFF}, {14, 0xFF}}, "1000"},
                                   {7, {{13, 0x80}, {14, 0x00}}, "500"},
                                   {8, {{15, 10}}, "16"},
                                   {9, {{16, 99}, {17, 10}}, "44"},
                                   {11, {{19, 3}}, "2.3"},
                                   {12, {{20, 0}}, "-128"},
                                   {12, {{20, 255}}, "127"},
                                   {14, {{22, 255}}, "149"},
                                   {17, {{25, 3}}, "75"},
                                   {18, {{26, 255}}, "99"},
                                   {19, {{27, 255}}, "100"},
                                   {22, {{30, 0}}, "10"},
                                   {25, {{33, 7}}, "0.7"},
                                   {26, {{34, 0}}, "66.0"},
                                   {26, {{34, 255}}, "-23.6"},
                                   {29, {{37, 0x80}, {38, 0x00}}, "500"},
                                   {31, {{41, 0x00}, {42, 0xFF}}, "255"},
                                   {32, {{43, 255}}, "100"},
                                   {34, {{45, 0x80}, {46, 0x00}}, "500.0"},
                                   {35, {{47, 0xFF}, {48, 0xFF}}, "1000.0"},
                                   {38, {{58, 9}}, "9"},
                                   {39, {{66, 255}}, "89"},
                                   {40, {{67, 200}}, "200"},
                               });
}

TEST_F(GmFormulas, EfiOutOfRangeWritesNothing) {
  expect_raw(CalCd_GM_EFI_ENG, {{0, {}, kUntouched}, {41, {}, kUntouched}});
}

TEST_F(GmFormulas, IsfiStatusItemsPickTheirTextByBit) {
  expect_raw(CalCd_GM_ISFI_ENG_WORKFLAGS, {
                                              {1, {{53, 0x01}}, text(0xFE552001)},
                                              {1, {{53, 0xFE}}, text(0xFE552002)},
                                              {2, {{53, 0x04}}, text(0xFE552003)},
                                              // Item 5 has its own "clear" text.
                                              {5, {{54, 0x01}}, text(0xFE552003)},
                                              {5, {{54, 0xFE}}, text(0xFE552005)},
                                              {20, {{57, 0x20}}, text(0xFE552004)},
                                              {20, {{57, 0x00}}, text(0xFE552003)},
                                              {30, {{58, 0x80}}, text(0xFE552003)},
                                              {39, {{61, 0x40}}, text(0xFE552095)},
                                              {39, {{61, 0x00}}, text(0xFE552094)},
                                              {40, {{61, 0x80}}, text(0xFE552006)},
                                              {40, {{61, 0x00}}, text(0xFE552005)},
                                              {44, {{62, 0x10}}, text(0xFE552002)},
                                              {44, {{62, 0x00}}, text(0xFE552001)},
                                              {58, {{65, 0x80}}, text(0xFE552003)},
                                              {58, {{65, 0x7F}}, text(0xFE552004)},
                                          });
}

TEST_F(GmFormulas, EfiStatusItemsPickOnOffByBit) {
  expect_raw(CalCd_GM_EFI_ENG_WORKFLAGS, {
                                             {1, {{51, 0x40}}, text(0xFE552001)},
                                             {1, {{51, 0xBF}}, text(0xFE552002)},
                                             {2, {{40, 0x02}}, text(0xFE552001)},
                                             {17, {{57, 0x80}}, text(0xFE552001)},
                                             {31, {{64, 0x10}}, text(0xFE552001)},
                                             {31, {{64, 0xEF}}, text(0xFE552002)},
                                         });
}

TEST_F(GmFormulas, StatusListsOutOfRangePrintTextZero) {
  for (CalcFn fn : {CalCd_GM_ISFI_ENG_WORKFLAGS, CalCd_GM_EFI_ENG_WORKFLAGS}) { expect_raw(fn, {{0, {}, text(0)}}); }
  expect_raw(CalCd_GM_ISFI_ENG_WORKFLAGS, {{59, {}, text(0)}});
  expect_raw(CalCd_GM_EFI_ENG_WORKFLAGS, {{32, {}, text(0)}});
}

TEST(GmFormulasWithoutTextLib, StateTextIsEmptyWhenTheSlotIsUnbound) {
  GetTextFromTextLib = nullptr;
  EXPECT_EQ(run_raw(CalCd_GM_ISFI_ENG_WORKFLAGS, 1, {{53, 1}}), "");
  EXPECT_EQ(run_raw(CalCd_GM_EFI_ENG_WORKFLAGS, 32, {}), "");
}

}  // namespace
}  // namespace vaz::test
