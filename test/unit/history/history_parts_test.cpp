// Reading a clear off the frames on the wire, chart axes and marks that stay finite whatever the
// values, and a page that no stored text can put a control byte into.
#include "html_report.h"
#include "report_labels.h"
#include "svg_chart.h"
#include "wire_frames.h"
#include "workbench/code_column.h"

#include <gtest/gtest.h>

#include <limits>

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
  using Bytes = std::vector<std::uint8_t>;
  const Bytes clear{0x83, 0x10, 0xF1, 0x14, 0xFF, 0x00, 0x97}, read{0x82, 0x10, 0xF1, 0x21, 0x01, 0xA5};
  struct Case {
    std::vector<history::SentFrame> frames;
    bool found, ok;
  };
  const Case cases[] = {
      {{{262.722, clear, true}, {306.442, {0x83, 0xF1, 0x10, 0x54, 0xFF, 0x00, 0xD7}, false}}, true, true},
      {{{262.722, clear, true}, {306.442, {0x83, 0xF1, 0x10, 0x7F, 0x14, 0x22, 0x21}, false}}, true, false},
      {{{262.722, clear, true}, {400.0, read, true}}, true, false},
      {{{100.0, read, true}, {130.0, {0x83, 0xF1, 0x10, 0x61, 0x01, 0x00, 0xE6}, false}}, false, false},
  };
  for (const Case &c : cases) {
    // A clear confirmed before the mark belongs to an earlier action.
    history::FrameLog log;
    log.add(50.0, true, clear.data(), clear.size());
    log.add(60.0, false, c.frames[1].bytes.data(), 0);  // an empty frame is no frame
    const Bytes confirmed{0x83, 0xF1, 0x10, 0x54, 0xFF, 0x00, 0xD7};
    log.add(90.0, false, confirmed.data(), confirmed.size());
    const auto mark = log.position();
    for (const auto &f : c.frames) log.add(f.tMs, f.toEcu, f.bytes.data(), f.bytes.size());
    auto r = history::findClear(log.since(mark));
    EXPECT_EQ(r.found, c.found) << c.frames[0].tMs;
    EXPECT_EQ(r.ok, c.ok) << c.frames[0].tMs;
    EXPECT_EQ(r.sent, c.found ? "   262.722 T> 83 10 F1 14 FF 00 97" : "");
  }
}

TEST(SvgChart, AxisStepsAndFlatOrSinglePointSeries) {
  EXPECT_DOUBLE_EQ(history::niceStep(0, 100, 4), 50);
  EXPECT_DOUBLE_EQ(history::niceStep(20, 44, 4), 10);
  EXPECT_DOUBLE_EQ(history::niceStep(8, 12, 4), 1);
  EXPECT_DOUBLE_EQ(history::niceStep(0, 0.03, 6), 0.005);
  constexpr double kNan = std::numeric_limits<double>::quiet_NaN(), kInf = std::numeric_limits<double>::infinity();
  // A constant value or one pass must still draw (no division by a zero span); values no
  // chart can place are counted and left out; times and values near a double's limits, or
  // so large that a step no longer changes them (the loop that never ended), still draw.
  struct Case {
    std::vector<history::Point> points;
    std::size_t skipped;
    const char *mean;
  };
  const Case cases[] = {
      {{{1, 14.2}, {2, 14.2}, {3, 14.2}}, 0, "mean 14.2"},
      {{{5, 0}}, 0, "mean 0"},
      {{{1, 10}, {2, kNan}, {kNan, 3}, {3, kInf}, {kInf, 1}, {4, -kInf}, {5, 20}}, 5, "mean 15"},
      {{{0, 1.7e308}, {1, -1.7e308}, {2, 1e300}}, 2, "mean 1e+300"},
      {{{1e20, 1e20}, {1e20 + 16384, 1e20 + 16384}, {1e20 + 32768, 1e20}}, 0, "min 1e+20"},
      {{{0, -1e300}, {1, 1e300}}, 0, "mean 0"},
      {{{1e300, 5}, {-1e300, 6}}, 0, "mean 5.5"},
      {{{kNan, kNan}}, 1, nullptr},
  };
  for (const Case &c : cases) {
    history::ChartBuilder b(-1e300, 1e300);
    for (const auto &[x, y] : c.points) b.add(x, y);
    EXPECT_EQ(b.finish().skipped, c.skipped) << c.points.size();
    const std::string svg = history::svgChart(c.points, {"Battery voltage", "V"});
    EXPECT_EQ(svg.find("nan"), std::string::npos) << svg;
    EXPECT_EQ(svg.find("inf"), std::string::npos) << svg;
    EXPECT_LT(svg.size(), 20000u) << svg.substr(0, 200);
    if (c.mean == nullptr) {
      EXPECT_EQ(svg.find("<polyline"), std::string::npos) << svg;
      continue;
    }
    EXPECT_NE(svg.find("class=\"min\""), std::string::npos);
    EXPECT_NE(svg.find(c.mean), std::string::npos) << c.mean << "\n" << svg;
  }
}

