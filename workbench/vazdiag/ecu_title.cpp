// ECU type names for the header of every screen. They are the units' own
// names and read the same in both languages.
#include "ecu_title.h"

#include <array>

namespace vazdiag {

std::string ecu_title(int ecuType) {
  static constexpr std::array<const char *, 12> kTitles{
      "",
      "Bosch M1.5.4",
      "Bosch M1.5.4 (additional functions)",
      "Bosch M1.5.4N",
      "Bosch M7.0 E2",
      "Bosch M7.0 E3",
      "Bosch M7.2",
      "Bosch M7.9.7 E2",
      "Bosch M7.9.7 E3",
      "GM EFI",
      "GM ISFI",
      "Bosch (detected)",
  };
  return ecuType >= 1 && ecuType < static_cast<int>(kTitles.size()) ? kTitles[static_cast<std::size_t>(ecuType)] : "";
}

}  // namespace vazdiag
