// The project's own small SVG line chart: one series over time with its minimum, maximum
// and mean marked. Plain SVG, no script, so every browser and a printer show it as drawn.
// A series is thinned to what the chart can show while it is read (the lowest and the
// highest point of each pixel column, so every spike stays), so a chart of any length
// costs the same memory; values that cannot be drawn are counted, never drawn.
#pragma once

#include <cstddef>
#include <string>
#include <utility>
#include <vector>

namespace history {

struct ChartLabels {
  std::string title;  // the item's name
  std::string unit;   // on the y axis; may be ""
  std::string xAxis = "engine time, s";
  std::string min = "min", max = "max", mean = "mean";
};

using Point = std::pair<double, double>;

// Larger magnitudes are no measurement: they are left out like NaN and infinity, and every
// difference of two drawable values stays finite.
inline constexpr double kDrawableLimit = 1e300;
bool drawable(double v);

// What a chart draws of one series.
struct ChartData {
  std::vector<Point> points;  // the drawn points, x ascending by pixel column
  std::size_t count = 0;      // values drawn or thinned out
  std::size_t skipped = 0;    // values left out: not finite or beyond kDrawableLimit
  double x0 = 0, x1 = 0;      // the time axis
  Point min{}, max{};         // the lowest and the highest value, each where it was first seen
  double mean = 0;
  bool thinned() const { return points.size() < count; }
};

// Collects a series point by point into one bucket per pixel column of the plot. The time
// axis [x0, x1] is known before the first point (a session's first and last pass).
class ChartBuilder {
 public:
  ChartBuilder(double x0, double x1);
  void add(double x, double y);
  ChartData finish() const;

 private:
  struct Column {
    Point lo{}, hi{};
    bool used = false;
  };
  double x0_, x1_;
  std::vector<Column> columns_;
  ChartData data_;
};

// The pixel columns a series is thinned to: the plot's width.
int chartColumns();

// points: (x, y) in any order. Returns one <svg> element.
std::string svgChart(const std::vector<Point> &points, const ChartLabels &labels);
std::string svgChart(const ChartData &data, const ChartLabels &labels);

// Steps for axis ticks: 1, 2 or 5 times a power of ten, about `count` of them over [lo, hi].
double niceStep(double lo, double hi, int count);

// XML escaping for text and attributes. Control characters, which neither XML nor a
// terminal should receive raw, are shown as text ("\x1B").
std::string escapeXml(const std::string &text);

// A number as a person reads it: up to 3 significant decimals, no trailing zeros.
std::string formatValue(double v);

}  // namespace history
