// Builds a function menu from its counted text record, filtered by the host's
// availability bits, and reports the entry the user chose.
#include <array>
#include <cstdlib>
#include <numeric>

#include "core/host_call.h"

namespace {

constexpr int kAllOffered = 0x40000000;
// The entry list holds 20 entries; a menu text counting more is cut there.
constexpr int kListSize = 20;

}  // namespace

extern "C" {

VAZ_EXPORT int SelectMenu_menu(u32 menuId, int preselect) {
  std::array<char, 16> text{};
  vaz::call_or(GetTextFromTextLib, 0, menuId, text.data(), static_cast<int>(text.size()));
  text.back() = '\0';
  int count = std::atoi(text.data()) & 0xFF;
  if (count > kListSize) count = kListSize;

  std::array<int, kListSize> entries{};
  std::iota(entries.begin(), entries.end(), 0);
  if (iFuncConfig_vaz != kAllOffered) count = FuncConfig(entries.data(), menuId);
  if (count == 0) return -1;

  for (int i = 0; i < count; ++i)
    if (vaz::call_or(AddMenuTextID, -1, menuId + 1 + static_cast<u32>(entries[i])) != 0) return -2;
  const int pos = vaz::call_or(ShowMenuGetSelectedItem, -1, static_cast<short>(preselect), 0, 0);
  // A position the menu does not have counts as Back.
  if (pos < 0 || pos >= count) return -1;
  return entries[pos];
}

}  // extern "C"
