// Live-data statistics: unit split, number parsing, minimum/maximum, history.
#include "stream_stats.h"

#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstdlib>

namespace stdhost {

NameUnit splitUnit(const std::string& itemName) {
  auto comma = itemName.rfind(", ");
  if (comma == std::string::npos || comma == 0 || comma + 2 >= itemName.size()) return {itemName, ""};
  return {itemName.substr(0, comma), itemName.substr(comma + 2)};
}

std::optional<double> numberOf(const std::string& value) {
  const char* p = value.c_str();
  while (*p == ' ' || *p == '\t') ++p;
  if (*p == '\0') return std::nullopt;
  errno = 0;
  char* end = nullptr;
  double v = std::strtod(p, &end);
  if (end == p || errno == ERANGE || !std::isfinite(v)) return std::nullopt;
  while (*end == ' ' || *end == '\t') ++end;
  if (*end != '\0') return std::nullopt;
  return v;
}

void StreamStats::take(const StreamScreen& s) {
  bool same = s.pass != 1 && s.lines.size() == items_.size();
  for (std::size_t i = 0; same && i < items_.size(); ++i) same = splitUnit(s.lines[i].name).name == items_[i].label.name;
  if (!same) {
    items_.clear();
    passes_ = 0;
    for (const auto& l : s.lines) items_.push_back({splitUnit(l.name), "", std::nullopt, std::nullopt, {}});
  }
  ++passes_;
  for (std::size_t i = 0; i < items_.size(); ++i) {
    ItemStats& it = items_[i];
    it.value = s.lines[i].value;
    auto v = numberOf(it.value);
    if (!v) continue;
    if (!it.min || *v < *it.min) it.min = v;
    if (!it.max || *v > *it.max) it.max = v;
    it.history.push_back(*v);
    if (it.history.size() > kHistory) it.history.pop_front();
  }
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
