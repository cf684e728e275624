// SVG line charts for the report.
#include "svg_chart.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

namespace history {
namespace {

constexpr double kWidth = 680, kHeight = 230;
constexpr double kLeft = 64, kRight = 16, kTop = 30, kBottom = 40;

std::string num(double v) {
  char buf[32];
  std::snprintf(buf, sizeof buf, "%.1f", v);
  return buf;
}

}  // namespace

std::string escapeXml(const std::string &text) {
  std::string out;
  for (char c : text) {
    switch (c) {
      case '&': out += "&amp;"; break;
      case '<': out += "&lt;"; break;
      case '>': out += "&gt;"; break;
      case '"': out += "&quot;"; break;
      default: out += c;
    }
  }
  return out;
}

std::string formatValue(double v) {
  char buf[32];
  std::snprintf(buf, sizeof buf, "%.3f", v);
  std::string s = buf;
  while (s.back() == '0') s.pop_back();
  if (s.back() == '.') s.pop_back();
  return s == "-0" ? "0" : s;
}

double niceStep(double lo, double hi, int count) {
  const double span = hi - lo;
  if (!(span > 0) || count < 1) return 1;
  const double raw = span / count;
  const double power = std::pow(10.0, std::floor(std::log10(raw)));
  for (double m : {1.0, 2.0, 5.0})
    if (raw <= m * power) return m * power;
  return 10 * power;
}

std::string svgChart(const std::vector<std::pair<double, double>> &points, const ChartLabels &labels) {
  std::string svg = "<svg class=\"chart\" xmlns=\"http://www.w3.org/2000/svg\" viewBox=\"0 0 " + num(kWidth) + " " +
                    num(kHeight) + "\" role=\"img\" aria-label=\"" + escapeXml(labels.title) + "\">\n";
  svg += "<text class=\"title\" x=\"" + num(kLeft) + "\" y=\"18\">" + escapeXml(labels.title) +
         (labels.unit.empty() ? "" : ", " + escapeXml(labels.unit)) + "</text>\n";
  if (points.empty()) return svg + "</svg>\n";

  double x0 = points.front().first, x1 = points.back().first;
  double y0 = points.front().second, y1 = y0, sum = 0;
  std::size_t iMin = 0, iMax = 0;
  for (std::size_t i = 0; i < points.size(); ++i) {
    const double y = points[i].second;
    sum += y;
    if (y < points[iMin].second) iMin = i;
    if (y > points[iMax].second) iMax = i;
  }
  y0 = points[iMin].second;
  y1 = points[iMax].second;
  const double mean = sum / static_cast<double>(points.size());
  if (x1 <= x0) x1 = x0 + 1;
  // A flat series gets a band around it; otherwise the axis starts and ends on a tick.
  if (y1 <= y0) {
    const double pad = std::max(1.0, std::fabs(y0) * 0.1);
    y0 -= pad;
    y1 += pad;
  }
  const double yStep = niceStep(y0, y1, 4);
  const double yLo = std::floor(y0 / yStep) * yStep, yHi = std::ceil(y1 / yStep) * yStep;
  const double plotW = kWidth - kLeft - kRight, plotH = kHeight - kTop - kBottom;
  auto px = [&](double x) { return kLeft + (x - x0) / (x1 - x0) * plotW; };
  auto py = [&](double y) { return kTop + (yHi - y) / (yHi - yLo) * plotH; };

  // Grid and axes.
  svg += "<g class=\"grid\">";
  for (double y = yLo; y <= yHi + yStep / 2; y += yStep)
    svg += "<line x1=\"" + num(kLeft) + "\" y1=\"" + num(py(y)) + "\" x2=\"" + num(kLeft + plotW) + "\" y2=\"" +
           num(py(y)) + "\"/>";
  svg += "</g>\n<g class=\"ticks\">";
  for (double y = yLo; y <= yHi + yStep / 2; y += yStep)
    svg += "<text x=\"" + num(kLeft - 6) + "\" y=\"" + num(py(y) + 4) + "\" text-anchor=\"end\">" + formatValue(y) +
           "</text>";
  const double xStep = niceStep(x0, x1, 6);
  for (double x = std::ceil(x0 / xStep) * xStep; x <= x1 + xStep / 1000; x += xStep)
    svg += "<text x=\"" + num(px(x)) + "\" y=\"" + num(kTop + plotH + 16) + "\" text-anchor=\"middle\">" +
           formatValue(x) + "</text>";
  svg += "</g>\n<text class=\"axis\" x=\"" + num(kLeft + plotW) + "\" y=\"" + num(kHeight - 6) +
         "\" text-anchor=\"end\">" + escapeXml(labels.xAxis) + "</text>\n";
  svg += "<text class=\"axis\" transform=\"translate(14 " + num(kTop + plotH / 2) +
         ") rotate(-90)\" text-anchor=\"middle\">" + escapeXml(labels.unit.empty() ? labels.title : labels.unit) +
         "</text>\n";
  svg += "<rect class=\"frame\" x=\"" + num(kLeft) + "\" y=\"" + num(kTop) + "\" width=\"" + num(plotW) +
         "\" height=\"" + num(plotH) + "\"/>\n";

  // Mean line, the series, then minimum and maximum on top.
  svg += "<line class=\"mean\" x1=\"" + num(kLeft) + "\" y1=\"" + num(py(mean)) + "\" x2=\"" + num(kLeft + plotW) +
         "\" y2=\"" + num(py(mean)) + "\"/>\n";
  svg += "<polyline class=\"series\" points=\"";
  for (const auto &[x, y] : points) svg += num(px(x)) + "," + num(py(y)) + " ";
  svg += "\"/>\n";
  auto mark = [&](std::size_t i, const std::string &cls, const std::string &label, double dy) {
    const double cx = px(points[i].first), cy = py(points[i].second);
    const char *anchor = cx > kLeft + plotW * 0.8 ? "end" : "start";
    return "<circle class=\"" + cls + "\" cx=\"" + num(cx) + "\" cy=\"" + num(cy) + "\" r=\"4\"/><text class=\"" + cls +
           "\" x=\"" + num(cx + (anchor[0] == 'e' ? -7 : 7)) + "\" y=\"" + num(cy + dy) + "\" text-anchor=\"" + anchor +
           "\">" + escapeXml(label) + " " + formatValue(points[i].second) + "</text>\n";
  };
  // Labels go inside the frame: below a maximum at the top, above a minimum at the bottom.
  svg += mark(iMax, "max", labels.max, py(points[iMax].second) < kTop + 16 ? 14 : -6);
  svg += mark(iMin, "min", labels.min, py(points[iMin].second) > kTop + plotH - 16 ? -6 : 14);
  svg += "<text class=\"mean\" x=\"" + num(kLeft + plotW - 4) + "\" y=\"" + num(py(mean) - 4) +
         "\" text-anchor=\"end\">" + escapeXml(labels.mean) + " " + formatValue(mean) + "</text>\n";
  return svg + "</svg>\n";
}

}  // namespace history
