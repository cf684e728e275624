// M1.5.4 family: data lists, converter lists, the data-start rule.
#include "formula_test_support.h"

namespace vaz::test {
namespace {

class M154Formulas : public TextLibTest {};

TEST_F(M154Formulas, DataListValues) {
  expect_cases(CalCd_BOSCH_M154_ENG, {
                                         {1, {{13, 0}}, "-40"},
                                         {1, {{13, 0xFF}}, "215"},
                                         {2, {{14, 0x80}}, "-0.5000"},
                                         {2, {{14, 0x7F}}, "0.4953"},
                                         {4, {{16, 3}}, "120"},
                                         {8, {{20, 0}}, "0.5000"},
                                         {9, {{21, 0xFF}}, "-0.5"},
                                         {9, {{21, 0x80}}, "-64.0"},
                                         {9, {{21, 0x7F}}, "63.5"},
                                         {11, {{23, 0}}, "5.2"},
                                         {13, {{25, 0xE8}, {26, 0x03}}, "8.00"},
                                         {14, {{27, 0x0F}, {28, 0x00}}, "1.5"},
                                         {15, {{29, 0x80}, {30, 0x01}}, "64"},
                                         {16, {{31, 0}, {32, 196}}, "0.00"},
                                         {16, {{31, 0}, {32, 195}}, "998.40"},
                                         {17, {{33, 0x80}, {34, 1}}, "3.00"},
                                         {17, {{33, 0}, {34, 50}}, "0.00"},
                                         {18, {{35, 0xAB}, {36, 0x01}}, "1ab"},
                                     });
}

TEST_F(M154Formulas, StateItemsPickTheirTextByBit) {
  expect_cases(CalCd_BOSCH_M154_ENG, {
                                         {19, {{7, 0x01}}, text(0xFE552003)},
                                         {19, {{7, 0x00}}, text(0xFE552004)},
                                         {21, {{7, 0x04}}, text(0xFE552001)},
                                         {26, {{7, 0x7F}}, text(0xFE552002)},
                                         {32, {{8, 0x20}}, text(0xFE552003)},
                                         {33, {{8, 0x40}}, text(0xFE552095)},
                                         {34, {{8, 0x7F}}, text(0xFE552094)},
                                     });
}

TEST_F(M154Formulas, M154NDataList) {
  expect_cases(CalCd_BOSCH_M154N_ENG, {
                                          {1, {{13, 0}}, "-40"},
                                          {2, {{14, 0}}, "7.35"},
                                          {13, {{27, 100}, {28, 1}}, "2.85"},
                                          {14, {{29, 5}, {30, 1}}, "26.1"},
                                          {16, {{33, 0}, {34, 196}}, "0.00"},
                                          {18, {{37, 0xCD}, {38, 0xAB}}, "abcd"},
                                          {35, {{25, 255}}, "1.245"},
                                          {36, {{26, 0x01}}, text(0xFE552003)},
                                          {37, {{26, 0x01}}, text(0xFE552004)},
                                      });
}

TEST_F(M154Formulas, ConverterLists) {
  expect_cases(CalCd_BOSCH_M154N_ADC_ENG, {{1, {{5, 255}}, "4.98"}, {6, {{10, 128}}, "2.50"}});
  expect_cases(CalCd_BOSCH_M154_ADD_ADC_ENG,
               {{1, {{6, 255}}, "4.980"}, {4, {{9, 255}, {10, 0}}, "0.000"}, {5, {{11, 255}}, "4.980"}});
}

TEST_F(M154Formulas, OutOfRangeItemsWriteNothing) {
  EXPECT_EQ(run_item(CalCd_BOSCH_M154_ENG, 35, {}), kUntouched);
  EXPECT_EQ(run_item(CalCd_BOSCH_M154_ENG, 0, {}), kUntouched);
  EXPECT_EQ(run_item(CalCd_BOSCH_M154N_ENG, 38, {}), kUntouched);
  EXPECT_EQ(run_item(CalCd_BOSCH_M154N_ADC_ENG, 7, {}), kUntouched);
  EXPECT_EQ(run_item(CalCd_BOSCH_M154_ADD_ADC_ENG, 6, {}), kUntouched);
}

TEST_F(M154Formulas, DataStartFollowsTheFormatByte) {
  // Short form: 8A F1 10 61 01 ..., D[13] = A[15].
  AnswerBuf a{};
  a[0] = 1;
  a[1] = 0x30;
  a[2] = 0x8A;
  a[5] = 0x61;
  a[15] = 0;
  a[16] = 0xFF;
  char out[256] = "";
  CalCd_BOSCH_M154_ENG(1, a.data(), out, 0, 0);
  EXPECT_STREQ(out, "-40");
  // Long form: 80 F1 10 0A 61 01 ..., D[13] = A[16].
  a[2] = 0x80;
  CalCd_BOSCH_M154_ENG(1, a.data(), out, 0, 0);
  EXPECT_STREQ(out, "215");
  EXPECT_EQ(run_item(CalCd_BOSCH_M154_ENG, 1, {{13, 0xFF}}, true), "215");
}

TEST_F(M154Formulas, UnboundTextServiceGivesEmptyText) {
  GetTextFromTextLib = nullptr;
  EXPECT_EQ(run_item(CalCd_BOSCH_M154_ENG, 19, {{7, 1}}), "");
}

}  // namespace
}  // namespace vaz::test
