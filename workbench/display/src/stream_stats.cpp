// Live-data statistics: minimum/maximum, history.
#include "stream_stats.h"

#include <cstdio>

namespace stdhost {

int decimalsOf(const std::string &value) {
  const std::string_view t = workbench::trimmed_value(value);
  auto dot = t.find('.');
  return dot == std::string_view::npos ? 0 : static_cast<int>(t.size() - dot - 1);
}

void StreamStats::take(const StreamScreen &s) {
  bool same = s.pass != 1 && s.lines.size() == items_.size();
  for (std::size_t i = 0; same && i < items_.size(); ++i) same = s.items[i].label.name == items_[i].label.name;
  if (!same) {
    items_.clear();
    passes_ = 0;
    opened_ = std::chrono::steady_clock::now();
    for (const auto &item : s.items) items_.push_back({item.label, "", std::nullopt, std::nullopt, {}, {}});
  }
  ++passes_;
  const double now = std::chrono::duration<double>(std::chrono::steady_clock::now() - opened_).count();
  for (std::size_t i = 0; i < items_.size(); ++i) {
    ItemStats &it = items_[i];
    it.value = workbench::trimmed_value(s.lines[i].value);
    const auto v = s.items[i].number;
    if (!v) continue;
    if (!it.min || *v < *it.min) it.min = v;
    if (!it.max || *v > *it.max) it.max = v;
    it.decimals = decimalsOf(it.value);
    it.history.push_back(*v);
    it.times.push_back(now);
    if (it.history.size() > kHistory) {
      it.history.pop_front();
      it.times.pop_front();
    }
  }
}

std::string formatNumber(double v, int decimals) {
  char buf[48];
  std::snprintf(buf, sizeof buf, "%.*f", decimals, v);
  std::string s = buf;
  if (s.find_first_not_of("-0.") == std::string::npos && s[0] == '-') s.erase(0, 1);  // "-0.0"
  return s;
}

std::string formatNumber(double v) {
  char buf[48];
  std::snprintf(buf, sizeof buf, "%.4f", v);
  std::string s = buf;
  while (!s.empty() && s.back() == '0') s.pop_back();
  if (!s.empty() && s.back() == '.') s.pop_back();
  if (s == "-0") s = "0";
  return s;
}

}  // namespace stdhost
