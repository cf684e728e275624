// M7.0 E2 and E3 data lists and their converter list.
#include "formula_test_support.h"

namespace vaz::test {
namespace {

class M70Formulas : public TextLibTest {};

TEST_F(M70Formulas, E2DataList) {
  expect_cases(CalCd_BOSCH_M70_ENG, {
                                        {1, {{5, 7}}, "7"},
                                        {6, {{16, 0}}, "108.0"},
                                        {6, {{16, 255}}, "-83.2"},
                                        {8, {{18, 255}}, "99.0"},
                                        {11, {{21, 0x01}, {22, 0x00}}, "6.14"},
                                        {11, {{21, 0x53}, {22, 0xB0}}, "513.77"},  // 513.76 in double
                                        {15, {{26, 0}}, "-128"},
                                        {23, {{34, 255}}, "99.6"},
                                        {24, {{37, 0x01}}, text(0xFE552001)},
                                        {28, {{37, 0x20}}, text(0xFE552001)},
                                        {29, {{37, 0x7F}}, text(0xFE552002)},
                                        {34, {{42, 0x40}}, text(0xFE552001)},
                                    });
}

TEST_F(M70Formulas, E3DataList) {
  expect_cases(CalCd_BOSCH_M70_E3_ENG, {
                                           {6, {{16, 255}}, "-83.2"},
                                           {8, {{18, 255}}, "99.6"},
                                           {14, {{25, 0}}, "-128"},
                                           {21, {{32, 0x80}}, "-2.032000"},
                                           {21, {{32, 0xFF}}, "0.000000"},
                                           {21, {{32, 0x7F}}, "2.032000"},
                                           {26, {{44, 1}, {45, 5}}, "26.1"},
                                           {27, {{46, 1}, {47, 0}}, "192.00"},
                                           {35, {{55, 0x12}, {56, 0x34}}, "4660"},
                                           {45, {{67, 128}, {68, 250}}, "1.000"},
                                           {48, {{72, 0xFF}, {73, 0xFF}}, "-0.001"},
                                           {48, {{72, 0x80}, {73, 0x00}}, "-32.768"},
                                           {48, {{72, 0x01}, {73, 0x01}}, "0.257"},
                                           {52, {{79, 0x80}, {80, 0}}, "-2.032000"},
                                           {56, {{84, 0x80}}, "-1.28"},
                                           {62, {{35, 0x08}}, "1"},
                                           {62, {{35, 0xF7}}, "0"},
                                           {72, {{36, 0x40}}, text(0xFE552003)},
                                           {72, {{36, 0x00}}, text(0xFE552002)},
                                           {76, {{37, 0x08}}, text(0xFE552004)},
                                           {78, {{37, 0x40}}, text(0xFE552011)},
                                           {88, {{40, 0x01}}, text(0xFE552097)},
                                           {91, {{40, 0x00}}, text(0xFE552098)},
                                           {95, {{74, 0x08}}, text(0xFE552003)},
                                       });
}

TEST_F(M70Formulas, ConverterListReadsTheFirstDataByte) {
  expect_cases(CalCd_BOSCHM70_ADC_ENG,
               {{1, {{4, 255}}, "4.98"}, {4, {{4, 255}}, "24.22"}, {5, {{4, 255}}, "1.15"}, {6, {{4, 128}}, "2.50"}});
}

TEST_F(M70Formulas, OutOfRangeItems) {
  EXPECT_EQ(run_item(CalCd_BOSCH_M70_ENG, 35, {}), kUntouched);
  EXPECT_EQ(run_item(CalCd_BOSCHM70_ADC_ENG, 7, {}), kUntouched);
  EXPECT_EQ(run_item(CalCd_BOSCH_M70_E3_ENG, 96, {}), "???");
  EXPECT_EQ(run_item(CalCd_BOSCH_M70_E3_ENG, 0, {}), "???");
}

}  // namespace
}  // namespace vaz::test
