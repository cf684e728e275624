// What the live-data table keeps about each shown item while its screen is
// open: its name and unit, the lowest and highest value seen, and a bounded
// history for the plot.
#pragma once

#include "screens.h"

#include <chrono>
#include <cstddef>
#include <deque>
#include <optional>
#include <string>
#include <vector>

namespace stdhost {

// Digits after the decimal point of a number text ("13.90" -> 2).
int decimalsOf(const std::string &value);

struct ItemStats {
  workbench::NameUnit label;
  std::string value;
  std::optional<double> min, max;
  std::deque<double> history;  // numeric values, oldest first
  std::deque<double> times;    // seconds since the screen opened, one per history value
  int decimals = 0;            // of the latest numeric value: min and max are printed alike
};

class StreamStats {
 public:
  static constexpr std::size_t kHistory = 1024;

  // Takes one refresh pass. Pass 1, or a different set of items, starts over:
  // minimum and maximum count from the moment the screen opened.
  void take(const StreamScreen &s);
  const std::vector<ItemStats> &items() const { return items_; }
  int passes() const { return passes_; }

 private:
  std::vector<ItemStats> items_;
  int passes_ = 0;
  std::chrono::steady_clock::time_point opened_;
};

// A value the way the table shows it, with up to four significant decimals and
// no trailing zeros; with `decimals` given, exactly that many.
std::string formatNumber(double v);
std::string formatNumber(double v, int decimals);

}  // namespace stdhost
