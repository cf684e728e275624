// The project's own small SVG line chart: one series over time with its minimum, maximum
// and mean marked. Plain SVG, no script, so every browser and a printer show it as drawn.
#pragma once

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

// points: (x, y), x ascending. Returns one <svg> element.
std::string svgChart(const std::vector<std::pair<double, double>> &points, const ChartLabels &labels);

// Steps for axis ticks: 1, 2 or 5 times a power of ten, about `count` of them over [lo, hi].
double niceStep(double lo, double hi, int count);

// XML escaping for text and attributes.
std::string escapeXml(const std::string &text);

// A number as a person reads it: up to 3 significant decimals, no trailing zeros.
std::string formatValue(double v);

}  // namespace history
