// Reading a clear off the wire trace, and chart axes and marks that stay finite.
#include "svg_chart.h"
#include "wire_frames.h"
#include "workbench/code_column.h"

#include <gtest/gtest.h>

namespace {

TEST(WireFrames, ServiceOfEachFrameForm) {
  struct Case {
    std::vector<std::uint8_t> bytes;
    int sid;
  };
  const Case cases[] = {
      {{0x83, 0x10, 0xF1, 0x14, 0xFF, 0x00, 0x97}, 0x14},  // addressed, length in the format byte
      {{0x80, 0x10, 0xF1, 0x02, 0x21, 0x01, 0xA5}, 0x21},  // addressed, separate length byte
      {{0x02, 0x1A, 0x90, 0xAC}, 0x1A},                    // no addresses
      {{0xF4, 0x56, 0x0A, 0xB2}, 0x0A},                    // ALDL: the mode
      {{0x83, 0x10}, -1},                                  // cut short
  };
  for (const Case &c : cases) EXPECT_EQ(history::serviceOf(c.bytes), c.sid);
}

TEST(WireFrames, ClearIsOkOnlyWhenTheEcuConfirmsIt) {
  struct Case {
    const char *trace;
    bool found, ok;
  };
  const Case cases[] = {
      {"  262.722 T> 83 10 F1 14 FF 00 97\n  306.442 E< 83 F1 10 54 FF 00 D7\n", true, true},
      {"  262.722 T> 83 10 F1 14 FF 00 97\n  306.442 E< 83 F1 10 7F 14 22 21\n", true, false},
      {"  262.722 T> 83 10 F1 14 FF 00 97\n  312.000 -- no answer\n  400.000 T> 82 10 F1 21 01 A5\n", true, false},
      {"  100.000 T> 82 10 F1 21 01 A5\n  130.000 E< 83 F1 10 61 01 00 E6\n", false, false},
  };
  for (const Case &c : cases) {
    auto r = history::findClear(history::framesOf(c.trace));
    EXPECT_EQ(r.found, c.found) << c.trace;
    EXPECT_EQ(r.ok, c.ok) << c.trace;
  }
}

TEST(SvgChart, AxisStepsAndFlatOrSinglePointSeries) {
  EXPECT_DOUBLE_EQ(history::niceStep(0, 100, 4), 50);
  EXPECT_DOUBLE_EQ(history::niceStep(20, 44, 4), 10);
  EXPECT_DOUBLE_EQ(history::niceStep(8, 12, 4), 1);
  EXPECT_DOUBLE_EQ(history::niceStep(0, 0.03, 6), 0.005);
  // A constant value or one pass must still draw (no division by a zero span).
  for (const auto &points : {std::vector<std::pair<double, double>>{{1, 14.2}, {2, 14.2}, {3, 14.2}},
                             std::vector<std::pair<double, double>>{{5, 0}}}) {
    const std::string svg = history::svgChart(points, {"Battery voltage", "V"});
    EXPECT_EQ(svg.find("nan"), std::string::npos) << svg;
    EXPECT_EQ(svg.find("inf"), std::string::npos) << svg;
    EXPECT_NE(svg.find("class=\"min\""), std::string::npos);
    EXPECT_NE(svg.find("mean " + history::formatValue(points[0].second)), std::string::npos) << svg;
  }
}

// The code column's rule on every kind of code text, and on the rows older histories
// stored by cutting at the first word.
TEST(CodeColumn, EveryKindOfCodeTextAndOldRows) {
  const struct {
    const char *code, *text;  // as stored; a new row stores the whole shown text as text
    const char *wantCode, *wantText;
  } rows[] = {
      {"", "P0102 Mass air flow sensor circuit low input", "P0102", "Mass air flow sensor circuit low input"},
      {"", "P1602 unknown code", "P1602", "unknown code"},
      {"", "P1602 неизвестный код", "P1602", "неизвестный код"},
      {"", "Code 13 Oxygen sensor circuit open", "13", "Oxygen sensor circuit open"},
      {"", "Код 13 Обрыв цепи датчика кислорода", "13", "Обрыв цепи датчика кислорода"},
      {"", "Coolant temperature sensor fault", "", "Coolant temperature sensor fault"},
      {"", "Неисправность датчика температуры", "", "Неисправность датчика температуры"},
      {"", "Codes cleared", "", "Codes cleared"},
      {"", "P0102", "P0102", ""},
      {"", "Code 1234567 is no code", "", "Code 1234567 is no code"},
      {"", "p0102 lower case is no code", "", "p0102 lower case is no code"},
      // Older histories.
      {"Coolant", "temperature sensor fault", "", "Coolant temperature sensor fault"},
      {"Code", "13 Oxygen sensor circuit open", "13", "Oxygen sensor circuit open"},
      {"P0102", "Mass air flow", "P0102", "Mass air flow"},
      {"13", "Oxygen sensor circuit open", "13", "Oxygen sensor circuit open"},
  };
  for (const auto &r : rows) {
    std::string joined;
    const auto cols = *r.code ? workbench::stored_code_columns(r.code, r.text, joined) : workbench::split_code(r.text);
    EXPECT_EQ(cols.code, r.wantCode) << r.code << " | " << r.text;
    EXPECT_EQ(cols.text, r.wantText) << r.code << " | " << r.text;
  }
}

}  // namespace
