// Live-data statistics: unit split, number parsing, minimum/maximum, history.
#include "stream_stats.h"

#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstdlib>

namespace stdhost {

NameUnit splitUnit(const std::string &itemName) {
  std::size_t comma = std::string::npos;
  int depth = 0;
  for (std::size_t i = 0; i + 1 < itemName.size(); ++i) {
    if (itemName[i] == '(')
      ++depth;
    else if (itemName[i] == ')' && depth > 0)
      --depth;
    else if (depth == 0 && itemName[i] == ',' && itemName[i + 1] == ' ')
      comma = i;
  }
  if (comma == std::string::npos || comma == 0 || comma + 2 >= itemName.size()) return {itemName, ""};
  std::string unit = itemName.substr(comma + 2);
  if (unit.find(' ') != std::string::npos) return {itemName, ""};
  return {itemName.substr(0, comma), unit};
}

std::string trimmedValue(const std::string &value) {
  auto b = value.find_first_not_of(" \t");
  if (b == std::string::npos) return "";
  return value.substr(b, value.find_last_not_of(" \t") + 1 - b);
}

int decimalsOf(const std::string &value) {
  std::string t = trimmedValue(value);
  auto dot = t.find('.');
  return dot == std::string::npos ? 0 : static_cast<int>(t.size() - dot - 1);
}

std::optional<double> numberOf(const std::string &value) {
  const std::string t = trimmedValue(value);
  // Plain decimal numbers only: strtod would also take "inf", "0x1A" or "1e5".
  std::size_t i = t.size() > 0 && (t[0] == '-' || t[0] == '+') ? 1 : 0;
  if (i >= t.size() || t.find_first_not_of("0123456789.", i) != std::string::npos) return std::nullopt;
  if (t[i] == '0' && i + 1 < t.size() && t[i + 1] != '.') return std::nullopt;  // "0261204259"
  const char *p = t.c_str();
  errno = 0;
  char *end = nullptr;
  double v = std::strtod(p, &end);
  if (end == p || errno == ERANGE || !std::isfinite(v)) return std::nullopt;
  if (*end != '\0') return std::nullopt;
  return v;
}

void StreamStats::take(const StreamScreen &s) {
  bool same = s.pass != 1 && s.lines.size() == items_.size();
  for (std::size_t i = 0; same && i < items_.size(); ++i)
    same = splitUnit(s.lines[i].name).name == items_[i].label.name;
  if (!same) {
    items_.clear();
    passes_ = 0;
    opened_ = std::chrono::steady_clock::now();
    for (const auto &l : s.lines) items_.push_back({splitUnit(l.name), "", std::nullopt, std::nullopt, {}, {}});
  }
  ++passes_;
  const double now = std::chrono::duration<double>(std::chrono::steady_clock::now() - opened_).count();
  for (std::size_t i = 0; i < items_.size(); ++i) {
    ItemStats &it = items_[i];
    it.value = trimmedValue(s.lines[i].value);
    auto v = numberOf(it.value);
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
