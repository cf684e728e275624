// M7.2 data list, its converter list, and the older list built on M1.5.4N.
#include "formula_test_support.h"

namespace vaz::test {
namespace {

class M72Formulas : public TextLibTest {};

Bytes word_at(int hi, unsigned w) { return {{hi, static_cast<int>(w >> 8)}, {hi + 1, static_cast<int>(w & 0xFF)}}; }

TEST_F(M72Formulas, DataList) {
  expect_cases(CalCd_BOSCH_M72_ENG_1, {
                                          {1, {{13, 0}}, "-40"},
                                          {2, {{14, 0}}, "7.35"},
                                          {8, {{20, 0}}, "0.5000"},
                                          {8, {{20, 255}}, "1.4961"},
                                          {9, {{21, 0xFF}}, "-0.5"},
                                          {13, {{25, 255}}, "1.25"},
                                          {14, {{26, 0x0F}}, "f"},
                                          {15, word_at(27, 1000), "8.00"},
                                          {16, {{29, 0x01}, {30, 0x05}}, "26.0"},
                                          {17, word_at(31, 100), "16.0"},
                                          {18, word_at(33, 49950), "999.00"},
                                          {18, word_at(33, 49951), "0"},
                                          {18, word_at(33, 0), "0"},
                                          {19, word_at(35, 12672), "99.00"},
                                          {19, word_at(35, 12673), "0"},
                                          {19, word_at(35, 0), "0"},
                                          {20, {{37, 0x12}, {38, 0x34}}, "1234"},
                                          {21, {{39, 0}}, "-40"},
                                          {22, {{7, 0x01}}, text(0xFE552003)},
                                          {29, {{7, 0x7F}}, text(0xFE552004)},
                                          {36, {{8, 0x40}}, text(0xFE552095)},
                                          {38, {{24, 0x01}}, text(0xFE552003)},
                                          {39, {{24, 0x01}}, text(0xFE552004)},
                                      });
}

TEST_F(M72Formulas, ConverterListItem7ReadsD15) {
  expect_cases(CalCd_BOSCH_M72_ADC_ENG,
               {{1, {{5, 255}}, "4.98"}, {7, {{11, 0}, {15, 255}}, "4.98"}, {7, {{11, 255}, {15, 0}}, "0.00"}});
}

TEST_F(M72Formulas, OlderListRepeatsM154NAndItsFirstItem) {
  for (u16 item = 1; item <= 37; ++item) {
    const Bytes d{{7, 0x5A}, {8, 0xA5}, {13, item}, {14, 3 * item}, {21, 0x90}, {26, item},
                  {27, 7},   {28, 1},   {33, 9},    {34, 10},       {36, 20}};
    EXPECT_EQ(run_item(CalCd_BOSCH_M72_ENG, item, d), run_item(CalCd_BOSCH_M154N_ENG, item, d)) << "item " << item;
  }
  EXPECT_EQ(run_item(CalCd_BOSCH_M72_ENG, 38, {{13, 0}}), "-40");
  EXPECT_EQ(run_item(CalCd_BOSCH_M72_ENG, 39, {}), kUntouched);
}

TEST_F(M72Formulas, OutOfRangeItemsWriteNothing) {
  EXPECT_EQ(run_item(CalCd_BOSCH_M72_ENG_1, 40, {}), kUntouched);
  EXPECT_EQ(run_item(CalCd_BOSCH_M72_ENG_1, 0, {}), kUntouched);
  EXPECT_EQ(run_item(CalCd_BOSCH_M72_ADC_ENG, 8, {}), kUntouched);
}

}  // namespace
}  // namespace vaz::test
