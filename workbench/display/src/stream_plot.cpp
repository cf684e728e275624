// Text charts of live values.
#include "stream_plot.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>

namespace stdhost {
namespace {

constexpr int kAxis = 10;  // columns for the scale labels and the axis line

std::string fit(std::string s, int width) {
  if (width <= 0) return {};
  auto w = static_cast<std::size_t>(width);
  if (s.size() > w) s.resize(w);
  return s + std::string(w - s.size(), ' ');
}

// The time axis under a chart, drawn in its line: seconds before now at its first point, "0 s" at the newest.
std::string timeAxis(const ItemStats &it, std::size_t n, int plotW) {
  std::string axis(static_cast<std::size_t>(kAxis) - 1, ' ');
  axis += '+' + std::string(static_cast<std::size_t>(plotW), '-');
  if (it.times.size() < n || n == 0) return axis;
  const double span = it.times.back() - *(it.times.end() - static_cast<std::ptrdiff_t>(n));
  char left[32];
  std::snprintf(left, sizeof left, "-%.1f s", span);
  std::string right = "0 s";
  const std::size_t start = axis.size() - n;  // the first point's column
  if (start + std::strlen(left) + right.size() + 1 < axis.size()) axis.replace(start, std::strlen(left), left);
  axis.replace(axis.size() - right.size(), right.size(), right);
  return axis;
}

std::vector<std::string> band(const ItemStats &it, int width, int rows) {
  std::vector<std::string> out;
  std::string title = it.label.name + (it.label.unit.empty() ? "" : " (" + it.label.unit + ")");
  if (it.history.empty()) {
    out.push_back(fit(title + ": no numeric values", width));
    return out;
  }
  title += "  now " + it.value;
  out.push_back(fit(title, width));
  const int plotW = width - kAxis;
  const int plotH = rows - 2;  // title and time axis
  if (plotW < 1 || plotH < 1) return out;

  const std::size_t n = std::min<std::size_t>(it.history.size(), static_cast<std::size_t>(plotW));
  auto first = it.history.end() - static_cast<std::ptrdiff_t>(n);
  double lo = *std::min_element(first, it.history.end());
  double hi = *std::max_element(first, it.history.end());
  std::vector<std::string> grid(static_cast<std::size_t>(plotH), std::string(static_cast<std::size_t>(plotW), ' '));
  for (std::size_t i = 0; i < n; ++i) {
    double v = *(first + static_cast<std::ptrdiff_t>(i));
    // A flat line sits in the middle of the band.
    int row = hi > lo ? static_cast<int>(std::lround((hi - v) / (hi - lo) * (plotH - 1))) : (plotH - 1) / 2;
    grid[static_cast<std::size_t>(row)][static_cast<std::size_t>(plotW) - n + i] = '*';
  }
  // Scale labels: the highest and lowest value, once each (a flat line has one).
  const int flatRow = (plotH - 1) / 2;
  for (int r = 0; r < plotH; ++r) {
    std::string label;
    if (hi > lo && r == 0)
      label = formatNumber(hi, it.decimals);
    else if (hi > lo && r == plotH - 1)
      label = formatNumber(lo, it.decimals);
    else if (hi == lo && r == flatRow)
      label = formatNumber(hi, it.decimals);
    label = label.size() > kAxis - 2 ? label.substr(0, kAxis - 2) : label;
    out.push_back(std::string(kAxis - 2 - label.size(), ' ') + label + " |" + grid[static_cast<std::size_t>(r)]);
  }
  out.push_back(timeAxis(it, n, plotW));
  return out;
}

}  // namespace

std::vector<std::string> plotLines(const std::vector<ItemStats> &items, const std::vector<std::size_t> &chosen,
                                   int width, int height) {
  std::vector<std::string> out;
  std::vector<std::size_t> shown;
  for (std::size_t c : chosen)
    if (c < items.size()) shown.push_back(c);
  if (shown.empty() || width < 1 || height < 1) return out;
  // Bands share the height; each needs a title, two chart rows and its time axis.
  const int per = std::max(4, height / static_cast<int>(shown.size()));
  for (std::size_t c : shown) {
    if (static_cast<int>(out.size()) + 1 > height) break;
    int rows = std::min(per, height - static_cast<int>(out.size()));
    for (auto &l : band(items[c], width, rows)) out.push_back(std::move(l));
  }
  if (static_cast<int>(out.size()) > height) out.resize(static_cast<std::size_t>(height));
  return out;
}

}  // namespace stdhost
