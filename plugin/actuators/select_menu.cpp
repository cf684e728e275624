// SelectMenu: shows a counted menu record (its text is the decimal item count,
// its items follow its ID) and reports the item the user picked.
#include <array>
#include <cstdlib>

#include "actuators/act_host.h"

namespace {
constexpr int kCountText = 16;
}

extern "C" {

VAZ_EXPORT int SelectMenu(u32 menuId, int previous) {
  std::array<char, kCountText> text{};
  vaz::call_or(GetTextFromTextLib, 0, menuId, text.data(), kCountText);
  text.back() = '\0';
  const int count = std::atoi(text.data()) & 0xFF;
  for (int i = 0; i < count; ++i) {
    if (vaz::call_or(AddMenuTextID, 1, menuId + 1 + static_cast<u32>(i)) != 0) return vaz::act::kMenuRefused;
  }
  const int chosen = vaz::call_or(ShowMenuGetSelectedItem, vaz::act::kMenuBack, static_cast<short>(previous), 0, 0);
  // Any negative answer of the menu is Back; -2 stays reserved for a refused item.
  return chosen < 0 ? vaz::act::kMenuBack : chosen;
}

}  // extern "C"
