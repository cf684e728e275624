// Names of the ALDL modes the workbench's cars serve.
#include "frames/aldl_frame.h"

#include <array>
#include <utility>

namespace frames::aldl {

std::string_view mode_name(std::uint8_t mode) {
  static constexpr std::array<std::pair<std::uint8_t, std::string_view>, 3> kModes{{
      {0x01, "read data"},
      {0x04, "actuator control"},
      {kClearCodes, "clear trouble codes"},
  }};
  for (const auto &[id, name] : kModes)
    if (id == mode) return name;
  return {};
}

}  // namespace frames::aldl
