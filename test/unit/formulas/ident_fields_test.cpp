// Identification fields of the Bosch ECUs.
#include <cstring>

#include "formula_test_support.h"

namespace vaz::test {
namespace {

// An identification answer: frame bytes 0 .. 4 (header, service 0x5A, option),
// then the text.
// The frame's checksum follows the text, and the buffer beyond it holds bytes
// an earlier, longer answer left there.
AnswerBuf ident_answer(const char *textBytes, std::size_t n, bool longForm) {
  AnswerBuf a{};
  a.fill('Z');
  a[0] = 1;
  a[1] = static_cast<u8>(n + (longForm ? 7 : 6));
  a[2] = longForm ? 0x80 : 0x80 + static_cast<u8>(n + 2);
  const std::size_t text = (longForm ? 3 : 2) + 5;
  std::memcpy(a.data() + text, textBytes, n);
  a[text + n] = 0x4B;  // the checksum, 'K'
  return a;
}

std::string info(CalcFn fn, u16 item, const char *textBytes, std::size_t n, bool longForm = false) {
  AnswerBuf a = ident_answer(textBytes, n, longForm);
  char out[256] = "untouched";
  fn(item, a.data(), out, 0, 0);
  return out;
}

constexpr char kText[] = "0261206942ABCDEFGHIJKLMNOPQRSTUVWXYZ";

TEST(IdentFields, FieldLengths) {
  const std::size_t n = sizeof kText - 1;
  EXPECT_EQ(info(CalcInfo_BOSCH_M154_ENG, 1, kText, n), "0261206942ABCDEFGHI");
  EXPECT_EQ(info(CalcInfo_BOSCH_M154_ENG, 6, kText, n), "0261206");
  EXPECT_EQ(info(CalcInfo_BOSCH_M154_ENG, 11, kText, n), "0261206942");
  EXPECT_EQ(info(CalcInfo_BOSCH_M70_ENG, 1, kText, n), "0261206942ABCDEFG");
  EXPECT_EQ(info(CalcInfo_BOSCH_M70_ENG, 5, kText, n), "026120");
  EXPECT_EQ(info(CalcInfo_BOSCH_M70_ENG, 7, kText, n), "0");
  EXPECT_EQ(info(CalcInfo_BOSCH_M797_E2_ENG, 3, kText, n), "0261206942AB");
  EXPECT_EQ(info(CalcInfo_BOSCH_M797_E2_ENG, 6, kText, n), "026120694");
  // Fields the ECU sent shorter than the table's width stop at the frame's end.
  EXPECT_EQ(info(CalcInfo_BOSCH_M797_E2_ENG, 8, "BOSCH    ", 9), "BOSCH    ");
  EXPECT_EQ(info(CalcInfo_BOSCH_M797_E2_ENG, 8, "BOSCH    ", 9, true), "BOSCH    ");
  EXPECT_EQ(info(CalcInfo_BOSCH_M154_ENG, 1, kText, 3), "026");
  EXPECT_EQ(info(CalcInfo_BOSCH_M70_ENG, 7, kText, 0), "");
}

TEST(IdentFields, PackedDecimalField) {
  const char packed[] = {0x12, 0x34, static_cast<char>(0xAB), 0x00, 0x55};
  EXPECT_EQ(info(CalcInfo_BOSCH_M70_ENG, 6, packed, sizeof packed), "1234:;00");
  EXPECT_EQ(info(CalcInfo_BOSCH_M70_ENG, 6, packed, 2), "1234");
}

TEST(IdentFields, UnknownItemsGiveQuestionMarks) {
  EXPECT_EQ(info(CalcInfo_BOSCH_M154_ENG, 12, kText, 10), "???");
  EXPECT_EQ(info(CalcInfo_BOSCH_M154_ENG, 0, kText, 10), "???");
  EXPECT_EQ(info(CalcInfo_BOSCH_M70_ENG, 8, kText, 10), "???");
  EXPECT_EQ(info(CalcInfo_BOSCH_M797_E2_ENG, 12, kText, 10), "???");
}

TEST(IdentFields, LongFormIsReadOneByteFurther) {
  EXPECT_EQ(info(CalcInfo_BOSCH_M70_ENG, 5, kText, sizeof kText - 1, true), "026120");
  // The same bytes read as a short-form answer start one byte earlier.
  AnswerBuf a = ident_answer(kText, sizeof kText - 1, true);
  a[2] = 0x8A;
  a[7] = 'X';
  char out[256];
  CalcInfo_BOSCH_M70_ENG(5, a.data(), out, 0, 0);
  EXPECT_STREQ(out, "X02612");
}

TEST(IdentFields, NulInsideTheFieldEndsTheText) {
  const char withNul[] = {'A', 'B', 0, 'C', 'D', 'E'};
  EXPECT_EQ(info(CalcInfo_BOSCH_M154_ENG, 6, withNul, sizeof withNul), "AB");
}

}  // namespace
}  // namespace vaz::test
