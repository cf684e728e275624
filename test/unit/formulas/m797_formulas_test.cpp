// M7.9.7 E2 and E3 data lists, converter and immobiliser lists, and the
// readings that can be negative.
#include "formula_test_support.h"

namespace vaz::test {
namespace {

class M797Formulas : public TextLibTest {};

TEST_F(M797Formulas, SharedDataItems) {
  for (CalcFn fn : {CalCd_BOSCH_M797_E2_ENG, CalCd_BOSCH_M797_E3_ENG}) {
    expect_cases(fn, {
                         {2, {{6, 0}}, "-48.00"},
                         {9, {{13, 1}, {14, 0}}, "25.0"},
                         {9, {{13, 4}, {14, 214}}, "123.0"},
                         {11, {{16, 2}}, "-1.5"},
                         // Single-precision results: in double these print 5.9, 1.9, 0.21.
                         {12, {{17, 0}, {18, 250}}, "5.8"},
                         {24, {{35, 0}, {36, 100}}, "2.0"},
                         {34, {{55, 0}, {56, 1}}, "0.22"},
                         {14, {{20, 0xC0}}, "3.00"},
                         {15, {{21, 1}, {22, 0}}, "3.00"},
                         {19, {{27, 0x10}, {28, 0}}, "12.49"},
                         {20, {{29, 0}}, "-0.200"},
                         {20, {{29, 128}}, "0.469"},
                         {20, {{29, 255}}, "1.133"},
                         {21, {{30, 0xFF}, {31, 0xFF}}, "1.000"},
                         {22, {{32, 0xFF}}, "0.000"},
                         {27, {{41, 1}, {42, 0}}, "255"},
                         {27, {{41, 0xFF}, {42, 0xFF}}, "65280"},
                         {32, {{51, 0}, {52, 7}}, "42"},
                         {33, {{53, 1}, {54, 1}}, "100"},
                         {35, {{57, 0xAB}}, "ab"},
                     });
  }
}

TEST_F(M797Formulas, NegativeReadingsMirrorPositiveOnes) {
  for (CalcFn fn : {CalCd_BOSCH_M797_E2_ENG, CalCd_BOSCH_M797_E3_ENG}) {
    expect_cases(fn, {
                         {19, {{27, 0xF0}, {28, 0}}, "-12.49"},
                         {19, {{27, 0xFF}, {28, 0xFF}}, "-0.00"},
                         {26, {{39, 0x01}, {40, 0}}, "146.9"},
                         {26, {{39, 0xFF}, {40, 0}}, "-146.9"},
                         {26, {{39, 0xFF}, {40, 0xF6}}, "-5.8"},
                         {36, {{58, 0xFF}, {59, 0x9C}}, "-0.31"},
                         {37, {{60, 0xFF}, {61, 0x9C}}, "-0.31"},
                         {37, {{60, 0x00}, {61, 0x64}}, "0.31"},
                         {39, {{64, 0xFF}, {65, 0}}, "-12.0"},
                         {39, {{64, 0x01}, {65, 0}}, "12.0"},
                     });
  }
  expect_cases(CalCd_BOSCH_M797_E3_ENG, {
                                            {43, {{73, 0x7F}}, "1.00"},
                                            {43, {{73, 0x9C}}, "-1.00"},
                                            {43, {{73, 0x80}}, "-1.00"},
                                            {43, {{73, 0xFF}}, "0.00"},
                                        });
}

TEST_F(M797Formulas, VariantItems) {
  // Item 10 with the top bit set: E2 drops the bit before scaling, E3 does not.
  EXPECT_EQ(run_item(CalCd_BOSCH_M797_E2_ENG, 10, {{15, 0x80}}), "-128.0");
  EXPECT_EQ(run_item(CalCd_BOSCH_M797_E3_ENG, 10, {{15, 0x80}}), "-32.0");
  EXPECT_EQ(run_item(CalCd_BOSCH_M797_E2_ENG, 10, {{15, 0x7F}}), "95.2");
  expect_cases(CalCd_BOSCH_M797_E2_ENG, {
                                            {40, {{67, 0x01}}, text(0xFE552003)},
                                            {43, {{67, 0x08}}, text(0xFE552001)},
                                            {49, {{68, 0x02}}, text(0xFE552099)},
                                            {50, {{68, 0x00}}, text(0xFE55209C)},
                                            {56, {{69, 0x01}}, text(0xFE552003)},
                                        });
  expect_cases(CalCd_BOSCH_M797_E3_ENG, {
                                            {40, {{70, 3}}, "30"},
                                            {41, {{71, 0}}, "-0.200"},
                                            {42, {{72, 25}}, "1.00"},
                                            {44, {}, "0.000"},
                                            {45, {}, "0.000"},
                                            {46, {{67, 0x01}}, text(0xFE552003)},
                                            {55, {{68, 0x02}}, text(0xFE552099)},
                                            {64, {{69, 0x08}}, text(0xFE552003)},
                                            {65, {{69, 0x40}}, text(0xFE552003)},
                                            {65, {{69, 0x01}}, text(0xFE552004)},
                                        });
}

TEST_F(M797Formulas, ConverterList) {
  expect_cases(CalCd_BOSCH_M797_E2_E3_ADC_ENG, {
                                                   {1, {{5, 56761 >> 8}, {6, 56761 & 0xFF}}, "998.99"},
                                                   {1, {{5, 56762 >> 8}, {6, 56762 & 0xFF}}, "0"},
                                                   {1, {{5, 0}, {6, 0}}, "0"},
                                                   {2, {{7, 255}}, "4.00"},
                                                   {4, {{10, 0xFF}, {11, 0xFF}}, "4.00"},
                                                   {8, {{17, 49999 >> 8}, {18, 49999 & 0xFF}}, "99998"},
                                                   {8, {{17, 50000 >> 8}, {18, 50000 & 0xFF}}, "0"},
                                                   {8, {{17, 0}, {18, 0}}, "0"},
                                                   {9, {}, "-6.27"},
                                                   {10, {{22, 0}, {23, 21}}, "42"},
                                               });
}

TEST_F(M797Formulas, ImmobiliserList) {
  expect_cases(CalCd_BOSCH_M797_E2_E3_IMM_ENG, {
                                                   {1, {{5, 0x12}, {6, 0x34}}, "1234"},
                                                   {2, {{7, 0x01}}, text(0xFE55209E)},
                                                   {2, {{7, 0x00}}, text(0xFE55209D)},
                                                   {3, {{7, 0x02}}, text(0xFE552058)},
                                                   {6, {{7, 0x10}}, text(0xFE552004)},
                                                   {7, {{7, 0x00}}, text(0xFE552003)},
                                               });
}

TEST_F(M797Formulas, OutOfRangeItemsWriteNothing) {
  EXPECT_EQ(run_item(CalCd_BOSCH_M797_E2_ENG, 57, {}), kUntouched);
  EXPECT_EQ(run_item(CalCd_BOSCH_M797_E3_ENG, 66, {}), kUntouched);
  EXPECT_EQ(run_item(CalCd_BOSCH_M797_E2_E3_ADC_ENG, 11, {}), kUntouched);
  EXPECT_EQ(run_item(CalCd_BOSCH_M797_E2_E3_IMM_ENG, 8, {}), kUntouched);
  EXPECT_EQ(run_item(CalCd_BOSCH_M797_E2_E3_IMM_ENG, 0, {}), kUntouched);
}

}  // namespace
}  // namespace vaz::test
