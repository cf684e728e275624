// What the live-data table keeps about each shown item while its screen is
// open: the name split from its unit, the lowest and highest value seen, and
// a bounded history for the plot.
#pragma once

#include "screens.h"

#include <cstddef>
#include <deque>
#include <optional>
#include <string>
#include <vector>

namespace stdhost {

// "Coolant temperature, °C" -> name "Coolant temperature", unit "°C".
// Names without a ", unit" tail keep their whole text and an empty unit.
struct NameUnit {
  std::string name;
  std::string unit;
};
NameUnit splitUnit(const std::string& itemName);

// The number in a value text ("90", " -2.5", "13.9"), nothing for texts such
// as "ON" or "--".
std::optional<double> numberOf(const std::string& value);

struct ItemStats {
  NameUnit label;
  std::string value;
  std::optional<double> min, max;
  std::deque<double> history;  // numeric values, oldest first
};

class StreamStats {
 public:
  static constexpr std::size_t kHistory = 1024;

  // Takes one refresh pass. Pass 1, or a different set of items, starts over:
  // minimum and maximum count from the moment the screen opened.
  void take(const StreamScreen& s);
  const std::vector<ItemStats>& items() const { return items_; }
  int passes() const { return passes_; }

 private:
  std::vector<ItemStats> items_;
  int passes_ = 0;
};

// A value the way the table shows it, with up to four significant decimals and
// no trailing zeros.
std::string formatNumber(double v);

}  // namespace stdhost
