// SVG line charts for the report.
#include "svg_chart.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

namespace history {
namespace {

constexpr double kWidth = 680, kHeight = 230;
constexpr double kLeft = 64, kRight = 16, kTop = 30, kBottom = 40;
constexpr double kPlotW = kWidth - kLeft - kRight, kPlotH = kHeight - kTop - kBottom;
// More ticks than an axis ever asks for; a bound on the loops whatever the numbers.
constexpr long kMaxTicks = 24;

std::string num(double v) {
  char buf[32];
  std::snprintf(buf, sizeof buf, "%.1f", v);
  return buf;
}

// An axis over [lo, hi] that is never empty: a single value, or values closer together than
// a chart or a double can tell apart (1e20 and 1e20 + 1, two neighbours of 0), gets room
// around it relative to its size, so that the span stays far above the numbers' resolution.
void widen(double &lo, double &hi, double relative) {
  if (hi - lo > std::max(1e-9, std::max(std::fabs(lo), std::fabs(hi)) * 1e-12)) return;
  hi = lo;
  hi = lo + std::max(1.0, std::fabs(lo) * relative);
  lo -= std::max(1.0, std::fabs(lo) * relative) * (relative >= 0.1 ? 1 : 0);
}

// The number of ticks from first by step up to last (both included, within slack steps),
// bounded.
long tickCount(double first, double last, double step, double slack) {
  const double n = std::floor((last - first) / step + slack) + 1;
  return n >= 1 ? static_cast<long>(std::min<double>(n, kMaxTicks)) : 0;
}

}  // namespace

bool drawable(double v) { return std::isfinite(v) && std::fabs(v) <= kDrawableLimit; }

int chartColumns() { return static_cast<int>(kPlotW); }

ChartBuilder::ChartBuilder(double x0, double x1)
    : x0_(drawable(x0) ? x0 : 0), x1_(drawable(x1) ? x1 : 0), columns_(static_cast<std::size_t>(chartColumns())) {
  widen(x0_, x1_, 1e-9);
  data_.x0 = x0_;
  data_.x1 = x1_;
}

void ChartBuilder::add(double x, double y) {
  if (!drawable(x) || !drawable(y)) {
    ++data_.skipped;
    return;
  }
  const double n = static_cast<double>(++data_.count);
  // A running mean: a sum of values near the limit would overflow.
  data_.mean += y / n - data_.mean / n;
  if (data_.count == 1 || y < data_.min.second) data_.min = {x, y};
  if (data_.count == 1 || y > data_.max.second) data_.max = {x, y};
  const double at = (x - x0_) / (x1_ - x0_) * static_cast<double>(columns_.size());
  const auto i = static_cast<std::size_t>(std::clamp(at, 0.0, static_cast<double>(columns_.size() - 1)));
  Column &c = columns_[i];
  if (!c.used || y < c.lo.second) c.lo = {x, y};
  if (!c.used || y > c.hi.second) c.hi = {x, y};
  c.used = true;
}

ChartData ChartBuilder::finish() const {
  ChartData d = data_;
  for (const Column &c : columns_) {
    if (!c.used) continue;
    if (c.lo == c.hi) {
      d.points.push_back(c.lo);
      continue;
    }
    d.points.push_back(c.lo.first <= c.hi.first ? c.lo : c.hi);
    d.points.push_back(c.lo.first <= c.hi.first ? c.hi : c.lo);
  }
  return d;
}

std::string escapeXml(const std::string &text) {
  static constexpr char kHex[] = "0123456789ABCDEF";
  auto hex = [&](std::string &out, unsigned char b) {
    out += "\\x";
    out += kHex[b >> 4];
    out += kHex[b & 0xF];
  };
  std::string out;
  for (std::size_t i = 0; i < text.size(); ++i) {
    const char c = text[i];
    const auto b = static_cast<unsigned char>(c);
    switch (c) {
      case '&': out += "&amp;"; break;
      case '<': out += "&lt;"; break;
      case '>': out += "&gt;"; break;
      case '"': out += "&quot;"; break;
      case '\n':
      case '\t':
      case '\r': out += c; break;
      default:
        if (b < 0x20 || b == 0x7F) {
          hex(out, b);
        } else if (b == 0xC2 && i + 1 < text.size() && (static_cast<unsigned char>(text[i + 1]) & 0xE0) == 0x80) {
          hex(out, b);  // a C1 control (U+0080..U+009F)
          hex(out, static_cast<unsigned char>(text[++i]));
        } else {
          out += c;
        }
    }
  }
  return out;
}

std::string formatValue(double v) {
  char buf[32];
  if (!std::isfinite(v) || std::fabs(v) >= 1e15) {
    std::snprintf(buf, sizeof buf, "%.6g", v);
    return buf;
  }
  std::snprintf(buf, sizeof buf, "%.3f", v);
  std::string s = buf;
  while (s.back() == '0') s.pop_back();
  if (s.back() == '.') s.pop_back();
  return s == "-0" ? "0" : s;
}

double niceStep(double lo, double hi, int count) {
  const double span = hi - lo;
  if (!(span > 0) || !std::isfinite(span) || count < 1) return 1;
  const double raw = span / count;
  if (!std::isnormal(raw)) return 1;
  const double power = std::pow(10.0, std::floor(std::log10(raw)));
  for (double m : {1.0, 2.0, 5.0})
    if (raw <= m * power) return m * power;
  return 10 * power;
}

std::string svgChart(const std::vector<Point> &points, const ChartLabels &labels) {
  double x0 = 0, x1 = 0;
  bool first = true;
  for (const auto &[x, y] : points) {
    if (!drawable(x) || !drawable(y)) continue;
    x0 = first ? x : std::min(x0, x);
    x1 = first ? x : std::max(x1, x);
    first = false;
  }
  ChartBuilder b(x0, x1);
  for (const auto &[x, y] : points) b.add(x, y);
  return svgChart(b.finish(), labels);
}

std::string svgChart(const ChartData &data, const ChartLabels &labels) {
  std::string svg = "<svg class=\"chart\" xmlns=\"http://www.w3.org/2000/svg\" viewBox=\"0 0 " + num(kWidth) + " " +
                    num(kHeight) + "\" role=\"img\" aria-label=\"" + escapeXml(labels.title) + "\">\n";
  svg += "<text class=\"title\" x=\"" + num(kLeft) + "\" y=\"18\">" + escapeXml(labels.title) +
         (labels.unit.empty() ? "" : ", " + escapeXml(labels.unit)) + "</text>\n";
  if (data.points.empty()) return svg + "</svg>\n";

  const double x0 = data.x0, x1 = data.x1;
  double y0 = data.min.second, y1 = data.max.second;
  // A flat series gets a band around it; otherwise the axis starts and ends on a tick.
  widen(y0, y1, 0.1);
  const double yStep = niceStep(y0, y1, 4);
  const double yLo = std::floor(y0 / yStep) * yStep, yHi = std::ceil(y1 / yStep) * yStep;
  auto px = [&](double x) { return kLeft + std::clamp((x - x0) / (x1 - x0), 0.0, 1.0) * kPlotW; };
  auto py = [&](double y) { return kTop + std::clamp((yHi - y) / (yHi - yLo), 0.0, 1.0) * kPlotH; };

  // Grid and axes. Ticks are counted, not stepped to: near the limits of a double, adding a
  // step can leave a value where it was.
  const long yTicks = tickCount(yLo, yHi, yStep, 0.5);
  svg += "<g class=\"grid\">";
  for (long i = 0; i < yTicks; ++i) {
    const double y = yLo + static_cast<double>(i) * yStep;
    svg += "<line x1=\"" + num(kLeft) + "\" y1=\"" + num(py(y)) + "\" x2=\"" + num(kLeft + kPlotW) + "\" y2=\"" +
           num(py(y)) + "\"/>";
  }
  svg += "</g>\n<g class=\"ticks\">";
  for (long i = 0; i < yTicks; ++i) {
    const double y = yLo + static_cast<double>(i) * yStep;
    svg += "<text x=\"" + num(kLeft - 6) + "\" y=\"" + num(py(y) + 4) + "\" text-anchor=\"end\">" + formatValue(y) +
           "</text>";
  }
  const double xStep = niceStep(x0, x1, 6), xFirst = std::ceil(x0 / xStep) * xStep;
  const long xTicks = tickCount(xFirst, x1, xStep, 0.001);
  for (long i = 0; i < xTicks; ++i) {
    const double x = xFirst + static_cast<double>(i) * xStep;
    svg += "<text x=\"" + num(px(x)) + "\" y=\"" + num(kTop + kPlotH + 16) + "\" text-anchor=\"middle\">" +
           formatValue(x) + "</text>";
  }
  svg += "</g>\n<text class=\"axis\" x=\"" + num(kLeft + kPlotW) + "\" y=\"" + num(kHeight - 6) +
         "\" text-anchor=\"end\">" + escapeXml(labels.xAxis) + "</text>\n";
  svg += "<text class=\"axis\" transform=\"translate(14 " + num(kTop + kPlotH / 2) +
         ") rotate(-90)\" text-anchor=\"middle\">" + escapeXml(labels.unit.empty() ? labels.title : labels.unit) +
         "</text>\n";
  svg += "<rect class=\"frame\" x=\"" + num(kLeft) + "\" y=\"" + num(kTop) + "\" width=\"" + num(kPlotW) +
         "\" height=\"" + num(kPlotH) + "\"/>\n";

  // Mean line, the series, then minimum and maximum on top.
  svg += "<line class=\"mean\" x1=\"" + num(kLeft) + "\" y1=\"" + num(py(data.mean)) + "\" x2=\"" +
         num(kLeft + kPlotW) + "\" y2=\"" + num(py(data.mean)) + "\"/>\n";
  svg += "<polyline class=\"series\" points=\"";
  for (const auto &[x, y] : data.points) svg += num(px(x)) + "," + num(py(y)) + " ";
  svg += "\"/>\n";
  auto mark = [&](const Point &p, const std::string &cls, const std::string &label, double dy) {
    const double cx = px(p.first), cy = py(p.second);
    const char *anchor = cx > kLeft + kPlotW * 0.8 ? "end" : "start";
    return "<circle class=\"" + cls + "\" cx=\"" + num(cx) + "\" cy=\"" + num(cy) + "\" r=\"4\"/><text class=\"" + cls +
           "\" x=\"" + num(cx + (anchor[0] == 'e' ? -7 : 7)) + "\" y=\"" + num(cy + dy) + "\" text-anchor=\"" + anchor +
           "\">" + escapeXml(label) + " " + formatValue(p.second) + "</text>\n";
  };
  // Labels go inside the frame: below a maximum at the top, above a minimum at the bottom.
  svg += mark(data.max, "max", labels.max, py(data.max.second) < kTop + 16 ? 14 : -6);
  svg += mark(data.min, "min", labels.min, py(data.min.second) > kTop + kPlotH - 16 ? -6 : 14);
  svg += "<text class=\"mean\" x=\"" + num(kLeft + kPlotW - 4) + "\" y=\"" + num(py(data.mean) - 4) +
         "\" text-anchor=\"end\">" + escapeXml(labels.mean) + " " + formatValue(data.mean) + "</text>\n";
  return svg + "</svg>\n";
}

}  // namespace history