TEST(SvgChart, LongSeriesIsThinnedToColumnsAndKeepsEverySpike) {
  // 100,000 passes of a flat signal with one spike up and one down in the middle.
  history::ChartBuilder b(0, 99999);
  for (int i = 0; i < 100000; ++i) b.add(i, i == 50001 ? 6500 : i == 70003 ? -40 : 800 + i % 3);
  const history::ChartData d = b.finish();
  EXPECT_EQ(d.count, 100000u);
  EXPECT_TRUE(d.thinned());
  EXPECT_LE(d.points.size(), 2u * static_cast<std::size_t>(history::chartColumns()));
  EXPECT_EQ(d.max, (history::Point{50001, 6500}));
  EXPECT_EQ(d.min, (history::Point{70003, -40}));
  int spikes = 0;
  for (const auto &[x, y] : d.points) spikes += y == 6500 || y == -40;
  EXPECT_EQ(spikes, 2);
  for (std::size_t i = 1; i < d.points.size(); ++i) EXPECT_LE(d.points[i - 1].first, d.points[i].first);
}

TEST(Report, NoControlByteOfAStoredTextReachesThePage) {
  history::SessionRecord r;
  static constexpr char kHostile[] =
      "A\x1B[2J\0B\x07\xC2\x9B"
      "31mC\x7F";
  const std::string hostile(kHostile, sizeof kHostile - 1);
  r.summary = {7, hostile, hostile, false, true, hostile, hostile, hostile, "ru", hostile, 1};
  r.identification = {{hostile, hostile}};
  r.codeLists = {{hostile, hostile, {{hostile, hostile, hostile}}}};
  r.tests = {{hostile, hostile, hostile, hostile, hostile}};
  r.notices = {{hostile, hostile}};
  r.series = {{hostile, hostile, {}, {hostile}, false}};
  r.passes = 1;
  const std::string html = history::htmlReport(r);
  for (char c : html) {
    const auto b = static_cast<unsigned char>(c);
    ASSERT_FALSE((b < 0x20 && c != '\n') || b == 0x7F) << static_cast<int>(b);
  }
  EXPECT_EQ(html.find("\xC2\x9B"), std::string::npos);
  EXPECT_NE(html.find("A\\x1B[2J\\x00B\\x07\\xC2\\x9B31mC\\x7F"), std::string::npos);
  // Grammar of the pass count and the end of a session that lost the unit, in Russian.
  EXPECT_NE(html.find(">1 опрос<"), std::string::npos);
  EXPECT_NE(html.find("нет связи с блоком управления"), std::string::npos);
  struct Count {
    long long n;
    const char *en, *ru;
  };
  for (const Count &c :
       {Count{1, "1 pass", "1 опрос"}, Count{2, "2 passes", "2 опроса"}, Count{11, "11 passes", "11 опросов"},
        Count{22, "22 passes", "22 опроса"}, Count{112, "112 passes", "112 опросов"}}) {
    EXPECT_EQ(history::passesText(history::reportLabels("en"), c.n), c.en);
    EXPECT_EQ(history::passesText(history::reportLabels("ru"), c.n), c.ru);
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
